// Parsing a generated 20 MB Wine system.reg and listing the installed games;
// parsing and walking every key of a flat 100 MB hive (millions of keys side
// by side) and of a deep one (one chain of nested keys); loading 100 MB hives
// of hostile shapes as the wizard does and parsing them whole (peak_MB is the
// process's peak memory: run one of them per process, as
// bench/hive_shapes.sh does); IniFile Load and Save from 0.5 MB to 5 MB (400
// sections a megabyte, so 2,000 sections at 5 MB), and Load of a file that
// repeats one section's header. Bytes per second are those of the file.
#include "game/game_folder.h"
#include "game/registry_enumerator.h"
#include "game/wine_registry.h"
#include "ini/ini_file.h"
#include "model/project_document.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace zpak;
namespace fs = std::filesystem;

std::string MakeHive(std::size_t bytes)
{
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
    for (int game = 0; game < 50; ++game) {
        text += "[Software\\\\Corvex Technology\\\\Installed Apps\\\\Game" + std::to_string(game)
            + "] 1700000000\n#time=1d9a7b3c4d5e6f7\n\"Folder\"=\"C:\\\\Games\\\\Game" + std::to_string(game)
            + "\"\n\n";
    }
    for (int key = 0; text.size() < bytes; ++key) {
        const std::string n = std::to_string(key);
        const std::string count = std::string(8 - std::min<std::size_t>(8, n.size()), '0') + n.substr(0, 8);
        text += "[Software\\\\Classes\\\\CLSID\\\\{" + n + "-4a5b-8c9d-" + n
            + "}\\\\InprocServer32] 1700000000\n";
        text += "#time=1d9a7b3c4d5e6f7\n";
        text += "@=\"C:\\\\windows\\\\system32\\\\component" + n + ".dll\"\n";
        text += "\"ThreadingModel\"=\"Both\"\n";
        text += "\"Path\"=str(2):\"%SystemRoot%\\\\system32\\\\caf\\xe9" + n + "\"\n";
        text += "\"List\"=str(7):\"one\\0two\\0\"\n";
        text += "\"Count\"=dword:" + count + "\n";
        text += "\"Data\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n";
        text += "  16,17,18,19,1a,1b,1c,1d,1e,1f\n";
        text += "\"Wide\"=hex(2):25,00,53,00,79,00,73,00,00,00\n\n";
    }
    return text;
}

void BM_ParseHiveAndListGames(benchmark::State& state)
{
    const std::string text = MakeHive(20u << 20);
    for (auto _ : state) {
        std::vector<WineRegistry::Prefix> prefixes;
        prefixes.push_back({"/no/prefix", WineHive(text)});
        const WineRegistry registry(std::move(prefixes));
        const auto games = ListInstalledGames(registry);
        if (games.size() != 50)
            state.SkipWithError("games missing");
        benchmark::DoNotOptimize(games.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size() * state.iterations()));
}

// Counts every key and value of a walk from the root.
class CountingWalk final : public RegistryEnumerator {
public:
    using RegistryEnumerator::RegistryEnumerator;

    bool OnValue(const std::string&, const std::string&, const RegistryBuffer&, int) override
    {
        ++values;
        return true;
    }
    bool OnKey(const std::string&, int) override
    {
        ++keys;
        return true;
    }

    std::size_t keys = 0;
    std::size_t values = 0;
};

void ParseAndWalk(benchmark::State& state, const std::string& text, std::size_t keys)
{
    for (auto _ : state) {
        std::vector<WineRegistry::Prefix> prefixes;
        prefixes.push_back({"/no/prefix", WineHive(text)});
        const WineRegistry registry(std::move(prefixes));
        CountingWalk walk(registry);
        const bool walked = walk.Enumerate("", RegistryEnumerator::kKeys | RegistryEnumerator::kValues);
        if (!walked || walk.keys != keys)
            state.SkipWithError("keys missing");
        benchmark::DoNotOptimize(walk.values);
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size() * state.iterations()));
    state.counters["keys"] = static_cast<double>(keys);
}

// Keys side by side below one parent, each with a value, as a registry of
// many installed components looks.
void BM_ParseAndWalkFlatHive(benchmark::State& state)
{
    std::string text = "WINE REGISTRY Version 2\n";
    std::size_t keys = 3;  // Software, Classes, Flat
    while (text.size() < (100u << 20)) {
        const std::string n = std::to_string(keys++);
        text += "[Software\\\\Classes\\\\Flat\\\\Key" + n + "] 1700000000\n\"Id\"=\"" + n + "\"\n";
    }
    ParseAndWalk(state, text, keys);
}

