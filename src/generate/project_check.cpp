#include "generate/project_check.h"

#include "generate/build_files.h"
#include "generate/field_problems.h"
#include "generate/problem_codes.h"
#include "generate/product_paths.h"
#include "generate/run_resolver.h"
#include "ini/ini_file.h"
#include "model/project_document.h"
#include "model/record_edits.h"
#include "model/record_lines.h"
#include "model/relative_path.h"
#include "platform/folder_index.h"
#include "platform/readable_file.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace zpak {

namespace {

namespace fs = std::filesystem;

int LineOf(const ProjectDocument& doc, const RecordLines& lines, const RecordRef& record)
{
    switch (record.kind) {
    case RecordRef::Kind::Project:
        return 0;
    case RecordRef::Kind::GameFolder:
        return 1;
    case RecordRef::Kind::Product:
        return doc.product ? lines.LineOf(doc.product.get(), record.field) : 0;
    default:
        const ProjectNode* node = RecordAt(doc, record);
        return node ? lines.LineOf(node) : 0;
    }
}

// The folder part of a destination as the project writes it ("Maps\Sub" of
// "Maps\Sub\x.map"), empty for a file of the game folder itself.
std::string_view FolderPart(std::string_view destination)
{
    const std::size_t slash = destination.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string_view() : destination.substr(0, slash);
}

// Folders as a tree: each is known by its parent and its own name, so that a
// deep path costs no more than its length. Folder 0 is the game folder.
class FolderTree {
public:
    // The folder `name` in `parent`; true when it is new.
    std::pair<std::size_t, bool> Child(std::size_t parent, std::string_view name)
    {
        const auto found = children_.find(Key{parent, name});
        if (found != children_.end())
            return {found->second, false};
        parents_.push_back(parent);
        names_.emplace_back(name);
        children_.emplace(Key{parent, names_.back()}, parents_.size() - 1);
        return {parents_.size() - 1, true};
    }

    std::string_view Name(std::size_t folder) const { return names_[folder]; }

    // The folder's path below the game folder, its names joined with "\".
    std::string Text(std::size_t folder) const
    {
        std::vector<std::string_view> path;
        for (; folder != 0; folder = parents_[folder])
            path.push_back(names_[folder]);
        std::string text;
        for (auto name = path.rbegin(); name != path.rend(); ++name) {
            if (name != path.rbegin())
                text += '\\';
            text += *name;
        }
        return text;
    }

private:
    struct Key {
        std::size_t parent;
        std::string_view name;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const
        {
            return std::hash<std::string_view>()(key.name) * 31 + key.parent;
        }
    };

    std::vector<std::size_t> parents_{0};
    std::deque<std::string> names_{std::string()};  // keep their place: the keys view them
    std::unordered_map<Key, std::size_t, KeyHash> children_;
};

// The folders that entries name, as written and ignoring case. A folder is
// told once, where its own name is spelled otherwise than the first time;
// an entry once, at its first such folder, with the number of deeper ones.
class FolderSpellings {
public:
    struct Clash {
        std::string folder;  // as this entry writes it
        std::string first;   // as it was written first
        std::size_t more = 0;
    };

    // Adds the folders of a path (with "\\" or "/" between them).
    std::optional<Clash> Add(std::string_view path)
    {
        std::size_t exact = 0;
        std::size_t blind = 0;
        std::optional<Clash> clash;
        for (std::size_t start = 0; start <= path.size() && !path.empty();) {
            std::size_t end = path.find_first_of("\\/", start + (start == 0 ? 1 : 0));
            if (end == std::string_view::npos)
                end = path.size();
            const std::string_view name = path.substr(start, end - start);
            start = end + 1;
            exact = spelled_.Child(exact, name).first;
            const auto [node, fresh] = folded_.Child(blind, FoldedText(name));
            blind = node;
            if (fresh)
                firstSpelling_.push_back(exact);
            else if (spelled_.Name(firstSpelling_[blind]) != name && told_.insert(exact).second)
                Tell(clash, exact, firstSpelling_[blind]);
        }
        return clash;
    }

private:
    void Tell(std::optional<Clash>& clash, std::size_t folder, std::size_t first) const
    {
        if (clash)
            ++clash->more;
        else
            clash = Clash{spelled_.Text(folder), spelled_.Text(first), 0};
    }

