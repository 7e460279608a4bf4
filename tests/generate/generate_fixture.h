#pragma once

#include "model/project_document.h"
#include "platform/message_sink.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zpak::test {

// A game folder named Vantor holding the files of the worked example, and the
// example's project pointing at it. Every manifest pair a test leaves in the
// game folder must import into a project that generates it again.
class GenerateFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // With the system's separators, as the run names its files in messages.
    std::filesystem::path Game(std::string_view relative) const { return (game / relative).make_preferred(); }
    std::string Read(std::string_view relative) const { return ReadFile(Game(relative)); }

    TempDir dir;
    std::filesystem::path game;
    ProjectDocument doc;
    RecordingSink sink;
};

}  // namespace zpak::test
