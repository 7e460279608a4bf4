#include "generate/package_journal.h"

#include "platform/file_operations.h"
#include "platform/process.h"
#include "platform/text_case.h"

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

bool IsNumber(std::string_view text)
{
    return !text.empty() && text.size() < 10
        && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::vector<std::string> NamesLike(const fs::path& folder, std::string_view name)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (EqualsIgnoringCase(entry, name))
            names.push_back(std::move(entry));
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
    if (toolGroup > 0)
        text += "tool\t" + std::to_string(toolGroup) + '\n';
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
        else if (fields.size() == 2 && fields[0] == "tool" && IsNumber(fields[1]))
            journal.toolGroup = std::stol(fields[1]);
        else
            return std::nullopt;
    }
    return journal;
}

bool ToolStillRunning(const PackageJournal& journal)
{
    // A tool whose run was cut off a moment ago may still be on its way out.
    for (int wait = 0; wait < 30 && ProcessGroupAlive(journal.toolGroup); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return ProcessGroupAlive(journal.toolGroup);
}

std::optional<std::string> RestoreFromJournal(const fs::path& system, const PackageJournal& journal,
                                              int& restored)
{
    const auto removeLeftovers = [&](const std::string& name) {
        for (const std::string& found : NamesLike(system, name)) {
            if (std::ranges::find(journal.keep, found) == journal.keep.end())
                DeleteFileAt(system / found);
        }
    };
    for (const std::string& name : journal.absent)
        removeLeftovers(name);
    for (const PackageJournal::Aside& file : journal.aside) {
        if (!PathExists(system / file.backup))
            continue;  // never moved, or already back
        removeLeftovers(file.name);
        if (!MoveFileNoReplace(system / file.backup, system / file.name))
            return file.name;
        ++restored;
    }
    return std::nullopt;
}

}  // namespace zpak
