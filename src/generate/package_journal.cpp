#include "generate/package_journal.h"

#include "generate/build_files.h"
#include "platform/file_operations.h"
#include "platform/folder_index.h"
#include "platform/process.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace zpak {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFirstHeader = "zpak build journal 1";
constexpr std::string_view kHeader = "zpak build journal 2";
constexpr std::string_view kCheck = "check\t";

// Names are plain file names: no separators, no line breaks, no tabs.
bool IsPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".."
        && name.find_first_of("/\\\t\r\n") == std::string_view::npos;
}

bool IsNumber(std::string_view text, std::size_t maxDigits)
{
    return !text.empty() && text.size() <= maxDigits
        && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string Checksum(std::string_view text)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    while (!text.empty()) {
        const auto piece = static_cast<uInt>(std::min<std::size_t>(text.size(), 1U << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(text.data()), piece);
        text.remove_prefix(piece);
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lx", crc & 0xffffffffUL);
    return hex;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t cut = text.find(separator);
        parts.push_back(text.substr(0, cut));
        if (cut == std::string_view::npos)
            return parts;
        text.remove_prefix(cut + 1);
    }
}

bool IsManifestName(std::string_view name, bool exact)
{
    return std::ranges::any_of(kSetAsideNames, [&](const SetAsideName& file) {
        return exact ? name == file.name : EqualsIgnoringCase(name, file.name);
    });
}

bool IsSetAside(const PackageJournal::Aside& file)
{
    return std::ranges::any_of(kSetAsideNames, [&](const SetAsideName& known) {
        return EqualsIgnoringCase(file.name, known.name) && file.backup == known.backup;
    });
}

// Takes a line of what was set aside, or of the tool, into the journal;
// false when it is no such line (or a second line of the tool).
bool TakeLine(PackageJournal& journal, const std::vector<std::string_view>& fields)
{
    const std::string_view kind = fields[0];
    if (fields.size() == 3 && kind == "aside")
        journal.aside.push_back({std::string(fields[1]), std::string(fields[2])});
    else if (fields.size() == 2 && kind == "absent")
        journal.absent.emplace_back(fields[1]);
    else if (fields.size() == 2 && kind == "keep")
        journal.keep.emplace_back(fields[1]);
    else if (fields.size() >= 2 && fields.size() <= 3 && kind == "tool" && journal.tool.id == 0
             && IsNumber(fields[1], 9) && (fields.size() == 2 || IsNumber(fields[2], 19)))
        journal.tool = {std::stol(std::string(fields[1])),
                        fields.size() == 3 ? std::stoull(std::string(fields[2])) : 0};
    else
        return false;
    return true;
}

}  // namespace

std::string PackageJournal::Serialize() const
{
    std::string text(kHeader);
    text += '\n';
    text += "folder\t" + folder + '\n';
    text += "run\t" + run + '\n';
    for (const Aside& file : aside)
        text += "aside\t" + file.name + '\t' + file.backup + '\n';
    for (const std::string& name : absent)
        text += "absent\t" + name + '\n';
    for (const std::string& name : keep)
        text += "keep\t" + name + '\n';
    if (tool.id > 0) {
        text += "tool\t" + std::to_string(tool.id);
        if (tool.created != 0)
            text += '\t' + std::to_string(tool.created);
        text += '\n';
    }
    text += std::string(kCheck) + Checksum(text) + '\n';
    return text;
}

std::optional<PackageJournal> PackageJournal::Parse(std::string_view text)
{
    if (!text.ends_with('\n'))
        return std::nullopt;
    std::vector<std::string_view> lines = Split(text.substr(0, text.size() - 1), '\n');
    const bool first = lines.front() == kFirstHeader;
    if (!first) {
        // The last line is the checksum of everything before it.
        const std::size_t body = text.rfind('\n', text.size() - 2) + 1;
        if (lines.front() != kHeader || lines.size() < 4
            || lines.back() != std::string(kCheck) + Checksum(text.substr(0, body)))
            return std::nullopt;
        lines.pop_back();
    }
    PackageJournal journal;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Split(lines[i], '\t');
        if (!std::ranges::all_of(fields, IsPlainName))
            return std::nullopt;
        // The current format opens with the folder and the run, in that order.
        if (!first && i <= 2) {
            if (fields.size() != 2 || fields[0] != (i == 1 ? "folder" : "run"))
                return std::nullopt;
            (i == 1 ? journal.folder : journal.run) = fields[1];
        } else if (!TakeLine(journal, fields)) {
            return std::nullopt;
        }
    }
    return journal;
}

std::optional<std::string> UntrustedJournal(const PackageJournal& journal, const fs::path& system)
{
    if (!journal.OfFirstFormat() && journal.folder != FolderIdentity(system))
        return "it was written for another game folder";
    const bool names = std::ranges::all_of(journal.aside, IsSetAside)
        && std::ranges::all_of(journal.absent,
                               [](const std::string& name) { return IsManifestName(name, true); })
        && std::ranges::all_of(journal.keep,
                               [](const std::string& name) { return IsManifestName(name, false); });
    if (!names)
        return "it names files that a package build never sets aside";
    return std::nullopt;
}

bool ToolStillRunning(const PackageJournal& journal)
{
    // A tool whose run was cut off a moment ago may still be on its way out.
    for (int wait = 0; wait < 30 && ProcessStillRuns(journal.tool); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return ProcessStillRuns(journal.tool);
}

std::optional<RestoreFailure> RestoreFromJournal(const fs::path& system, const PackageJournal& journal,
                                                 int& restored)
{
    // Every file of System named like `name` that is not the game's: what the tool left.
    const auto removeLeftovers = [&](const std::string& name) -> std::optional<RestoreFailure> {
        const auto listing = FolderListing::Read(system);
        if (listing->error != 0)
            return RestoreFailure{name, true};
        for (const FolderEntry& found : listing->entries) {
            if (EqualsIgnoringCase(found.name, name)
                && std::ranges::find(journal.keep, found.name) == journal.keep.end()
                && !DeleteFileAt(system / PathFromText(found.name)))
                return RestoreFailure{found.name, true};
        }
        return std::nullopt;
    };
    for (const std::string& name : journal.absent) {
        if (auto failure = removeLeftovers(name))
            return failure;
    }
    for (const PackageJournal::Aside& file : journal.aside) {
        const fs::path backup = system / PathFromText(file.backup);
        const PathState state = StateOfPath(backup);
        if (state == PathState::Absent) {
            // Never moved, or already back: the game's file is in its place.
            if (StateOfPath(system / PathFromText(file.name)) != PathState::Present)
                return RestoreFailure{file.name, false};
            continue;
        }
        if (state == PathState::Unknown)
            return RestoreFailure{file.name, false};
        if (auto failure = removeLeftovers(file.name))
            return failure;
        if (!MoveFileNoReplace(backup, system / PathFromText(file.name)))
            return RestoreFailure{file.name, false};
        ++restored;
    }
    return std::nullopt;
}

}  // namespace zpak
