#include "generate/generation_run.h"
#include "generate/problem_codes.h"
#include "generate/project_check.h"
#include "generate/zip_packer.h"
#include "generate/zip_piece.h"
#include "generate_fixture.h"
#include "platform/cancel_flag.h"
#include "platform/sha256.h"
#include "support/platform_skip.h"
#include "support/scoped_env.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <sstream>
#include <tuple>

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#define tzset _tzset
#else
#include <sys/resource.h>
#endif
#include <zlib.h>

namespace zpak {
namespace {

namespace fs = std::filesystem;

// The archive as Python's zipfile module reads it, one line per entry.
std::vector<std::string> Inspect(const fs::path& archive)
{
    const std::string command = "python3 '" ZPAK_ZIP_INSPECT "' '" + archive.string() + "' 2>&1";
    std::vector<std::string> lines;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::string text;
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        ::pclose(pipe);
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    return lines;
}

std::string Crc(const std::string& bytes)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08lx",
                  crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    return text;
}

// Random bytes, which deflate cannot shrink.
std::string Noise(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string noise(size, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    return noise;
}

// Text that deflate shrinks, and that does not repeat within DEFLATE's reach.
std::string Words(std::size_t size)
{
    std::mt19937 random(5);
    std::string text;
    while (text.size() < size) {
        for (unsigned letters = random() % 8 + 2; letters > 0; --letters)
            text += static_cast<char>('a' + random() % 26);
        text += random() % 10 == 0 ? '\n' : ' ';
    }
    text.resize(size);
    return text;
}

#ifndef _WIN32
bool Succeeds(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}
#endif

std::string DosTimeText(std::uint32_t dos)
{
    char text[20];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", (dos >> 25) + 1980, (dos >> 21) & 15,
                  (dos >> 16) & 31, (dos >> 11) & 31, (dos >> 5) & 63, (dos & 31) * 2);
    return text;
}

std::string DosTimeText(const fs::path& file)
{
    return DosTimeText(GetDosFileTime(file).value());
}

// The fields of a line of Inspect: name, size, CRC, time, mode, method, flags.
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '|');)
        fields.push_back(field);
    return fields;
}

// A moment as an entry's time shows it: local, to the even second below.
std::string MomentText(std::time_t moment)
{
    const std::tm local = *std::localtime(&moment);
    return DosTimeText(static_cast<std::uint32_t>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21
                                                  | local.tm_mday << 16 | local.tm_hour << 11
                                                  | local.tm_min << 5 | local.tm_sec / 2));
}

class ZipTest : public test::GenerateFixture {
protected:
    void SetUp() override
    {
        GenerateFixture::SetUp();
        doc.product->product = "Frontier Wars";
        doc.product->windows = 0;
        dir.Write("Vantor/Maps/FR-Dunes.MAP", "dunes");
        std::filesystem::create_directories(Game("Maps/Folder.map"));
        doc.groups[1]->AddFile("maps\\*.map");
    }

    fs::path Archive() const { return Game("Frontier_WarsMOD.zip"); }
};

TEST_F(ZipTest, PacksTheProductAsPlayersWillUnpackIt)
{
    SKIP_ON_WINDOWS("reads the archive with Python's zipfile");
    const std::time_t before = std::time(nullptr);
    ASSERT_TRUE(PackZip(doc, sink));
    const std::time_t after = std::time(nullptr);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"The files have been compressed into " + Archive().string()
                                       + " within the " + game.string()
                                       + " folder\nSHA-256: " + Sha256OfFile(Archive()).value_or("none")});

    const auto line = [this](const char* name, const char* file, int method, const char* mode) {
        const std::string bytes = Read(file);
        return std::string(name) + "|" + std::to_string(bytes.size()) + "|" + Crc(bytes) + "|"
            + DosTimeText(Game(file)) + "|" + mode + "|" + std::to_string(method) + "|0";
    };
    std::vector<std::string> lines = Inspect(Archive());
    const std::vector<std::string> expected = {
        line("System/Frontier.pkg", "System/Frontier.pkg", 0, "100644"),
        line("Maps/FR-Canyon.map", "Maps/FR-Canyon.map", 8, "100644"),
        // the destination, not the master name: players keep their own file
        line("System/Frontier.ini", "System/FrontierDefault.ini", 0, "100644"),
        // the wildcard, matched ignoring case, one level, folders skipped, a file packed once
        line("Maps/FR-Dunes.MAP", "Maps/FR-Dunes.MAP", 0, "100644"),
        line("Help/Frontier/Readme.txt", "Help/Frontier/Readme.txt", 0, "100644"),
        line("System/Frontier Wars.sh", "System/Frontier Wars.sh", 0, "100755"), "ok"};
    ASSERT_EQ(lines.size(), expected.size());
    // A script written by this run carries the run's moment, which on a busy
    // machine may be a second or two after the file's own time: that time is
    // checked on its own.
    const std::size_t script = lines.size() - 2;
    std::vector<std::string> packed = Fields(lines[script]);
    const std::vector<std::string> wanted = Fields(expected[script]);
    ASSERT_EQ(packed.size(), wanted.size());
    EXPECT_GE(packed[3], MomentText(before));
    EXPECT_LE(packed[3], MomentText(after));
    packed[3] = wanted[3];
    EXPECT_EQ(packed, wanted);
    lines[script] = expected[script];
    EXPECT_EQ(lines, expected);
}

