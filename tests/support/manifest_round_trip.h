#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace zpak {
class ProjectDocument;
struct ImportResult;
}  // namespace zpak

namespace zpak::test {

// Generates the manifest pair (and launch scripts) of `document`, imports
// them, saves and reopens the imported project and generates again: the
// pair and scripts must come out byte for byte, and the import must have had
// nothing to warn of. `imported` receives the project text of the import.
::testing::AssertionResult ManifestRoundTrips(ProjectDocument& document, std::string* imported = nullptr);

// The same for every manifest pair <name>MOD.ini/.int that generation left
// in the System folder of `game`.
void ExpectManifestsRoundTrip(const std::filesystem::path& game);

// The project text of an import, after a save and an open; empty when the
// saved project does not open.
std::string ReopenedText(ImportResult& result);

}  // namespace zpak::test
