// Import of a manifest pair of 100,000 file entries (in 100 groups, in tree
// mode, a tenth with another destination), 10,000 INI changes and 100
// requirements, from texts in memory and from the files of a game folder;
// beside it, reading the project file of the same product, the other way
// this program reads a product. Bytes per second are those of the pair.
#include "generate/manifest_writer.h"
#include "import/manifest_import.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "platform/message_sink.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

using namespace zpak;
namespace fs = std::filesystem;

ProjectDocument MakeProject(int entries)
{
    ProjectDocument doc;
    doc.gameFolder = "C:\\Games\\Vantor";
    for (int g = 0; g < 100; ++g) {
        auto& group = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Group" + std::to_string(g)));
        group.caption = "Caption of group " + std::to_string(g);
        group.Visible = group.Selectable = 1;
        for (int f = 0; f < entries / 100; ++f) {
            auto& file =
                group.AddFile("Maps\\Pack" + std::to_string(g) + "\\Level" + std::to_string(f) + ".map");
            if (f % 10 == 0)
                file.src = "Maps\\Level" + std::to_string(f) + ".map";
        }
        auto& ini =
            *doc.iniFiles.emplace_back(std::make_unique<INIGroup>("Config" + std::to_string(g) + ".ini"));
        ini.group = &group;
        for (int e = 0; e < 100; ++e)
            ini.AddEntry("Engine.Section" + std::to_string(e), "Key" + std::to_string(e),
                         e % 5 ? "Value" + std::to_string(e) : "(X=1,Y=2,Z=3)", e % 2);
        auto& requirement = *doc.requirements.emplace_back(std::make_unique<RequirementInfo>());
        requirement.product = "Product" + std::to_string(g);
        requirement.version = "1";
    }
    doc.product = std::make_unique<ProductData>();
    doc.product->product = "Frontier";
    doc.product->readme = "Help\\Frontier.txt";
    doc.product->shortcut = "-log";
    doc.product->windows = 1;
    return doc;
}

void BM_ImportPair(benchmark::State& state)
{
    ProjectDocument doc = MakeProject(static_cast<int>(state.range(0)));
    const ManifestTexts texts = BuildManifest(doc);
    ManifestPair pair;
    pair.gameFolder = doc.GameFolderText();
    pair.baseName = "FrontierMOD";
    pair.manifest = {"FrontierMOD.ini", texts.ini};
    pair.localized = ManifestSource{"FrontierMOD.int", texts.localized};
    for (auto _ : state) {
        const ImportResult result = ImportManifestPair(pair);
        if (!result.imported || !result.diagnostics.empty())
            state.SkipWithError("the import warned");
    }
    state.SetBytesProcessed(state.iterations()
                            * static_cast<std::int64_t>(texts.ini.size() + texts.localized.size()));
}

void BM_ImportFiles(benchmark::State& state)
{
    ProjectDocument doc = MakeProject(static_cast<int>(state.range(0)));
    const ManifestTexts texts = BuildManifest(doc);
    const fs::path game = fs::temp_directory_path() / ("zpak-import-bench-" + std::to_string(::getpid()));
    fs::create_directories(game / "System");
    std::ofstream(game / "System/FrontierMOD.ini", std::ios::binary) << texts.ini;
    std::ofstream(game / "System/FrontierMOD.int", std::ios::binary) << texts.localized;
    for (auto _ : state) {
        const ImportResult result = ImportManifest(game / "System/FrontierMOD.ini");
        if (!result.imported)
            state.SkipWithError("not imported");
    }
    fs::remove_all(game);
    state.SetBytesProcessed(state.iterations()
                            * static_cast<std::int64_t>(texts.ini.size() + texts.localized.size()));
}

// The same product read from its project file, for comparison.
void BM_ReadProject(benchmark::State& state)
{
    ProjectDocument doc = MakeProject(static_cast<int>(state.range(0)));
    const std::string text = SerializeProject(doc);
    SilentSink sink;
    for (auto _ : state) {
        ProjectDocument read;
        if (!ParseProject(text, read, sink))
            state.SkipWithError("not read");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

BENCHMARK(BM_ImportPair)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportFiles)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadProject)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