    FolderTree spelled_;                         // folders as written
    FolderTree folded_;                          // folders ignoring case
    std::vector<std::size_t> firstSpelling_{0};  // of each folded folder, as written first
    std::unordered_set<std::size_t> told_;
};

// The checks that generation does not make; each adds warnings.
class Advisor {
public:
    Advisor(const ProjectDocument& document, const ResolvedRun& run, const fs::path& winePrefix,
            std::vector<Problem>& problems)
        : doc_(document), run_(run), index_(winePrefix), problems_(problems)
    {
    }

    void CheckGroups()
    {
        for (std::size_t g = 0; g < doc_.groups.size(); ++g) {
            const GroupInfo& group = *doc_.groups[g];
            if (group.files.empty())
                Warn(codes::kEmptyGroup, RecordRef::Group(g),
                     FormatText("The group [%s] has no files; it installs nothing.", {group.NameText()}));
            Add(GroupCaptionProblem(group.NameText(), group.Visible != 0, group.GetCaption()),
                RecordRef::Group(g));
        }
    }

    void CheckRequirements()
    {
        for (std::size_t r = 0; r < doc_.requirements.size(); ++r) {
            const RequirementInfo& requirement = *doc_.requirements[r];
            Add(RequirementVersionProblem(TextOf(requirement.product), TextOf(requirement.version)),
                RecordRef::Requirement(r));
        }
    }

    // Two entries that put files at one place: the same file twice, or two
    // files of which the installer keeps one. Told once for each entry and
    // kind, with the first such file (a wildcard may clash on many).
    void CheckDestinations()
    {
        std::unordered_map<std::string, const ResolvedInput*> byDestination;
        byDestination.reserve(run_.inputs.size());
        Clashes twice{codes::kListedTwice};
        Clashes shared{codes::kSameDestination};
        for (const ResolvedInput& input : run_.inputs) {
            if (input.kind != ResolvedInput::Kind::Entry)
                continue;
            const auto [found, fresh] = byDestination.try_emplace(FoldedText(input.destination), &input);
            if (!fresh)
                Tell(found->second->source == input.source ? twice : shared, *found->second, input);
        }
        Flush(twice);
        Flush(shared);
    }

    // Folders named with two letter cases: the installer makes two folders on
    // a system that tells letter case apart.
    void CheckFolderCase()
    {
        FolderSpellings spellings;
        std::string_view previous;  // entries of one folder most often follow each other
        for (std::size_t g = 0; g < doc_.groups.size(); ++g) {
            const auto& files = doc_.groups[g]->files;
            for (std::size_t e = 0; e < files.size(); ++e) {
                const FileInfo& file = *files[e];
                const std::string_view folder =
                    FolderPart(file.GetSrc().empty() ? file.NameText() : file.GetSrc());
                if (folder == previous || folder.size() > kLongestPath)  // the latter refused already
                    continue;
                previous = folder;
                const auto clash = spellings.Add(folder);
                if (!clash)
                    continue;
                std::string text =
                    FormatText("The folder [%s] of [%s] differs only in letter case from [%s]; on "
                               "Linux the installer makes two folders.",
                               {clash->folder, file.NameText(), clash->first});
                if (clash->more > 0)
                    text += FormatText(" So do %d folders below it.", {std::to_string(clash->more)});
                Warn(codes::kFolderCase, RecordRef::Entry(g, e), std::move(text));
            }
        }
    }