TEST_F(ZipTest, EntryTimesAreLocalModificationTimes)
{
    const fs::path file = Game("System/Frontier.pkg");
    std::tm when{};
    when.tm_year = 2019 - 1900;
    when.tm_mon = 6;
    when.tm_mday = 14;
    when.tm_hour = 23;
    when.tm_min = 58;
    when.tm_sec = 31;
    when.tm_isdst = -1;
    const std::time_t stamp = std::mktime(&when);
    fs::last_write_time(file,
                        fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(stamp)));
    EXPECT_EQ(GetDosFileTime(file), ((39u << 9 | 7u << 5 | 14u) << 16) | (23u << 11 | 58u << 5 | 15u));
    EXPECT_FALSE(GetDosFileTime(Game("missing")).has_value());
}

// With SOURCE_DATE_EPOCH the archive depends on the files alone: two
// checkouts of one tree at other times, in other time zones, packed on one
// thread or four, on Linux or Windows, give the same bytes. A file older
// than that moment keeps its own time, in UTC; a newer one and the scripts
// of the run get the moment.
TEST_F(ZipTest, SourceDateEpochMakesTheArchiveReproducible)
{
    const test::ScopedEnv epoch("SOURCE_DATE_EPOCH", "1700000000");  // 2023-11-14 22:13:20 UTC
    const auto touch = [](const fs::path& folder, std::time_t stamp) {
        for (const auto& item : fs::recursive_directory_iterator(folder)) {
            if (item.is_regular_file())  // Windows does not let a folder's time be set so
                fs::last_write_time(
                    item.path(),
                    fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(stamp)));
        }
    };
    const fs::path other = dir / "Checkout" / "Vantor";  // the scripts name the game folder
    fs::create_directories(other.parent_path());
    fs::copy(game, other, fs::copy_options::recursive);
    touch(game, 1800000000);
    touch(other, 1750000000);
    fs::last_write_time(Game("Maps/FR-Canyon.map"),
                        fs::file_time_type::clock::from_sys(
                            std::chrono::system_clock::from_time_t(1600000000)));  // 2020-09-13 12:26:40 UTC
    fs::last_write_time(other / "Maps/FR-Canyon.map", fs::last_write_time(Game("Maps/FR-Canyon.map")));

    std::vector<std::string> archives;
    for (const auto& [folder, zone, threads] :
         {std::tuple{game, "UTC", 1U}, std::tuple{other, "Asia/Tokyo", 4U},
          std::tuple{game, "America/Los_Angeles", 4U}}) {
        const test::ScopedEnv tz("TZ", zone);
        ::tzset();
        doc.gameFolder = folder.string();
        GenerationHooks hooks;
        hooks.zipThreads = threads;
        sink.messages.clear();
        ASSERT_EQ(RunGeneration(doc, GenerationChoice::Zip, sink, hooks), GenerationOutcome::Done)
            << sink.messages.at(0);
        archives.push_back(test::ReadFile(folder / "Frontier_WarsMOD.zip"));
    }
    ::tzset();
    EXPECT_TRUE(archives[0] == archives[1]);
    EXPECT_TRUE(archives[0] == archives[2]);
    // Pinned, so that the Windows build, whose tests run under Wine, is held
    // to the bytes this one writes. Changing what an archive holds or how it
    // is compressed changes it, deliberately.
    Sha256 hash;
    hash.Add(archives[0]);
    EXPECT_EQ(HexDigest(hash.Finish()), "cbee0fc54c2af74abdc73336493842846514ed45633aba2a77dc7ce9170f75af");
    EXPECT_EQ(GetDosFileTime(Game("Maps/FR-Canyon.map"), 1700000000),
              ((40u << 9 | 9u << 5 | 13u) << 16) | (12u << 11 | 26u << 5 | 20u));
    EXPECT_EQ(GetDosFileTime(Game("System/Frontier.pkg"), 1700000000),
              ((43u << 9 | 11u << 5 | 14u) << 16) | (22u << 11 | 13u << 5 | 10u));

    const test::ScopedEnv bad("SOURCE_DATE_EPOCH", "yesterday");
    sink.messages.clear();
    EXPECT_FALSE(PackZip(doc, sink));
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"SOURCE_DATE_EPOCH is [yesterday], not a number of seconds since "
                                       "1970. Cannot continue generating the product."});
}