// One line names a chain of nested keys, each of them created on the way
// down to the 512 levels Windows could hold; a value at the bottom and one
// half-way down.
void BM_ParseAndWalkDeepHive(benchmark::State& state)
{
    const auto levels = static_cast<std::size_t>(state.range(0));
    std::string path = "Software";
    for (std::size_t i = 1; i < levels; ++i)
        path += i == levels / 2 ? "\\\\Middle" : "\\\\k";
    std::string text = "WINE REGISTRY Version 2\n[" + path + "] 1700000000\n\"Bottom\"=dword:00000001\n";
    text += "[" + path.substr(0, path.find("Middle") + 6) + "] 1700000000\n\"Half\"=\"way\"\n";
    ParseAndWalk(state, text, std::min<std::size_t>(levels, 512));
}

// Hives of about 100 MB that any program in a scanned prefix could write.
enum HiveShape : std::int64_t {
    kDeepLine,    // one key line naming a chain of 35 million nested keys
    kKeyFlood,    // millions of tiny key lines at the root
    kGameFlood,   // millions of key lines right below the installed games' key
    kManyValues,  // one game with millions of values
    kHugeHex,     // one game with a value of 100 MB of hex data
};

constexpr std::size_t kShapedHiveBytes = 100u << 20;
constexpr const char* kGamesPath = "Software\\\\Corvex Technology\\\\Installed Apps\\\\";

// Short names that differ also when letter case is ignored.
std::string ShortName(std::size_t n)
{
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name;
    do {
        name += kDigits[n % 36];
        n /= 36;
    } while (n);
    return name;
}

// The hive text, which ends with the default game and its folder; `games` is
// how many games the wizard lists from it.
std::string ShapedHive(HiveShape shape, std::size_t& games)
{
    std::string text;
    text.reserve(kShapedHiveBytes + 4096);  // no copy of it while it grows
    text = "WINE REGISTRY Version 2\n";
    games = 1;
    switch (shape) {
    case kDeepLine:
        text += std::string("[") + kGamesPath + "Deep";
        while (text.size() < kShapedHiveBytes)
            text += "\\\\k";
        text += "] 1700000000\n\"Folder\"=\"C:\\\\Deep\"\n";
        games = 2;
        break;
    case kKeyFlood:
        for (std::size_t n = 0; text.size() < kShapedHiveBytes; ++n)
            text += "[" + ShortName(n) + "]\n";
        break;
    case kGameFlood:
        for (; text.size() < kShapedHiveBytes; ++games)
            text += std::string("[") + kGamesPath + ShortName(games) + "]\n";
        break;
    case kManyValues:
        text += std::string("[") + kGamesPath + kDefaultGame + "] 1700000000\n";
        for (std::size_t n = 0; text.size() < kShapedHiveBytes; ++n)
            text += "\"" + ShortName(n) + "\"=\"\"\n";
        break;
    case kHugeHex:
        text += std::string("[") + kGamesPath + kDefaultGame + "] 1700000000\n\"Blob\"=hex:00";
        while (text.size() < kShapedHiveBytes)
            text += ",01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,\\\n  1a";
        text += "\n";
        break;
    }
    text +=
        std::string("[") + kGamesPath + kDefaultGame + "] 1700000000\n\"Folder\"=\"C:\\\\Games\\\\Vantor\"\n";
    return text;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;  // kilobytes on Linux
}

// What the wizard's first page does: loads the registry of a prefix, lists the
// games and reads the default game's folder.
void BM_LoadShapedHive(benchmark::State& state, HiveShape shape)
{
    const fs::path prefix = fs::temp_directory_path() / ("zpak-hive-bench-" + std::to_string(::getpid()));
    fs::create_directories(prefix);
    std::size_t expected = 0;
    std::size_t bytes = 0;
    {
        const std::string text = ShapedHive(shape, expected);
        std::ofstream(prefix / "system.reg", std::ios::binary) << text;
        bytes = text.size();
    }
    for (auto _ : state) {
        const auto registry = WineRegistry::Load({prefix});
        ProjectDocument document;
        std::string folder;
        if (ListInstalledGames(*registry).size() != expected
            || !LoadGameFolder(*registry, GameKeyPath(kDefaultGame), document, folder))
            state.SkipWithError("games missing");
    }
    fs::remove_all(prefix);
    state.SetBytesProcessed(static_cast<int64_t>(bytes * state.iterations()));
    state.counters["peak_MB"] = PeakMegabytes();
}