    void CheckIniChanges()
    {
        if (run_.systemFolder.empty())
            return;  // no game folder, which is told already
        // Many records may change one file: each is read once.
        std::unordered_map<fs::path::string_type, std::unique_ptr<IniFile>> loaded;
        for (std::size_t f = 0; f < doc_.iniFiles.size(); ++f) {
            const INIGroup& file = *doc_.iniFiles[f];
            if (!std::any_of(file.entries.begin(), file.entries.end(),
                             [](const auto& change) { return change->addNewLine == 0; }))
                continue;
            fs::path path;
            if (auto problem = IniFileProblem(file.NameText(), run_.systemFolder, index_, &path)) {
                problem->record = RecordRef::IniFile(f);
                problems_.push_back(std::move(*problem));
                continue;
            }
            auto& ini = loaded[path.native()];
            if (!ini) {
                ini = std::make_unique<IniFile>();
                if (!ini->Load(path)) {
                    Fail(codes::kUnreadableFile, RecordRef::IniFile(f),
                         FormatText("The file [%s] cannot be read: %s.",
                                    {TextFromPath(path), std::strerror(errno)}));
                    ini.reset();
                    loaded.erase(path.native());
                    continue;
                }
            }
            for (std::size_t c = 0; c < file.entries.size(); ++c)
                CheckChange(*ini, file, f, c);
        }
    }

    void CheckZipSize()
    {
        if (run_.choice == GenerationChoice::Zip)
            return;
        const std::size_t files = PackEntries(run_.inputs).size();
        if (files > kMostZipEntries)
            Warn(codes::kZipWouldOverflow, RecordRef(),
                 FormatText("The product has %d files; a zip file of it cannot be made, as a zip "
                            "file holds at most 65535.",
                            {std::to_string(files)}));
    }

    void CheckLogo()
    {
        for (const ResolvedInput& input : run_.inputs) {
            if (input.kind != ResolvedInput::Kind::Logo)
                continue;
            ReadableFile file(input.source);
            char magic[2] = {};
            if (!file.IsOpen() || file.ReadFull(magic, 2) != 2 || magic[0] != 'B' || magic[1] != 'M')
                Warn(codes::kLogoNotBitmap, RecordRef::Product("logo"),
                     FormatText("The logo %s is not a readable bitmap (.bmp); the installer shows no logo.",
                                {TextFromPath(input.source)}));
        }
    }

    void CheckPackagingTool()
    {
        if (run_.gameFolder.empty())
            return;
        bool found = false;
        index_.Resolve(run_.gameFolder, {"System", std::string(kPackagingTool)}, &found);
        if (found)
            return;
        const std::string text = FormatText("the packaging tool System\\%s is not in the game folder %s",
                                            {std::string(kPackagingTool), TextFromPath(run_.gameFolder)});
        if (run_.choice == GenerationChoice::Package)
            problems_.push_back({Severity::Error, "Could not start MKR: " + text + ".",
                                 codes::kMissingPackagingTool, RecordRef::GameFolder()});
        else
            Warn(codes::kNoPackagingTool, RecordRef::GameFolder(),
                 "The game folder has no packaging tool: " + text + "; the game's package cannot be built.");
    }

private:
    // The clashes of one entry with files of earlier entries, told as one warning.
    struct Clashes {
        const char* code;
        const ResolvedInput* later = nullptr;  // the first clashing file of the entry
        const ResolvedInput* earlier = nullptr;
        std::size_t count = 0;
    };

    void Tell(Clashes& clashes, const ResolvedInput& earlier, const ResolvedInput& later)
    {
        if (clashes.later && (clashes.later->group != later.group || clashes.later->entry != later.entry))
            Flush(clashes);
        if (!clashes.later) {
            clashes.later = &later;
            clashes.earlier = &earlier;
        }
        ++clashes.count;
    }

    void Flush(Clashes& clashes)
    {
        if (!clashes.later)
            return;
        const ResolvedInput& later = *clashes.later;
        const ResolvedInput& earlier = *clashes.earlier;
        const std::string where =
            FormatText("[%s] of the group [%s]", {EntryName(earlier), GroupName(earlier)});
        std::string text = clashes.code == codes::kListedTwice
            ? FormatText("The file %s is listed twice: the entry %s lists it already.",
                         {TextFromPath(later.source), where})
            : FormatText("The file %s installs to %s, as a file of the entry %s does; the player gets only "
                         "one of the two.",
                         {TextFromPath(later.source), later.destination, where});
        if (clashes.count > 1)
            text += FormatText(" The entry [%s] has %d more such files.",
                               {EntryName(later), std::to_string(clashes.count - 1)});
        Warn(clashes.code, RecordRef::Entry(later.group, later.entry), std::move(text));
        clashes = Clashes{clashes.code};
    }

