#include "generate/output_verifier.h"
#include "generate/zip_packer.h"
#include "generate/zip_piece.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>

namespace zpak {
namespace {

namespace fs = std::filesystem;

// Entries larger than what is unpacked in one go are unpacked as a stream:
// a deflated one written in pieces and a stored one read back whole; a flipped
// byte deep inside either is found, and so is an archive cut short.
TEST(OutputVerifierTest, LargeEntriesAreCheckedToTheirLastByte)
{
    test::TempDir dir;
    std::mt19937 random(3);
    std::string text;
    while (text.size() < 3 * kZipPieceSize + 12345)
        text += "line " + std::to_string(random() % 100000) + " of a long text file\n";
    std::string noise(5 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());

    ResolvedRun run;
    run.choice = GenerationChoice::Zip;
    run.pack.archive = dir / "big.zip";
    run.pack.entries = {{dir.Write("text.txt", text), "text.txt", 0644, {}},
                        {dir.Write("noise.bin", noise), "noise.bin", 0644, {}},
                        {{}, "script.sh", 0755, std::string("#!/bin/sh\n")}};
    ASSERT_EQ(WriteZip(run.pack.archive, run.pack.entries, {}, nullptr, 2), kZipOk);
    const std::string built = test::ReadFile(run.pack.archive);

    const auto codes = [&](const std::string& archive) {
        dir.Write("big.zip", archive);
        std::string found;
        for (const Problem& problem : VerifyOutputs(run, 2).problems)
            found += problem.code + " ";
        return found;
    };
    EXPECT_EQ(codes(built), "");
    for (const std::size_t at : {built.size() / 5, built.size() / 2 + 777}) {  // in the text, in the noise
        std::string damaged = built;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
        EXPECT_EQ(codes(damaged), "Z408 ") << at;
    }
    EXPECT_EQ(codes(built.substr(0, built.size() / 2)), "Z403 ");
    dir.Write("noise.bin", noise.substr(0, noise.size() - 1) + "!");
    EXPECT_EQ(codes(built), "Z407 ");
}

}  // namespace
}  // namespace zpak
