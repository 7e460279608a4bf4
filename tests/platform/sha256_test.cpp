#include "platform/sha256.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>

namespace zpak {
namespace {

std::string Digest(std::string_view bytes, Sha256::Code code, std::size_t piece)
{
    Sha256 hash(code);
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        hash.Add(bytes.substr(at, piece));
    return HexDigest(hash.Finish());
}

// The examples of FIPS 180-4 and lengths around the padding's edges, fed
// whole and in pieces that straddle blocks, by the portable code and by the
// processor's instructions where it has them: every way gives one digest.
TEST(Sha256Test, KnownDigestsWhateverThePiecesAndTheCode)
{
    struct Case {
        std::string bytes;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'x'), "d5e285683cd4efc02d021a5c62014694958901005d6f71e89e0989fac77e4072"},
        {std::string(56, 'x'), "04c26261370ee7541549d16dee320c723e3fd14671e66a099afe0a377c16888e"},
        {std::string(64, 'x'), "7ce100971f64e7001e8fe5a51973ecdfe1ced42befe7ee8d5fd6219506b5393c"},
    };
    for (const Case& c : cases) {
        for (const Sha256::Code code : {Sha256::Code::Portable, Sha256::Code::Fastest}) {
            for (const std::size_t piece : {std::size_t{1} << 30, std::size_t{63}, std::size_t{1}}) {
                if (piece == 1 && c.bytes.size() > 1000)
                    continue;
                EXPECT_EQ(Digest(c.bytes, code, piece), c.digest)
                    << c.bytes.size() << " bytes in pieces of " << piece;
            }
        }
    }
}

TEST(Sha256Test, OfAFile)
{
    test::TempDir dir;
    std::mt19937 random(1);
    std::string bytes(3 * (1 << 20) + 17, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    EXPECT_EQ(Sha256OfFile(dir.Write("big.bin", bytes)), Digest(bytes, Sha256::Code::Portable, 4096));
    EXPECT_EQ(Sha256OfFile(dir / "missing"), std::nullopt);
    EXPECT_EQ(Sha256OfFile(dir.path()), std::nullopt);
}

}  // namespace
}  // namespace zpak