    void Add(std::optional<Problem> problem, RecordRef record)
    {
        if (!problem)
            return;
        problem->record = std::move(record);
        problems_.push_back(std::move(*problem));
    }

    void Fail(const char* code, RecordRef record, std::string text)
    {
        problems_.push_back({Severity::Error, std::move(text), code, std::move(record)});
    }

    void Warn(const char* code, RecordRef record, std::string text)
    {
        problems_.push_back({Severity::Warning, std::move(text), code, std::move(record)});
    }

    std::string EntryName(const ResolvedInput& input) const
    {
        return doc_.groups[input.group]->files[input.entry]->NameText();
    }

    std::string GroupName(const ResolvedInput& input) const { return doc_.groups[input.group]->NameText(); }

    void CheckChange(const IniFile& ini, const INIGroup& file, std::size_t f, std::size_t c)
    {
        const INIDefinition& change = *file.entries[c];
        if (change.addNewLine != 0 || !change.section || !change.key)
            return;
        const int section = ini.FindSection(*change.section);
        if (section < 0)
            Warn(codes::kMissingIniSection, RecordRef::IniChange(f, c),
                 FormatText("The section [%s] is not in the game's %s; the change of %s modifies nothing.",
                            {*change.section, file.NameText(), *change.key}));
        else if (ini.FindKey(section, *change.key) < 0)
            Warn(codes::kMissingIniKey, RecordRef::IniChange(f, c),
                 FormatText("The key %s is not in the section [%s] of the game's %s; the change modifies "
                            "nothing.",
                            {*change.key, *change.section, file.NameText()}));
    }

    const ProjectDocument& doc_;
    const ResolvedRun& run_;
    FolderIndex index_;
    std::vector<Problem>& problems_;
};

// Where a record comes in the project: pages in order, then the records of
// a page in order.
bool ComesBefore(const Diagnostic& a, const Diagnostic& b)
{
    if (a.line != b.line && a.line != 0 && b.line != 0)
        return a.line < b.line;
    if ((a.line == 0) != (b.line == 0))
        return a.line != 0;
    if (a.page != b.page)
        return a.page < b.page;
    if (a.record.index != b.record.index)
        return a.record.index < b.record.index;
    return a.record.child < b.record.child;
}

}  // namespace

std::vector<Diagnostic> DiagnoseRun(const ProjectDocument& document, const ResolvedRun& run,
                                    const fs::path& winePrefix, const RecordLines* lines)
{
    std::vector<Problem> problems = run.problems;
    Advisor advisor(document, run, winePrefix, problems);
    advisor.CheckPackagingTool();
    advisor.CheckGroups();
    advisor.CheckRequirements();
    advisor.CheckDestinations();
    advisor.CheckFolderCase();
    advisor.CheckIniChanges();
    advisor.CheckZipSize();
    advisor.CheckLogo();

    return ToDiagnostics(document, std::move(problems), lines);
}

std::vector<Diagnostic> ToDiagnostics(const ProjectDocument& document, std::vector<Problem> problems,
                                      const RecordLines* lines)
{
    std::vector<Diagnostic> diagnostics;
    diagnostics.reserve(problems.size());
    for (Problem& problem : problems) {
        const int line = lines ? LineOf(document, *lines, problem.record) : 0;
        const ProjectPage page = PageOf(problem.record);
        diagnostics.push_back({problem.severity,
                               std::move(problem.code),
                               line,
                               page,
                               std::move(problem.record),
                               std::move(problem.text),
                               {}});
    }
    std::stable_sort(diagnostics.begin(), diagnostics.end(), ComesBefore);
    return diagnostics;
}

std::vector<Diagnostic> CheckProject(const ProjectDocument& document, GenerationChoice choice,
                                     const fs::path& winePrefix, const RecordLines* lines)
{
    const ResolvedRun run = ResolveGeneration(document, choice, winePrefix);
    return DiagnoseRun(document, run, winePrefix, lines);
}

bool HasError(const std::vector<Diagnostic>& diagnostics)
{
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Error; });
}

}  // namespace zpak
