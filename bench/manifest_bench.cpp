// CheckProductFiles plus WriteManifest for a product of 10,000 and 100,000
// file entries (files that exist on disk, in 100 folders). The time per
// entry should stay flat.
#include "generate/manifest_writer.h"
#include "model/project_document.h"
#include "platform/message_sink.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

using namespace zpak;
namespace fs = std::filesystem;

class BenchGame {
public:
    explicit BenchGame(int entries)
        : root_(fs::temp_directory_path() / ("zpak-manifest-bench-" + std::to_string(::getpid())))
    {
        fs::create_directories(root_ / "System");
        doc_.gameFolder = root_.string();
        doc_.product = std::make_unique<ProductData>();
        doc_.product->product = "Bench";
        const int perGroup = entries / 100;
        for (int g = 0; g < 100; ++g) {
            auto& group = *doc_.groups.emplace_back(
                std::make_unique<GroupInfo>("Group" + std::to_string(g)));
            group.Visible = 1;
            group.caption = "Group";
            const std::string folder = "Pack" + std::to_string(g);
            fs::create_directories(root_ / folder);
            for (int f = 0; f < perGroup; ++f) {
                const std::string name = "file" + std::to_string(f) + ".txt";
                std::ofstream(root_ / folder / name) << 'x';
                group.AddFile(folder + "\\" + name);
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

void BM_CheckAndWriteManifest(benchmark::State& state)
{
    BenchGame game(static_cast<int>(state.range(0)));
    SilentSink sink;
    for (auto _ : state) {
        if (!WriteManifest(game.doc(), true, sink))
            state.SkipWithError("manifest failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CheckProductFiles(benchmark::State& state)
{
    BenchGame game(static_cast<int>(state.range(0)));
    SilentSink sink;
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckProductFiles(game.doc(), sink));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_CheckAndWriteManifest)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckProductFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
