#include "ini/ini_file.h"
#include "support/platform_skip.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <malloc.h>

#ifdef __SANITIZE_ADDRESS__
// The sanitizer's allocator takes the place of malloc's; not every compiler
// ships the header that declares this.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace zpak {
namespace {

using Strings = std::vector<std::string>;

// Bytes the program holds on the heap now.
std::size_t HeapInUse()
{
#ifdef __SANITIZE_ADDRESS__
    return __sanitizer_get_current_allocated_bytes();
#elif defined(_WIN32)
    return 0;  // not measured: the test that asks skips on Windows
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

class IniFileTest : public ::testing::Test {
protected:
    std::filesystem::path Write(std::string_view content) { return dir.Write("test.ini", content); }

    test::TempDir dir;
};

TEST_F(IniFileTest, ReadsLinesAsTheProfileFunctionsDeliverThem)
{
    IniFile ini;
    ini.Load(Write("orphan=above\r\n[A]\r\nx=1=2\r\n  spaced key  =  value  \r\n"
                   "; comment\r\n\r\nbare line\r[b]\nk=v\n[ Padded ] trailing]\n[A]\nlater=1"));
    ASSERT_EQ(ini.GetSectionCount(), 4);
    EXPECT_EQ(ini.GetSectionName(0), "A");
    EXPECT_EQ(ini.GetSectionName(2), "Padded ] trailing");
    EXPECT_EQ(ini.GetSectionName(3), "A");  // listed again, with the first A's entries
    EXPECT_EQ(ini.GetSectionName(-1), "");
    EXPECT_EQ(ini.GetSectionName(4), "");
    EXPECT_EQ(ini.FindSection("a"), 0);
    EXPECT_EQ(ini.FindSection("B"), 1);
    EXPECT_EQ(ini.FindSection("orphan"), -1);

    Strings keys{"untouched"};
    Strings values{"untouched"};
    EXPECT_EQ(ini.GetSectionEntries("a", keys, values), 0);
    EXPECT_EQ(keys, (Strings{"x", "spaced key", ""}));
    EXPECT_EQ(values, (Strings{"1=2", "value", "bare line"}));
    EXPECT_EQ(ini.GetEntryCount("A"), 3);
    EXPECT_EQ(ini.FindKey(0, "SPACED KEY"), 1);
    EXPECT_EQ(ini.FindKey(7, "x"), -1);
    EXPECT_EQ(ini.GetValue("b", "K"), "v");
    EXPECT_EQ(ini.GetValue("b", "missing"), "");
    EXPECT_EQ(ini.GetValue("missing", "k"), "");
    EXPECT_EQ(ini.GetEntryCount("missing"), 0);

    keys = {"kept"};
    EXPECT_EQ(ini.GetSectionEntries("Padded ] trailing", keys, values), 2);
    EXPECT_EQ(keys, Strings{"kept"});  // no entries: the arrays stay
    EXPECT_EQ(ini.GetSectionEntries("none", keys, values), -1);
}

// Each header lists the section again, with the entries of the first section
// of its name; the listings share those entries, or a small file of many
// headers would take room in the square of its size.
TEST_F(IniFileTest, RepeatedHeadersListTheFirstSectionsEntriesWithoutCopies)
{
    SKIP_ON_WINDOWS("measures the heap with glibc's mallinfo2");
    constexpr int kEntries = 2000;
    constexpr int kRepeats = 2000;
    std::string text = "[Repeated]\n";
    for (int k = 0; k < kEntries; ++k)
        text += "key" + std::to_string(k) + "=value " + std::to_string(k) + "\n";
    text += "[Other]\nkey1=other\n";
    for (int r = 0; r < kRepeats; ++r)
        text += r % 2 ? "[repeated]\n" : "[ Repeated ]\n";
    const auto path = Write(text);

    const std::size_t before = HeapInUse();
    IniFile ini;
    ini.Load(path);
    EXPECT_LT(HeapInUse() - before, 20 * text.size());  // a copy of the entries per header: 4000 times

    ASSERT_EQ(ini.GetSectionCount(), kRepeats + 2);
    EXPECT_EQ(ini.GetSectionName(2), "Repeated");
    EXPECT_EQ(ini.GetSectionName(kRepeats + 1), "repeated");
    EXPECT_EQ(ini.FindSection("REPEATED"), 0);
    for (int index : {0, 2, kRepeats + 1})
        EXPECT_EQ(ini.FindKey(index, "KEY1999"), 1999);
    EXPECT_EQ(ini.FindKey(1, "key1999"), -1);
    Strings keys;
    Strings values;
    EXPECT_EQ(ini.GetSectionEntries("repeated", keys, values), 0);
    ASSERT_EQ(values.size(), std::size_t{kEntries});
    EXPECT_EQ(values[7], "value 7");
    EXPECT_EQ(ini.GetEntryCount("Repeated"), kEntries);

    // One section whichever header names it: changed once, written once.
    ini.SetValue("repeated", "key7", "changed");
    EXPECT_EQ(ini.GetValue("REPEATED", "key7"), "changed");
    ini.AddSection("repeated", {"x"}, {"y"});
    EXPECT_EQ(ini.GetSectionCount(), kRepeats + 2);
    ASSERT_TRUE(ini.Save());
    std::string expected = text;
    expected.replace(expected.find("key7=value 7"), 12, "key7=changed");
    EXPECT_EQ(test::ReadFile(path), expected);
}

// A missing or empty file is one empty section, which a save leaves out.
TEST_F(IniFileTest, MissingOrEmptyFileIsOneEmptySection)
{
    for (const char* content : {"", "\r\n; only a comment\r\n"}) {
        IniFile ini;
        ini.Load(Write(content));
        EXPECT_EQ(ini.GetSectionCount(), 1);
        EXPECT_EQ(ini.GetSectionName(0), "");
        EXPECT_EQ(ini.GetEntryCount(""), 0);
    }
    const auto path = dir / "presets.ini";
    {
        IniFile missing;
        missing.Load(path);
        EXPECT_EQ(missing.GetSectionCount(), 1);
        missing.AddSection("Vantor", {"product", "version"}, {"Vantor", "1100"});
    }
    EXPECT_EQ(test::ReadFile(path), "[Vantor]\r\nproduct=Vantor\r\nversion=1100\r\n");
}

TEST_F(IniFileTest, OnlyAddSectionMarksTheFileForSaving)
{
    const auto path = Write("[Preset]\r\nproduct=Vantor\r\n");
    {
        IniFile ini;
        ini.Load(path);
        ini.SetValue("preset", "PRODUCT", "Changed");  // no save on destruction
        ini.SetValue("Preset", "missing", "x");
        EXPECT_EQ(ini.GetValue("Preset", "product"), "Changed");
        ini.AddSection("PRESET", {"product"}, {"Other"});  // exists: nothing happens
        EXPECT_EQ(ini.GetSectionCount(), 1);
    }
    EXPECT_EQ(test::ReadFile(path), "[Preset]\r\nproduct=Vantor\r\n");
    {
        IniFile ini;
        ini.Load(path);
        ini.AddSection("Mod", {"product", "version"}, {"Frontier", "1"});
    }
    EXPECT_EQ(test::ReadFile(path),
              "[Preset]\r\nproduct=Vantor\r\n\r\n[Mod]\r\nproduct=Frontier\r\nversion=1\r\n");
}

TEST_F(IniFileTest, SaveRewritesHeldSectionsAndKeepsEveryOtherLine)
{
    const auto path = Write("; presets of the wizard\n[Vantor]\nproduct=Vantor\n; keep me\n"
                            "version=1100\n\n[Other]\nx=1\n[vantor]\nsecond=copy\n");
    IniFile ini;
    ini.Load(path);
    ini.SetValue("Vantor", "version", "1200");
    ini.AddSection("New", {"a"}, {"1"});
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(test::ReadFile(path),
              "; presets of the wizard\n[Vantor]\nproduct=Vantor\nversion=1200\n; keep me\n\n"
              "[Other]\nx=1\n[vantor]\nsecond=copy\n\n[New]\na=1\n");
}

TEST_F(IniFileTest, FailedSaveLeavesTheFileAsItWas)
{
    std::filesystem::create_directory(dir / "presets.ini");
    IniFile ini;
    ini.Load(dir / "presets.ini");
    ini.AddSection("A", {"k"}, {"v"});
    EXPECT_FALSE(ini.Save());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "presets.ini"));

