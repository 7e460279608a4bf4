// Feeds arbitrary bytes to the journal reader, and acts on what it accepts in
// a scratch System folder. The reader may not crash; a journal reads back as
// written; and whatever a journal says, putting the game's files back touches
// no file but the game's manifest pair, their backups and what the packaging
// tool left under their names.
#include "generate/package_journal.h"
#include "platform/file_operations.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <unistd.h>
#include <zlib.h>

namespace {

namespace fs = std::filesystem;

// Files of the game that no journal may touch, and what they hold.
constexpr std::string_view kBystanders[] = {"Frontier.u", "Vantor.ini", "zpak_manifest_backup.txt"};

void Write(const fs::path& file, std::string_view text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const fs::path& Scratch()
{
    static const fs::path folder = [] {
        fs::path made = fs::temp_directory_path() / ("package_journal_fuzz." + std::to_string(::getpid()));
        fs::create_directories(made / "System");
        // Removed when the fuzzer ends: made before the handler is
        // registered, the copy is destroyed after it ran.
        static const std::string kept = made.string();
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(kept, ignored);
        });
        return made;
    }();
    return folder;
}

// A System folder after a run that was cut off while the tool ran.
fs::path FreshSystem()
{
    const fs::path system = Scratch() / "System";
    for (const auto& entry : fs::directory_iterator(system))
        fs::remove_all(entry.path());
    for (std::string_view name : kBystanders)
        Write(system / name, name);
    Write(system / "zpak_manifest_backup.ini", "game manifest");
    Write(system / "manifest.INI", "tool's own");
    Write(system / "MANIFEST.INT", "tool's own");
    fs::create_symlink(Scratch() / "outside", system / "zpak_manifest_backup.int");
    return system;
}

// The text with its last line replaced by the checksum the current format
// wants, so that mutations of the lines before it get past the reader's
// first test.
std::string WithChecksum(std::string_view text)
{
    std::string body(text);
    if (const std::size_t cut = body.rfind("\ncheck\t"); cut != std::string::npos)
        body.resize(cut + 1);
    if (!body.ends_with('\n'))
        body += '\n';
    char check[16];
    std::snprintf(check, sizeof check, "%08lx",
                  crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))
                      & 0xffffffffUL);
    return body + "check\t" + check + "\n";
}

void Check(std::string_view text)
{
    const auto journal = zpak::PackageJournal::Parse(text);
    if (!journal)
        return;
    if (!journal->OfFirstFormat()) {
        const auto again = zpak::PackageJournal::Parse(journal->Serialize());
        if (!again || again->Serialize() != journal->Serialize())
            __builtin_trap();
    }
    const fs::path system = FreshSystem();
    zpak::PackageJournal acted = *journal;
    if (!acted.OfFirstFormat())
        acted.folder = zpak::FolderIdentity(system);  // as if written for this folder
    acted.tool = {};
    if (zpak::UntrustedJournal(acted, system))
        return;
    int restored = 0;
    zpak::RestoreFromJournal(system, acted, restored);
    for (std::string_view name : kBystanders) {
        if (Read(system / name) != name)
            __builtin_trap();
    }
    if (fs::exists(system / "Manifest.ini") && fs::is_symlink(system / "Manifest.ini"))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(text);
    Check(WithChecksum(text));
    return 0;
}
