#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zpak {

// Holds the data of one registry value with its type.
class RegistryBuffer {
public:
    // Frees the current block and takes a new one of `size` bytes.
    char* Allocate(std::size_t size);
    void SetType(std::uint32_t type) { type_ = type; }
    void FreeBlock();

    // The data as text when the type is a string type (REG_SZ, REG_EXPAND_SZ,
    // REG_LINK): up to the first NUL, nothing expanded. Otherwise `text` is
    // left alone and the result is false.
    bool AsString(std::string& text) const;

    char* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }
    std::uint32_t Type() const { return type_; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::uint32_t type_ = 0;
};

}  // namespace zpak
