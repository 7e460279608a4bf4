// Grows a project of a hostile shape from a short description, and runs the
// full check and the install preview on it over a small game folder made
// once. The description is a count on its first line, then three parts split
// by NUL bytes: what comes first, what is repeated that many times, and what
// follows (without NULs, the rest is the project as it stands). Neither may
// crash; with libFuzzer's memory limit and a timeout (`make fuzz` gives it a
// minute: a shape of 100,000 groups takes seconds in an instrumented build),
// the fuzzer also catches work or memory that grows faster than the project.
#include "generate/install_preview.h"
#include "generate/project_check.h"
#include "generate/run_resolver.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/record_lines.h"
#include "platform/message_sink.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMostRepeats = 200000;
constexpr std::size_t kLargestProject = 12 << 20;

const fs::path& GameFolder()
{
    static const fs::path folder = [] {
        const fs::path game = fs::temp_directory_path() / "zpak-shapes-fuzz-game";
        fs::create_directories(game / "System");
        fs::create_directories(game / "Maps");
        std::ofstream(game / "System/MKR.exe") << "tool";
        std::ofstream(game / "System/Game.ini") << "[Engine]\nDetail=Low\n";
        std::ofstream(game / "Maps/A.map") << "a";
        return game;
    }();
    return folder;
}

std::string Grow(std::string_view description)
{
    const std::size_t line = description.find('\n');
    std::size_t count = 0;
    if (line == std::string_view::npos
        || std::from_chars(description.data(), description.data() + line, count).ec != std::errc())
        return std::string(description);
    description.remove_prefix(line + 1);
    const std::size_t first = description.find('\0');
    const std::size_t second = first == std::string_view::npos ? first : description.find('\0', first + 1);
    if (second == std::string_view::npos)
        return std::string(description);
    const std::string_view unit = description.substr(first + 1, second - first - 1);
    count = std::min(count, kMostRepeats);
    if (!unit.empty())
        count = std::min(count, kLargestProject / unit.size());
    std::string text(description.substr(0, first));
    text.reserve(text.size() + unit.size() * count + description.size());
    for (std::size_t i = 0; i < count; ++i)
        text += unit;
    text += description.substr(second + 1);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text =
        GameFolder().string() + "\n0.8\n" + Grow(std::string_view(reinterpret_cast<const char*>(data), size));
    zpak::ProjectDocument document;
    zpak::RecordLines lines;
    zpak::SilentSink sink;
    if (!zpak::ParseProject(text, document, sink, &lines))
        return 0;
    for (const auto choice : {zpak::GenerationChoice::Package, zpak::GenerationChoice::Zip}) {
        const auto run = zpak::ResolveGeneration(document, choice, {});
        zpak::DiagnoseRun(document, run, {}, &lines);
        zpak::PreviewInstall(document, run, zpak::DefaultGroups(document), {});
    }
    return 0;
}