    IniFile gone;
    gone.Load(dir / "missing-folder" / "presets.ini");
    gone.AddSection("A", {"k"}, {"v"});
    EXPECT_FALSE(gone.Save());
}

// The bytes of `text` (ASCII and UTF-8) in UTF-16, with the byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Files with a byte-order mark, as the Windows profile functions write them
// in UTF-16 and editors in UTF-8: read as their text, and written back in
// their own encoding with only the changed lines changed. A lone surrogate,
// which Windows allows, comes back as it was.
TEST_F(IniFileTest, ReadsAndWritesBackFilesWithAByteOrderMark)
{
    const std::u16string text = u"[Engine.Engine]\r\nGameName=Caf\u00e9 \U0001F3AE\r\n"
                                u"Odd=\xD800!\r\n[URL]\r\nMap=Index.map\r\n";
    const std::u16string changed = u"[Engine.Engine]\r\nGameName=Caf\u00e9 \U0001F3AE\r\n"
                                   u"Odd=\xD800!\r\n[URL]\r\nMap=FR-Landing.map\r\n\r\n[New]\r\nk=\u00fc\r\n";
    const std::string utf8 =
        "[Engine.Engine]\r\nGameName=Caf\xC3\xA9 \xF0\x9F\x8E\xAE\r\n[URL]\r\nMap=Index.map\r\n";
    struct Case {
        const char* encoding;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"UTF-16LE", Utf16(text, false), Utf16(changed, false)},
        {"UTF-16BE", Utf16(text, true), Utf16(changed, true)},
        {"UTF-8", "\xEF\xBB\xBF" + utf8,
         "\xEF\xBB\xBF[Engine.Engine]\r\nGameName=Caf\xC3\xA9 \xF0\x9F\x8E\xAE\r\n[URL]\r\n"
         "Map=FR-Landing.map\r\n\r\n[New]\r\nk=\xC3\xBC\r\n"},
    };
    for (const Case& c : cases) {
        const auto path = Write(c.before);
        IniFile ini;
        ini.Load(path);
        ASSERT_EQ(ini.GetSectionCount(), 2) << c.encoding;
        EXPECT_EQ(ini.GetSectionName(0), "Engine.Engine") << c.encoding;
        EXPECT_EQ(ini.GetValue("Engine.Engine", "GameName"), "Caf\xC3\xA9 \xF0\x9F\x8E\xAE") << c.encoding;
        EXPECT_EQ(ini.GetValue("url", "map"), "Index.map") << c.encoding;
        ini.SetValue("URL", "Map", "FR-Landing.map");
        ini.AddSection("New", {"k"}, {"\xC3\xBC"});
        ASSERT_TRUE(ini.Save());
        EXPECT_EQ(test::ReadFile(path), c.after) << c.encoding;
    }
}

}  // namespace
}  // namespace zpak
