#include "platform/sha256.h"

#include "platform/readable_file.h"

#include <cstring>
#include <memory>

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>
#define ZPAK_SHA_EXTENSIONS 1
#endif

namespace zpak {

namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t Rotate(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void CompressPortable(std::array<std::uint32_t, 8>& state, const std::uint8_t* blocks, std::size_t count)
{
    for (; count > 0; --count, blocks += 64) {
        std::array<std::uint32_t, 64> w{};
        for (std::size_t i = 0; i < 16; ++i)
            w[i] = BigEndian32(blocks + 4 * i);
        for (std::size_t i = 16; i < 64; ++i) {
            const std::uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        auto [a, b, c, d, e, f, g, h] = state;
        for (std::size_t i = 0; i < 64; ++i) {
            const std::uint32_t t1 =
                h + (Rotate(e, 6) ^ Rotate(e, 11) ^ Rotate(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
            const std::uint32_t t2 =
                (Rotate(a, 2) ^ Rotate(a, 13) ^ Rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        const std::array<std::uint32_t, 8> add = {a, b, c, d, e, f, g, h};
        for (std::size_t i = 0; i < 8; ++i)
            state[i] += add[i];
    }
}

#ifdef ZPAK_SHA_EXTENSIONS
// Processors since about 2017 compute SHA-256 rounds in hardware, some
// seven times faster than the portable code: a checksum of a large archive
// then costs little beside writing it.
bool HasShaExtensions()
{
    unsigned a = 0;
    unsigned b = 0;
    unsigned c = 0;
    unsigned d = 0;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    const bool sha = (b & (1U << 29)) != 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool sse41 = (c & (1U << 19)) != 0;
    const bool ssse3 = (c & (1U << 9)) != 0;
    return sha && sse41 && ssse3;
}

// Intel's published sequence for the SHA extensions: two rounds per
// sha256rnds2, the message schedule by sha256msg1 and sha256msg2.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithShaExtensions(std::array<std::uint32_t, 8>& s,
                                                                           const std::uint8_t* blocks,
                                                                           std::size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i tmp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&s[0]));
    __m128i state1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&s[4]));
    tmp = _mm_shuffle_epi32(tmp, 0xB1);                // CDAB
    state1 = _mm_shuffle_epi32(state1, 0x1B);          // EFGH
    __m128i state0 = _mm_alignr_epi8(tmp, state1, 8);  // ABEF
    state1 = _mm_blend_epi16(state1, tmp, 0xF0);       // CDGH

    for (; count > 0; --count, blocks += 64) {
        const __m128i abefSave = state0;
        const __m128i cdghSave = state1;
        __m128i msg[4];
        for (int i = 0; i < 4; ++i)
            msg[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)),
                                      byteSwap);
        // Group i is rounds 4i to 4i+3, on the words in msg[i % 4]; the words
        // of the groups to come are scheduled on the way.
        for (int i = 0; i < 16; ++i) {
            const __m128i current = msg[i % 4];
            __m128i k =
                _mm_add_epi32(current, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRound[4 * i])));
            state1 = _mm_sha256rnds2_epu32(state1, state0, k);
            if (i >= 3 && i <= 14) {
                __m128i& next = msg[(i + 1) % 4];
                next = _mm_add_epi32(next, _mm_alignr_epi8(current, msg[(i + 3) % 4], 4));
                next = _mm_sha256msg2_epu32(next, current);
            }
            k = _mm_shuffle_epi32(k, 0x0E);
            state0 = _mm_sha256rnds2_epu32(state0, state1, k);
            if (i >= 1 && i <= 12) {
                __m128i& previous = msg[(i + 3) % 4];
                previous = _mm_sha256msg1_epu32(previous, current);
            }
        }
        state0 = _mm_add_epi32(state0, abefSave);
        state1 = _mm_add_epi32(state1, cdghSave);
    }

    tmp = _mm_shuffle_epi32(state0, 0x1B);        // FEBA
    state1 = _mm_shuffle_epi32(state1, 0xB1);     // DCHG
    state0 = _mm_blend_epi16(tmp, state1, 0xF0);  // DCBA
    state1 = _mm_alignr_epi8(state1, tmp, 8);     // ABEF
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&s[0]), state0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&s[4]), state1);
}
#endif

using CompressFunction = void (*)(std::array<std::uint32_t, 8>&, const std::uint8_t*, std::size_t);

CompressFunction ChooseCompress()
{
#ifdef ZPAK_SHA_EXTENSIONS
    static const bool extensions = HasShaExtensions();
    if (extensions)
        return CompressWithShaExtensions;
#endif
    return CompressPortable;
}

}  // namespace

Sha256::Sha256(Code code)
    : compress_(code == Code::Portable ? CompressPortable : ChooseCompress()), state_{0x6a09e667, 0xbb67ae85,
                                                                                      0x3c6ef372, 0xa54ff53a,
                                                                                      0x510e527f, 0x9b05688c,
                                                                                      0x1f83d9ab, 0x5be0cd19}
{
}

void Sha256::Add(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t size = bytes.size();
    length_ += size;
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(size, pending_.size() - pendingSize_);
        std::memcpy(pending_.data() + pendingSize_, data, take);
        pendingSize_ += take;
        data += take;
        size -= take;
        if (pendingSize_ < pending_.size())
            return;
        compress_(state_, pending_.data(), 1);
        pendingSize_ = 0;
    }
    compress_(state_, data, size / 64);
    pendingSize_ = size % 64;
    std::memcpy(pending_.data(), data + size - pendingSize_, pendingSize_);
}

std::array<std::uint8_t, 32> Sha256::Finish()
{
    const std::uint64_t bits = length_ * 8;
    const std::uint8_t one = 0x80;
    Add({reinterpret_cast<const char*>(&one), 1});
    const std::array<char, 64> zeros{};
    Add({zeros.data(), (pendingSize_ <= 56 ? 56 : 120) - pendingSize_});
    std::array<char, 8> length{};
    for (std::size_t i = 0; i < 8; ++i)
        length[i] = static_cast<char>(bits >> (56 - 8 * i));
    Add({length.data(), length.size()});
    std::array<std::uint8_t, 32> digest{};
    for (std::size_t i = 0; i < 8; ++i) {
        for (std::size_t k = 0; k < 4; ++k)
            digest[4 * i + k] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * k));
    }
    return digest;
}

std::string HexDigest(const std::array<std::uint8_t, 32>& digest)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

std::optional<std::string> Sha256OfFile(const std::filesystem::path& file)
{
    ReadableFile input(file);
    if (!input.IsOpen() || !input.IsRegular())
        return std::nullopt;
    constexpr std::size_t kChunk = 1 << 20;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    Sha256 hash;
    for (;;) {
        const std::optional<std::size_t> read = input.ReadFull(buffer.get(), kChunk);
        if (!read)
            return std::nullopt;
        hash.Add({buffer.get(), *read});
        if (*read < kChunk)
            return HexDigest(hash.Finish());
    }
}

std::filesystem::path ChecksumFilePath(std::filesystem::path file)
{
    file += ".sha256";
    return file;
}

}  // namespace zpak