TEST_F(ZipTest, MissingReadmeFailsAndLeavesNoArchive)
{
    for (const char* readme : {"Help\\Missing.txt", "Help"}) {  // a folder is no file either
        doc.product->readme = readme;
        sink.messages.clear();
        EXPECT_FALSE(PackZip(doc, sink));
        EXPECT_EQ(sink.messages, std::vector<std::string>{"Could not open an input file for reading."});
        EXPECT_FALSE(fs::exists(Archive()));
    }
}

TEST_F(ZipTest, EntriesThatWouldLeaveTheGameFolderAreRefused)
{
    for (const char* src :
         {"..\\..\\etc\\Frontier.ini", "\\System\\x.ini", "C:\\x.ini", "System\\..\\..\\x.ini"}) {
        doc.groups[1]->files[1]->src = src;
        sink.messages.clear();
        EXPECT_FALSE(PackZip(doc, sink)) << src;
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_NE(sink.messages[0].find("outside the game folder"), std::string::npos);
        EXPECT_FALSE(fs::exists(Archive()));
    }
}

TEST_F(ZipTest, EmptyProductGivesAnEmptyArchive)
{
    SKIP_ON_WINDOWS("reads the archive with Python's zipfile");
    doc.groups.clear();
    doc.product->readme.reset();
    doc.product->shortcut.reset();
    ASSERT_TRUE(PackZip(doc, sink));
    EXPECT_EQ(Inspect(Archive()), std::vector<std::string>{"ok"});
}

TEST_F(ZipTest, ArchiveThatCannotBeCreated)
{
    fs::create_directory(Archive());
    EXPECT_FALSE(PackZip(doc, sink));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Could not create the zip file []"});
}

// A size limit makes writing the archive fail part of the way, as a full disk
// would: the failure is reported, never the success message, and no broken
// archive stays behind.
TEST_F(ZipTest, FullDiskIsAFailureAndKeepsThePreviousArchive)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit (setrlimit)";
#else
    ASSERT_TRUE(PackZip(doc, sink));
    const std::string previous = test::ReadFile(Archive());
    sink.messages.clear();
    dir.Write("Vantor/Maps/FR-Noise.map", Noise(300000, 7));

    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 200000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool packed = PackZip(doc, sink);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(packed);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].find("The files have been compressed"), std::string::npos);
    EXPECT_EQ(test::ReadFile(Archive()), previous);
    EXPECT_EQ(test::FolderNames(game),
              (std::vector<std::string>{"Frontier_WarsMOD.zip", "Help", "Maps", "System"}));
#endif
}

