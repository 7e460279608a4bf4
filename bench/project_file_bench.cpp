// Speed of the project writer and reader on large projects: 100,000 file
// entries in 100 groups, 10,000 INI changes and 100 requirements at scale 1,
// everything ten times that at scale 10; and reading and checking projects of
// many groups, each tied to an INI file. Bytes per second are those of the file.
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "model/readback_check.h"
#include "platform/message_sink.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace zpak;

ProjectDocument MakeProject(int scale)
{
    ProjectDocument doc;
    doc.gameFolder = "C:\\Games\\Vantor";
    const int groups = 100 * scale;
    for (int g = 0; g < groups; ++g) {
        auto& group = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Group" + std::to_string(g)));
        group.caption = "Caption of group " + std::to_string(g);
        group.Visible = group.Selectable = 1;
        for (int f = 0; f < 1000; ++f) {
            auto& file =
                group.AddFile("Maps\\Pack" + std::to_string(g) + "\\Level" + std::to_string(f) + ".map");
            if (f % 10 == 0)
                file.src = "Maps\\Level" + std::to_string(f) + ".map";
        }
    }
    for (int i = 0; i < 100 * scale; ++i) {
        auto& ini =
            *doc.iniFiles.emplace_back(std::make_unique<INIGroup>("Config" + std::to_string(i) + ".ini"));
        for (int e = 0; e < 100; ++e)
            ini.AddEntry("Engine.Section" + std::to_string(e), "Key" + std::to_string(e),
                         e % 5 ? "Value" + std::to_string(e) : "(X=1,Y=2,Z=3)", e % 2);
        ini.group = doc.groups[static_cast<std::size_t>(i)].get();
    }
    for (int r = 0; r < 100 * scale; ++r) {
        auto& req = *doc.requirements.emplace_back(std::make_unique<RequirementInfo>());
        req.product = "Product" + std::to_string(r);
        req.version = "1";
        req.developer = "Someone";
        req.productURL = "http://example.invalid/p";
    }
    doc.product = std::make_unique<ProductData>();
    doc.product->product = "Frontier";
    return doc;
}

// The benchmark's project file. With ZPAK_BENCH_DIR set, the files are kept
// there as project-<scale>.zproj, to time other tools (wc -l) on the same bytes.
class BenchFile {
public:
    explicit BenchFile(int64_t scale)
    {
        if (const char* dir = std::getenv("ZPAK_BENCH_DIR")) {
            path_ = std::filesystem::path(dir) / ("project-" + std::to_string(scale) + ".zproj");
            keep_ = true;
        } else {
            path_ = std::filesystem::temp_directory_path()
                / ("zpak-bench-" + std::to_string(::getpid()) + ".zproj");
        }
    }
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;
    ~BenchFile()
    {
        if (!keep_)
            std::filesystem::remove(path_);
    }

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    bool keep_ = false;
};

void BM_Serialize(benchmark::State& state)
{
    ProjectDocument doc = MakeProject(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = SerializeProject(doc);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes * state.iterations()));
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

// Serialize, atomic write with fsync, and the read-back check.
void BM_Save(benchmark::State& state)
{
    ProjectDocument doc = MakeProject(static_cast<int>(state.range(0)));
    const BenchFile file(state.range(0));
    SilentSink sink;
    for (auto _ : state)
        SaveProject(doc, file.path(), sink);
    state.SetBytesProcessed(
        static_cast<int64_t>(std::filesystem::file_size(file.path()) * state.iterations()));
}

void BM_Parse(benchmark::State& state)
{
    ProjectDocument source = MakeProject(static_cast<int>(state.range(0)));
    const std::string text = SerializeProject(source);
    SilentSink sink;
    for (auto _ : state) {
        ProjectDocument doc;
        if (!ParseProject(text, doc, sink))
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(doc.groups.data());
        state.PauseTiming();  // freeing the records is not reading
        doc.Release();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size() * state.iterations()));
}

// Read the file from disk, parse into a fresh document and swap it in.
void BM_Open(benchmark::State& state)
{
    ProjectDocument source = MakeProject(static_cast<int>(state.range(0)));
    const BenchFile file(state.range(0));
    SilentSink sink;
    SaveProject(source, file.path(), sink);
    ProjectDocument doc;
    for (auto _ : state) {
        if (OpenProject(file.path(), doc, sink, {}) != OpenResult::Opened)
            state.SkipWithError("open failed");
    }
    state.SetBytesProcessed(
        static_cast<int64_t>(std::filesystem::file_size(file.path()) * state.iterations()));
}

// Each group has one entry and an INI file tied to it by a "group=" line, as
// the reader reads them and the check after Save looks at them.
void BM_ParseAndCheckTiedGroups(benchmark::State& state)
{
    ProjectDocument source;
    for (int64_t g = 0; g < state.range(0); ++g) {
        const std::string n = std::to_string(g);
        auto& group = *source.groups.emplace_back(std::make_unique<GroupInfo>("Group" + n));
        group.AddFile("Data\\file" + n + ".txt");
        auto& ini = *source.iniFiles.emplace_back(std::make_unique<INIGroup>("Config" + n + ".ini"));
        ini.AddEntry("Engine.Section", "Key", "(X=1,Y=2)", 1);
        ini.group = &group;
    }
    const std::string text = SerializeProject(source);
    SilentSink sink;
    for (auto _ : state) {
        ProjectDocument doc;
        if (!ParseProject(text, doc, sink) || !FindUnreadableTexts(doc).empty())
            state.SkipWithError("read or check failed");
        state.PauseTiming();
        doc.Release();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size() * state.iterations()));
}

BENCHMARK(BM_Serialize)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndCheckTiedGroups)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