// The parser alone, keeping every key.
void BM_ParseShapedHive(benchmark::State& state, HiveShape shape)
{
    std::size_t games = 0;
    std::size_t bytes = 0;
    std::size_t keys = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = ShapedHive(shape, games);
        bytes += text.size();
        state.ResumeTiming();
        const WineHive hive(std::move(text));
        keys = hive.KeyCount();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["keys"] = static_cast<double>(keys);
    state.counters["peak_MB"] = PeakMegabytes();
}

fs::path TempIni()
{
    return fs::temp_directory_path() / ("zpak-ini-bench-" + std::to_string(::getpid()) + ".ini");
}

fs::path WriteIni(std::size_t megabytes10)
{
    const fs::path path = TempIni();
    const std::size_t bytes = megabytes10 * (1u << 20) / 10;
    const std::size_t sections = bytes * 400 / (1u << 20);
    const std::size_t perSection = bytes / sections;
    std::ofstream out(path, std::ios::binary);
    for (std::size_t s = 0; s < sections; ++s) {
        out << "; section " << s << "\r\n[Section" << s << "]\r\n";
        std::size_t written = 0;
        for (int k = 0; written < perSection; ++k) {
            const std::string line =
                "Key" + std::to_string(k) + "=Value number " + std::to_string(k) + "\r\n";
            out << line;
            written += line.size();
        }
        out << "\r\n";
    }
    return path;
}

void BM_IniLoad(benchmark::State& state)
{
    const fs::path path = WriteIni(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        IniFile ini;
        ini.Load(path);
        benchmark::DoNotOptimize(ini.GetSectionCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(fs::file_size(path) * state.iterations()));
    fs::remove(path);
}

// The first section's entries, then its header again and again: each header
// lists the section once more, with those entries.
void BM_IniLoadRepeatedHeaders(benchmark::State& state)
{
    const fs::path path = TempIni();
    const auto repeats = static_cast<int>(state.range(0));
    {
        std::ofstream out(path, std::ios::binary);
        out << "[s]\n";
        for (int k = 0; k < repeats; ++k)
            out << "k" << k << "=v\n";
        for (int s = 0; s < repeats; ++s)
            out << "[s]\n";
    }
    for (auto _ : state) {
        IniFile ini;
        ini.Load(path);
        if (ini.GetSectionCount() != repeats + 1)
            state.SkipWithError("sections missing");
    }
    state.SetBytesProcessed(static_cast<int64_t>(fs::file_size(path) * state.iterations()));
    fs::remove(path);
}

// Changes one value and adds a section, as the presets dialog does, then saves.
void BM_IniSave(benchmark::State& state)
{
    const fs::path path = WriteIni(static_cast<std::size_t>(state.range(0)));
    IniFile ini;
    ini.Load(path);
    ini.AddSection("Added", {"product"}, {"Frontier"});
    for (auto _ : state) {
        ini.SetValue("Section1", "Key1", "changed");
        if (!ini.Save())
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(fs::file_size(path) * state.iterations()));
    fs::remove(path);
}

BENCHMARK(BM_ParseHiveAndListGames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndWalkFlatHive)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ParseAndWalkDeepHive)->Arg(500)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LoadShapedHive, deep_line, kDeepLine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LoadShapedHive, key_flood, kKeyFlood)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LoadShapedHive, game_flood, kGameFlood)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LoadShapedHive, many_values, kManyValues)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LoadShapedHive, huge_hex, kHugeHex)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_ParseShapedHive, deep_line, kDeepLine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_ParseShapedHive, key_flood, kKeyFlood)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_ParseShapedHive, game_flood, kGameFlood)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_ParseShapedHive, many_values, kManyValues)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_ParseShapedHive, huge_hex, kHugeHex)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_IniLoad)->Arg(5)->Arg(10)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniLoadRepeatedHeaders)->Arg(1000)->Arg(12000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_IniSave)->Arg(5)->Arg(10)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
