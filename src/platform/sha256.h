#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zpak {

// SHA-256 (FIPS 180-4), fed in pieces of any size. The processor's SHA
// instructions compute it where it has them, unless the portable code is asked for.
class Sha256 {
public:
    enum class Code { Fastest, Portable };
    explicit Sha256(Code code = Code::Fastest);

    void Add(std::string_view bytes);
    // The digest of everything added; the object is spent afterwards.
    std::array<std::uint8_t, 32> Finish();

private:
    using CompressFunction = void (*)(std::array<std::uint32_t, 8>&, const std::uint8_t*, std::size_t);

    CompressFunction compress_;
    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;
};

// A digest in lower-case hexadecimal, as sha256sum writes it.
std::string HexDigest(const std::array<std::uint8_t, 32>& digest);

// The SHA-256 of a file's bytes in hexadecimal; nothing when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::filesystem::path& file);

// The file beside `file` that records its digest, as sha256sum -c reads it:
// its name with ".sha256" added.
std::filesystem::path ChecksumFilePath(std::filesystem::path file);

}  // namespace zpak
