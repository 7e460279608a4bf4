// The resolution of a generation run, and CheckProductFiles plus
// WriteManifest, for a product of 10,000 and 100,000 file entries (files that
// exist on disk, in 100 folders), once with the project's letter case as on
// disk and once not ("pack00\file0001.dat" for "Pack00/File0001.dat"). The
// time per entry should stay flat, and not depend on the letter case.
#include "generate/generation_run.h"
#include "generate/manifest_writer.h"
#include "model/project_document.h"
#include "platform/message_sink.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

using namespace zpak;
namespace fs = std::filesystem;

class BenchGame {
public:
    BenchGame(int entries, bool otherCase)
        : root_(fs::temp_directory_path() / ("zpak-manifest-bench-" + std::to_string(::getpid())))
    {
        fs::create_directories(root_ / "System");
        doc_.gameFolder = root_.string();
        doc_.product = std::make_unique<ProductData>();
        doc_.product->product = "Bench";
        const int perGroup = entries / 100;
        for (int g = 0; g < 100; ++g) {
            auto& group = *doc_.groups.emplace_back(std::make_unique<GroupInfo>("Group" + std::to_string(g)));
            group.Visible = 1;
            group.caption = "Group";
            char folder[16];
            std::snprintf(folder, sizeof folder, "Pack%02d", g);
            fs::create_directories(root_ / folder);
            for (int f = 0; f < perGroup; ++f) {
                char name[32];
                std::snprintf(name, sizeof name, "File%04d.dat", f);
                std::ofstream(root_ / folder / name) << 'x';
                std::string entry = std::string(folder) + "\\" + name;
                if (otherCase)
                    std::transform(entry.begin(), entry.end(), entry.begin(), ::tolower);
                group.AddFile(entry);
            }
        }
    }
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;
    ~BenchGame() { fs::remove_all(root_); }

    ProjectDocument& doc() { return doc_; }

private:
    fs::path root_;
    ProjectDocument doc_;
};

void BM_ResolvePackageRun(benchmark::State& state)
{
    BenchGame game(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        const ResolvedRun run = ResolveGeneration(game.doc(), GenerationChoice::Package, {});
        if (run.FirstError())
            state.SkipWithError(run.FirstError()->text.c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CheckAndWriteManifest(benchmark::State& state)
{
    BenchGame game(static_cast<int>(state.range(0)), false);
    SilentSink sink;
    for (auto _ : state) {
        if (!WriteManifest(game.doc(), true, sink))
            state.SkipWithError("manifest failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CheckProductFiles(benchmark::State& state)
{
    BenchGame game(static_cast<int>(state.range(0)), state.range(1) != 0);
    SilentSink sink;
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckProductFiles(game.doc(), sink));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Arguments: entries, and 1 when the project's letter case differs from the disk's.
BENCHMARK(BM_ResolvePackageRun)
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->ArgNames({"entries", "otherCase"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckAndWriteManifest)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckProductFiles)
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->ArgNames({"entries", "otherCase"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