// A zip without its 64-bit extension counts entries in 16 bits: the zip takes
// 65535, and the check of another choice warns only past that.
TEST_F(ZipTest, APlainZipHoldsAtMost65535Entries)
{
    doc.groups.resize(1);
    doc.groups[0]->files.clear();
    for (int i = 0; i < 65535; ++i)
        doc.groups[0]->AddFile("System\\Frontier.pkg").src = "Copies\\" + std::to_string(i);
    doc.product->readme.reset();
    doc.product->shortcut.reset();
    const auto overflows = [this] {
        const auto found = CheckProject(doc, GenerationChoice::ManifestOnly, {});
        return std::ranges::any_of(found,
                                   [](const Diagnostic& d) { return d.code == codes::kZipWouldOverflow; });
    };
    const ResolvedRun run = ResolveGeneration(doc, GenerationChoice::Zip, {});
    EXPECT_EQ(run.FirstError(), nullptr);
    EXPECT_EQ(run.pack.entries.size(), 65535u);
    EXPECT_FALSE(overflows());

    doc.groups[0]->AddFile("System\\Frontier.pkg").src = "Copies\\last";
    EXPECT_TRUE(overflows());
    EXPECT_FALSE(PackZip(doc, sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find("65536 files"), std::string::npos) << sink.messages[0];
    EXPECT_FALSE(fs::exists(Archive()));
}

// Names are stored in UTF-8 with the flag that says so; plain ASCII names
// need no flag, and a name in the ANSI code page (1252 in the C locale, as
// Wine picks it) is read in it.
TEST(ZipPackListTest, NamesAreStoredInUtf8)
{
    SKIP_ON_WINDOWS("reads the archive with Python's zipfile");
    const test::ScopedEnv locale("LC_ALL", "C");
    test::TempDir dir;
    const fs::path file = dir.Write("a.txt", "a");
    const PackList list{dir / "names.zip",
                        {{file, "Maps/\xc3\x89tape.map", 0644, {}},
                         {file, "Maps/plain.map", 0644, {}},
                         {file, "Maps/caf\xe9.map", 0644, {}}},
                        {}};
    ASSERT_EQ(ZipPackList(list), kZipOk);
    const std::string command = "python3 -c \"import zipfile,sys; sys.stdout.buffer.write(' '.join("
                                "str(i.flag_bits & 0x800) + ':' + i.filename for i in "
                                "zipfile.ZipFile(sys.argv[1]).infolist()).encode())\" '"
        + list.archive.string() + "'";
    std::string names;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[128] = {};
        if (std::fgets(buffer, sizeof buffer, pipe))
            names = buffer;
        ::pclose(pipe);
    }
    EXPECT_EQ(names, "2048:Maps/\xc3\x89tape.map 0:Maps/plain.map 2048:Maps/caf\xc3\xa9.map");
}

TEST(ZipPackListTest, FolderAsInputCannotBeOpened)
{
    test::TempDir dir;
    fs::create_directory(dir / "folder");
    const PackList list{dir / "out.zip", {{dir / "folder", "folder", 0644, {}}}, {}};
    EXPECT_EQ(ZipPackList(list), kZipCannotOpenInput);
    EXPECT_FALSE(fs::exists(list.archive));
}

TEST(ZipPackListTest, ArchivePathLongerThan255CharactersWorks)
{
    SKIP_ON_WINDOWS("reads the archive with Python's zipfile");
    test::TempDir dir;
    fs::path folder = dir.path();
    while (folder.string().size() < 300)
        folder /= std::string(40, 'd');
    fs::create_directories(folder);
    const PackList list{folder / "Long_NameMOD.zip", {{dir.Write("a.txt", "a"), "a.txt", 0644, {}}}, {}};
    ASSERT_EQ(ZipPackList(list), kZipOk);
    EXPECT_EQ(Inspect(list.archive).back(), "ok");
}

TEST(ZipPackListTest, IncompressibleDataIsStoredAndProgressIsReported)
{
    SKIP_ON_WINDOWS("reads the archive with Python's zipfile");
    test::TempDir dir;
    PackList list{dir / "out.zip",
                  {{dir.Write("noise.bin", Noise(100000, 3)), "noise.bin", 0644, {}},
                   {dir.Write("text.txt", std::string(3 * (1 << 20), 't')), "a/text.txt", 0644, {}}},
                  {}};
    std::vector<ZipProgress> seen;
    ASSERT_EQ(ZipPackList(list, [&](const ZipProgress& p) { seen.push_back(p); }), kZipOk);

    const auto lines = Inspect(list.archive);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 4), "|0|0");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 4), "|8|0");
    EXPECT_LT(fs::file_size(list.archive), 100000u + 3 * (1 << 20) / 100);

    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen.front().currentEntry, "noise.bin");
    EXPECT_EQ(seen.back().filesDone, 2u);
    EXPECT_EQ(seen.back().bytesDone, seen.back().bytesTotal);
    EXPECT_EQ(seen.back().bytesTotal, 100000u + 3 * (1 << 20));
}

