#include "generate/package_journal.h"

#include "platform/file_operations.h"
#include "platform/folder_index.h"
#include "platform/process.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <chrono>
#include <sstream>
#include <thread>

namespace zpak {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeader = "zpak build journal 1";

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

std::vector<std::string> NamesLike(const fs::path& folder, std::string_view name)
{
    std::vector<std::string> names;
    const auto listing = FolderListing::Read(folder);
    for (FolderEntry& entry : listing->entries) {
        if (EqualsIgnoringCase(entry.name, name))
            names.push_back(std::move(entry.name));
    }
    return names;
}

}  // namespace

std::string PackageJournal::Serialize() const
{
    std::string text(kHeader);
    text += '\n';
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
    return text;
}

std::optional<PackageJournal> PackageJournal::Parse(std::string_view text)
{
    std::istringstream in{std::string(text)};
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return std::nullopt;
    PackageJournal journal;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string field; std::getline(row, field, '\t');)
            fields.push_back(field);
        if (!std::ranges::all_of(fields, IsPlainName))
            return std::nullopt;
        if (fields.size() == 3 && fields[0] == "aside")
            journal.aside.push_back({fields[1], fields[2]});
        else if (fields.size() == 2 && fields[0] == "absent")
            journal.absent.push_back(fields[1]);
        else if (fields.size() == 2 && fields[0] == "keep")
            journal.keep.push_back(fields[1]);
        else if (fields.size() >= 2 && fields.size() <= 3 && fields[0] == "tool" && IsNumber(fields[1], 9)
                 && (fields.size() == 2 || IsNumber(fields[2], 19)))
            journal.tool = {std::stol(fields[1]), fields.size() == 3 ? std::stoull(fields[2]) : 0};
        else
            return std::nullopt;
    }
    return journal;
}

bool ToolStillRunning(const PackageJournal& journal)
{
    // A tool whose run was cut off a moment ago may still be on its way out.
    for (int wait = 0; wait < 30 && ProcessStillRuns(journal.tool); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return ProcessStillRuns(journal.tool);
}

std::optional<std::string> RestoreFromJournal(const fs::path& system, const PackageJournal& journal,
                                              int& restored)
{
    const auto removeLeftovers = [&](const std::string& name) {
        for (const std::string& found : NamesLike(system, name)) {
            if (std::ranges::find(journal.keep, found) == journal.keep.end())
                DeleteFileAt(system / PathFromText(found));
        }
    };
    for (const std::string& name : journal.absent)
        removeLeftovers(name);
    for (const PackageJournal::Aside& file : journal.aside) {
        if (!PathExists(system / PathFromText(file.backup)))
            continue;  // never moved, or already back
        removeLeftovers(file.name);
        if (!MoveFileNoReplace(system / PathFromText(file.backup), system / PathFromText(file.name)))
            return file.name;
        ++restored;
    }
    return std::nullopt;
}

}  // namespace zpak
