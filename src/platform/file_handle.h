#pragma once

#include <utility>

namespace zpak {

// An open file of the operating system, closed with the object: a file
// descriptor on Linux, a HANDLE on Windows.
class FileHandle {
public:
#ifdef _WIN32
    using Native = void*;
#else
    using Native = int;
#endif

    FileHandle() = default;
    explicit FileHandle(Native native) : native_(native)
    {
    }
    FileHandle(FileHandle&& other) noexcept : native_(other.Release())
    {
    }
    FileHandle& operator=(FileHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            native_ = other.Release();
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle()
    {
        Close();
    }

    bool IsOpen() const;
    Native Get() const
    {
        return native_;
    }
    Native Release()
    {
        return std::exchange(native_, Invalid());
    }
    // False when closing reported an error (data that did not reach the disk).
    bool Close();

private:
    static Native Invalid();

    Native native_ = Invalid();
};

}  // namespace zpak