// Whether an entry is deflated is decided from samples of all of it: a file
// whose head is packed data and whose rest is text (or the other way round)
// shrinks, while one that is packed data throughout is stored.
TEST(ZipPackListTest, MixedFilesAreDeflatedWherePackedOnesAreStored)
{
    test::TempDir dir;
    constexpr std::size_t kHalf = 3 << 20;
    const std::string noise = Noise(kHalf, 11);
    const std::string text = Words(kHalf);
    struct Case {
        const char* name;
        std::string bytes;
        bool shrinks;
    };
    const Case cases[] = {{"noise-head", noise + text, true},
                          {"text-head", text + noise, true},
                          {"noise", noise + Noise(kHalf, 12), false}};
    for (const Case& c : cases) {
        const PackList list{
            dir / (std::string(c.name) + ".zip"), {{dir.Write(c.name, c.bytes), c.name, 0644, {}}}, {}};
        ASSERT_EQ(ZipPackList(list), kZipOk);
        const auto size = fs::file_size(list.archive);
        if (c.shrinks)
            EXPECT_LT(size, 2 * kHalf * 8 / 10) << c.name;
        else
            EXPECT_GT(size, 2 * kHalf) << c.name;  // stored: the bytes and the headers
    }
}

// Entries larger than one piece are deflated in pieces on several threads and
// joined into one stream. Whatever the number of threads,
// the archive is the same to the byte, and every reader takes it.
TEST(ZipThreadsTest, SameArchiveWhateverTheThreads)
{
    test::TempDir dir;
    const std::string big = Words(5 * kZipPieceSize / 2);
    const std::vector<PackEntry> entries = {
        {dir.Write("big.txt", big), "Maps/big.txt", 0644, {}},
        {dir.Write("noise.bin", Noise(kZipPieceSize + kZipPieceSize / 3, 9)), "noise.bin", 0644, {}},
        {dir.Write("empty.txt", ""), "empty.txt", 0644, {}},
        {dir.Write("small.txt", big.substr(0, 5000)), "small.txt", 0755, {}}};

    std::string first;
    for (unsigned threads : {1U, 3U}) {
        const fs::path archive = dir / ("threads" + std::to_string(threads) + ".zip");
        std::vector<ZipProgress> seen;
        ASSERT_EQ(WriteZip(
                      archive, entries, [&](const ZipProgress& p) { seen.push_back(p); }, nullptr, threads),
                  kZipOk);
        const std::string bytes = test::ReadFile(archive);
        if (first.empty())
            first = bytes;
        EXPECT_TRUE(bytes == first) << threads << " threads";
        for (std::size_t i = 1; i < seen.size(); ++i) {
            EXPECT_GE(seen[i].bytesDone, seen[i - 1].bytesDone);
            EXPECT_GE(seen[i].filesDone, seen[i - 1].filesDone);
        }
        EXPECT_EQ(seen.back().bytesDone, seen.back().bytesTotal);
    }

#ifndef _WIN32  // the readers are Linux programs
    const fs::path archive = dir / "threads1.zip";
    const auto lines = Inspect(archive);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0],
              "Maps/big.txt|" + std::to_string(big.size()) + "|" + Crc(big) + "|"
                  + DosTimeText(entries[0].source) + "|100644|8|0");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 4), "|0|0");
    EXPECT_EQ(lines[4], "ok");
    EXPECT_TRUE(Succeeds("unzip -tq '" + archive.string() + "'"));
    EXPECT_TRUE(Succeeds("7z t -bd '" + archive.string() + "'"));
#endif
}

// Cancelled in the middle of an entry that is being packed in pieces: the run
// stops there and reports nothing more.
TEST(ZipThreadsTest, CancelStopsInTheMiddleOfAnEntry)
{
    test::TempDir dir;
    const std::vector<PackEntry> entries = {
        {dir.Write("big.txt", Words(5 * kZipPieceSize)), "big.txt", 0644, {}},
        {dir.Write("after.txt", "after"), "after.txt", 0644, {}}};
    CancelFlag cancel;
    std::vector<ZipProgress> seen;
    const auto progress = [&](const ZipProgress& p) {
        EXPECT_FALSE(cancel.IsSet()) << "reported after the cancel";
        seen.push_back(p);
        if (p.bytesDone > 0)
            cancel.Set();
    };
    EXPECT_EQ(WriteZip(dir / "out.zip", entries, progress, &cancel, 2), kZipCancelled);
    ASSERT_FALSE(seen.empty());
    EXPECT_LT(seen.back().bytesDone, seen.back().bytesTotal / 2);
}

}  // namespace
}  // namespace zpak
