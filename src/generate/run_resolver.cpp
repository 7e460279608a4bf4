#include "generate/run_resolver.h"

#include "generate/build_files.h"
#include "generate/field_problems.h"
#include "generate/launch_scripts.h"
#include "generate/manifest_writer.h"
#include "generate/problem_codes.h"
#include "generate/product_paths.h"
#include "generate/zip_packer.h"
#include "model/project_document.h"
#include "model/relative_path.h"
#include "platform/file_search.h"
#include "platform/folder_index.h"
#include "platform/readable_file.h"
#include "platform/sha256.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"
#include "platform/wine_prefix.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace zpak {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCannotContinue = " Cannot continue generating the product.";

std::string JoinComponents(const std::vector<std::string>& components, char separator)
{
    std::string text;
    for (const std::string& component : components) {
        if (!text.empty())
            text += separator;
        text += component;
    }
    return text;
}

// The components of `native` below `base`, which it starts with.
std::vector<std::string> ComponentsBelow(const fs::path& base, const fs::path& native)
{
    std::vector<std::string> components;
    auto it = native.begin();
    for (auto b = base.begin(); b != base.end() && it != native.end(); ++b, ++it) {}
    for (; it != native.end(); ++it) {
        if (!it->empty())
            components.push_back(TextFromPath(*it));
    }
    return components;
}

// ".<name>.tmp-<digits>": the temporary file of a file being replaced.
bool IsTempFileName(std::string_view name)
{
    const std::size_t marker = name.rfind(".tmp-");
    if (!name.starts_with('.') || marker == std::string_view::npos || marker + 5 == name.size())
        return false;
    return name.find_first_not_of("0123456789", marker + 5) == std::string_view::npos;
}

// Works out a run; every check adds to one list of problems.
class Resolver {
public:
    Resolver(const ProjectDocument& document, GenerationChoice choice, const fs::path& winePrefix,
             fs::path archive = {})
        : doc_(document), index_(winePrefix), archive_(std::move(archive))
    {
        run_.choice = choice;
        zip_ = choice == GenerationChoice::Zip;
    }

    ResolvedRun Take() { return std::move(run_); }

    bool CheckProduct()
    {
        if (auto problem = ProductNameProblem(doc_))
            return Error(codes::kProductName, RecordRef::Product("product"), *problem);
        run_.baseName = ManifestBaseName(doc_);
        return true;
    }

    bool ResolveGameFolder()
    {
        const std::string& text = doc_.GameFolderText();
        if (text.empty())
            return Error(codes::kNoGameFolder, RecordRef::GameFolder(),
                         "The project names no game folder. Choose the game folder on the first "
                         "page of the wizard."
                             + std::string(kCannotContinue));
        if (text.size() > kLongestPath)
            return Error(codes::kPathTooLong, RecordRef::GameFolder(),
                         FormatText("The game folder [%s] is %d characters long, longer than any folder can "
                                    "be.%s",
                                    {ShortenedText(text), std::to_string(text.size()), kCannotContinue}));
        if (HasControlCharacter(text))
            return Error(codes::kControlCharacter, RecordRef::GameFolder(),
                         FormatText("The game folder [%s] holds a control character.%s",
                                    {ShowControlCharacters(text), kCannotContinue}));
        fs::path folder = index_.ToNative(text);
        std::error_code ec;
        if (folder.is_relative())
            folder = fs::absolute(folder, ec);
        // One trailing separator of the folder as typed is not a component.
        while (folder.has_relative_path() && !folder.has_filename())
            folder = folder.parent_path();
        // Said once, in place of every file of the project being missing.
        if (!fs::is_directory(folder, ec))
            return Error(codes::kMissingGameFolder, RecordRef::GameFolder(),
                         FormatText(fs::exists(folder, ec) ? "The game folder %s is not a folder.%s"
                                                           : "The game folder %s does not exist.%s",
                                    {TextFromPath(folder), kCannotContinue}));
        run_.gameFolder = folder;
        run_.systemFolder = Child(folder, "System");
        if (zip_) {
            std::error_code absoluteError;
            run_.pack.archive =
                archive_.empty() ? Child(folder, ArchiveFileName()) : fs::absolute(archive_, absoluteError);
        }
        return true;
    }

    // The file check: every entry and the logo, in the order of the project.
    void CheckInputs()
    {
        for (std::size_t g = 0; g < doc_.groups.size(); ++g) {
            group_ = g;
            const auto& files = doc_.groups[g]->files;
            for (entry_ = 0; entry_ < files.size(); ++entry_)
                CheckEntry(*files[entry_]);
        }
        const ProductData* product = doc_.product.get();
        if (product && product->logo) {
            if (auto problem = LogoProblem(*product->logo, run_.gameFolder, index_))
                Add(std::move(*problem), RecordRef::Product("logo"));
            else if (const auto logo = ComponentsInsideFolder(*product->logo))
                AddInput(ResolvedInput::Kind::Logo, At(*logo), *logo);
        }
    }

    // The readme and the licence: named by the manifest, packed into the zip.
    void CheckPlacedFiles()
    {
        if (!doc_.product)
            return;
        const ProductData& product = *doc_.product;
        // The licence is named relative to System; it may not start elsewhere.
        if (product.license && !product.license->empty()) {
            const std::string& license = *product.license;
            if (license.front() == '\\' || license.front() == '/'
                || (license.size() > 1 && license[1] == ':'))
                Error(codes::kOutsideGameFolder, RecordRef::Product("license"),
                      FormatText("The licence file [%s] lies outside the game folder %s.%s",
                                 {*product.license, TextFromPath(run_.gameFolder), kCannotContinue}));
            else if (const auto licence =
                         Inside("System\\" + license, "The licence file", RecordRef::Product("license")))
                AddInputIfReadable(ResolvedInput::Kind::Licence, *licence);
        }
        if (!product.readme)
            return;
        const auto readme = Inside(*product.readme, "The readme file", RecordRef::Product("readme"));
        if (!readme)
            return;
        // The file check does not look at the readme; the zip cannot do without it.
        if (!AddInputIfReadable(ResolvedInput::Kind::Readme, *readme) && zip_)
            Error(codes::kMissingReadme, RecordRef::Product("readme"),
                  "Could not open an input file for reading.");
    }

    void PlanOutputs()
    {
        const ProductData& product = *doc_.product;
        if (!zip_) {
            const ManifestTexts manifest = BuildManifest(doc_);
            AddText(TextOutput::Kind::Manifest, ManifestFileName(doc_), manifest.ini);
            AddText(TextOutput::Kind::Manifest, LocalizedManifestFileName(doc_), manifest.localized);
            run_.tool = Child(run_.systemFolder, std::string(kPackagingTool));
            run_.packageName = product.GetArchiveName();
            CheckPackageName();
        }
        std::vector<fs::path> scripts;
        if (product.shortcut) {
            if (product.linux)
                scripts.push_back(AddScript(LinuxScript(doc_)));
            if (product.mac)
                scripts.push_back(AddScript(MacScript(doc_)));
        }
        if (zip_)
            PlanArchive();
        PlanCleanup(scripts);
        PlanSweep();
    }

private:
    // A problem of a single value; an error stops the run.
    void Add(Problem problem, RecordRef record)
    {
        if (problem.severity == Severity::Error)
            problem.text += kCannotContinue;
        problem.record = std::move(record);
        run_.problems.push_back(std::move(problem));
    }

    bool Error(const char* code, RecordRef record, std::string text)
    {
        run_.problems.push_back({Severity::Error, std::move(text), code, std::move(record)});
        return false;
    }

    void Warning(const char* code, RecordRef record, std::string text)
    {
        run_.problems.push_back({Severity::Warning, std::move(text), code, std::move(record)});
    }

    std::string ArchiveFileName() const
    {
        std::string name = run_.baseName;
        for (char& c : name) {
            if (c == ' ')
                c = '_';
        }
        return name + ".zip";
    }

    // The entry of `folder` named `name` ignoring case, or `name` as it stands.
    fs::path Child(const fs::path& folder, const std::string& name)
    {
        return folder / PathFromText(index_.Locate(folder, name).value_or(name));
    }

    fs::path At(const std::vector<std::string>& components)
    {
        return index_.Resolve(run_.gameFolder, components);
    }

    // The components of a path of the project that must stay inside the game
    // folder; nothing (after an error naming it) when it leaves it.
    std::optional<std::vector<std::string>> Inside(const std::string& text, const char* what,
                                                   const RecordRef& where)
    {
        if (auto problem = PathInsideProblem(text, what, TextFromPath(run_.gameFolder))) {
            Add(std::move(*problem), where);
            return std::nullopt;
        }
        return ComponentsInsideFolder(text);
    }

    RecordRef CurrentEntry() const { return RecordRef::Entry(group_, entry_); }

    void CheckEntry(const FileInfo& file)
    {
        const std::string& name = file.NameText();
        const auto source = Inside(name, "The file", CurrentEntry());
        const bool wildcard = name.find('*') != std::string::npos;
        std::optional<std::vector<std::string>> destination;
        if (!file.GetSrc().empty()) {
            destination = Destination(file);
            if (!destination)
                return;
        }
        if (!source)
            return;
        // A destination ending in a separator names the folder a single file goes to.
        if (destination && !wildcard && EndsWithSeparator(file.GetSrc()) && !source->empty())
            destination->push_back(source->back());
        if (wildcard)
            CheckWildcard(*source, destination);
        else
            CheckFile(*source, destination);
    }

    static bool EndsWithSeparator(std::string_view text)
    {
        return text.ends_with('\\') || text.ends_with('/');
    }

    // The components of an entry's destination: a file name for a single
    // file, a folder for a wildcard or when it ends in a separator. One that
    // names the game folder itself ("." or "Maps\..") names no file.
    std::optional<std::vector<std::string>> Destination(const FileInfo& file)
    {
        const std::string& text = file.GetSrc();
        if (auto problem = DestinationProblem(file.NameText(), text, TextFromPath(run_.gameFolder))) {
            const bool stops = problem->severity == Severity::Error;
            Add(std::move(*problem), CurrentEntry());
            if (stops)
                return std::nullopt;
        }
        return ComponentsInsideFolder(text);
    }

    void CheckFile(const std::vector<std::string>& source,
                   const std::optional<std::vector<std::string>>& destination)
    {
        const FolderIndex::Found found = index_.Find(run_.gameFolder, source);
        const fs::path& path = found.path;
        int error = 0;
        const auto kind = found.entry
            ? FolderIndex::Examine(*found.folder, *found.entry, error)
            : (IsReadableFile(path) ? FolderIndex::Kind::File : FolderIndex::Kind::Gone);
        if (kind == FolderIndex::Kind::Unreadable) {
            Unreadable(path, error);
            return;
        }
        if (kind != FolderIndex::Kind::File) {
            Error(codes::kMissingFile, CurrentEntry(),
                  FormatText("The file [%s] does not exist.%s", {TextFromPath(path), kCannotContinue}));
            return;
        }
        if (!IsOwnFile(path))
            AddInput(ResolvedInput::Kind::Entry, path, destination ? *destination : source);
    }

    void CheckWildcard(std::vector<std::string> source,
                       const std::optional<std::vector<std::string>>& destination)
    {
        const std::string pattern = source.empty() ? std::string() : source.back();
        if (!source.empty())
            source.pop_back();
        const fs::path folder = At(source);
        const FolderListing& listing = index_.List(folder);
        if (listing.error != 0 && listing.error != ENOENT && listing.error != ENOTDIR) {
            Error(codes::kUnreadableFolder, CurrentEntry(),
                  FormatText("The folder %s cannot be read: %s.%s",
                             {TextFromPath(folder), std::strerror(listing.error), kCannotContinue}));
            return;
        }
        // A destination names the folder the matches go to ("NewMaps" or
        // "NewMaps\"); a last component with a wildcard ("NewMaps\*.map")
        // stands for the matches' own names.
        std::vector<std::string> target = destination ? *destination : source;
        if (destination && !target.empty() && target.back().find('*') != std::string::npos)
            target.pop_back();

        bool matched = false;
        std::size_t folders = 0;
        std::size_t files = 0;
        for (const FolderEntry& entry : listing.entries) {
            if (pattern.empty() || !MatchesWildcard(entry.name, pattern))
                continue;
            matched = true;
            const fs::path path = folder / PathFromText(entry.name);
            // Folders, devices and links to nothing are no files to install;
            // a file that cannot be examined or read may be one.
            int error = 0;
            const FolderIndex::Kind kind = FolderIndex::Examine(listing, entry, error);
            if (kind == FolderIndex::Kind::Folder) {
                ++folders;
                continue;
            }
            ++files;
            if (kind == FolderIndex::Kind::Unreadable)
                Unreadable(path, error);
            if (kind != FolderIndex::Kind::File || IsOwnFile(path))
                continue;
            std::vector<std::string> name = target;
            name.push_back(entry.name);
            AddInput(ResolvedInput::Kind::Entry, path, name);
        }
        // A folder matches as a file does, but its files are not taken: an
        // entry that matches only folders installs nothing.
        if (folders > 0 && files == 0)
            Warning(
                codes::kWildcardInstallsNoFile, CurrentEntry(),
                FormatText("The wildcard [%s] matches %s and no file: the entry installs nothing.",
                           {TextFromPath(folder / PathFromText(pattern)),
                            folders == 1 ? std::string("1 folder") : std::to_string(folders) + " folders"}));
        if (!matched)
            Error(codes::kWildcardMatchesNothing, CurrentEntry(),
                  FormatText("The wildcard [%s] is not valid (No files were found).%s",
                             {TextFromPath(folder / PathFromText(pattern)), kCannotContinue}));
    }

    void Unreadable(const fs::path& path, int error)
    {
        Error(codes::kUnreadableFile, CurrentEntry(),
              FormatText("The file [%s] cannot be read: %s.%s",
                         {TextFromPath(path), std::strerror(error), kCannotContinue}));
    }

    // Files of the run itself never go into the archive: the archive (which
    // a wildcard of the game folder's root matches), temporary files of this
    // or an earlier run, the lock and the journal.
    bool IsOwnFile(const fs::path& path)
    {
        if (zip_ && path == run_.pack.archive) {
            Warning(codes::kArchiveInsideItself, CurrentEntry(),
                    FormatText("The zip file %s is not packed into itself.", {TextFromPath(path)}));
            return true;
        }
        const std::string name = TextFromPath(path.filename());
        const fs::path folder = path.parent_path();
        if (folder == run_.gameFolder / PathFromText(kWorkFolderName))
            return true;
        if (folder == run_.systemFolder && (name == kOldLockFileName || name == kOldJournalFileName))
            return true;
        return (folder == run_.gameFolder || folder == run_.systemFolder) && IsTempFileName(name);
    }

    void AddInput(ResolvedInput::Kind kind, const fs::path& source,
                  const std::vector<std::string>& destination)
    {
        // Named with the letter case that the folders have on disk, so that
        // unpacking on a case-sensitive system merges into the player's folders.
        const fs::path named = At(destination);
        const bool entry = kind == ResolvedInput::Kind::Entry;
        run_.inputs.push_back({kind, entry ? group_ : 0, entry ? entry_ : 0, source,
                               JoinComponents(ComponentsBelow(run_.gameFolder, named), '/'), std::nullopt});
    }

    bool AddInputIfReadable(ResolvedInput::Kind kind, const std::vector<std::string>& components)
    {
        const fs::path path = At(components);
        if (!IsReadableFile(path))
            return false;
        AddInput(kind, path, components);
        return true;
    }

    // The zip holds the entries, the readme and the scripts, in that order.
    void PlanArchive()
    {
        // The reproducible-builds convention: a date that is not a number
        // stops the build rather than giving an archive no one can rebuild.
        if (const char* date = std::getenv("SOURCE_DATE_EPOCH"); date && *date) {
            run_.pack.sourceDate = ParseSourceDate(date);
            if (!run_.pack.sourceDate)
                Error(codes::kBadSourceDate, RecordRef(),
                      FormatText("SOURCE_DATE_EPOCH is [%s], not a number of seconds since 1970.%s",
                                 {ShowControlCharacters(date), kCannotContinue}));
        }
        run_.pack.entries = PackEntries(run_.inputs);
        if (run_.pack.entries.size() > kMostZipEntries) {
            Error(codes::kTooManyZipEntries, RecordRef(),
                  FormatText("The zip file would hold %d files, but a zip file can hold at most "
                             "65535.%s",
                             {std::to_string(run_.pack.entries.size()), kCannotContinue}));
        }
    }

    // The packaging tool writes the package into System, over whatever
    // stands there under its name.
    void CheckPackageName()
    {
        const RecordRef where = RecordRef::Product("archive");
        const std::string& name = run_.packageName;
        if (auto problem = PackageNameProblem(doc_, name)) {
            Error(HasControlCharacter(name) ? codes::kPackageName : codes::kUnusablePackageName, where,
                  std::move(*problem));
            return;
        }
        for (const ResolvedInput& input : run_.inputs) {
            if (input.source.parent_path() == run_.systemFolder
                && EqualsIgnoringCase(TextFromPath(input.source.filename()), name)) {
                Error(codes::kUnusablePackageName, where,
                      FormatText("The package name [%s] is the name of %s, which the product installs; the "
                                 "packaging tool would write over it.%s",
                                 {name, TextFromPath(input.source), kCannotContinue}));
                return;
            }
        }
        const auto existing = index_.Locate(run_.systemFolder, name);
        if (existing && !IsPackageName(*existing))
            Warning(codes::kPackageOverFile, where,
                    FormatText("The package name [%s] names the file %s, which is not a package; the "
                               "packaging tool writes over it.",
                               {name, TextFromPath(run_.systemFolder / PathFromText(*existing))}));
    }

    void AddText(TextOutput::Kind kind, const std::string& fileName, std::string content)
    {
        run_.texts.push_back({kind, Child(run_.systemFolder, fileName), std::move(content)});
    }

    fs::path AddScript(const LaunchScript& script)
    {
        AddText(TextOutput::Kind::Script, script.fileName, script.text);
        fs::path path = run_.texts.back().path;
        run_.inputs.push_back(
            {ResolvedInput::Kind::Script, 0, 0, path,
             TextFromPath(run_.systemFolder.filename()) + "/" + TextFromPath(path.filename()), script.text});
        return path;
    }

    void PlanSweep()
    {
        const fs::path& system = run_.systemFolder;
        auto& outputs = run_.everyOutput;
        for (const std::string& name : {ManifestFileName(doc_), LocalizedManifestFileName(doc_),
                                        LinuxScriptName(doc_), MacScriptName(doc_)})
            outputs.push_back(Child(system, name));
        outputs.push_back(Child(run_.gameFolder, ArchiveFileName()));
        outputs.push_back(ChecksumFilePath(outputs.back()));
        // A package name that could lead out of System names no checksum file.
        const std::string package = doc_.product->GetArchiveName();
        if (!PackageNameProblem(doc_, package))
            outputs.push_back(ChecksumFilePath(Child(system, package)));
        outputs.push_back(run_.gameFolder / PathFromText(kWorkFolderName) / PathFromText(kJournalFileName));
    }

    void PlanCleanup(const std::vector<fs::path>& scripts)
    {
        const ProductData& product = *doc_.product;
        if (!product.cleanup || run_.choice == GenerationChoice::ManifestOnly)
            return;
        if (zip_) {
            run_.cleanup = scripts;
            return;
        }
        run_.cleanup = {run_.texts[0].path, run_.texts[1].path};
        if (product.shortcut && product.linux)
            run_.cleanup.push_back(scripts.front());
    }

    const ProjectDocument& doc_;
    FolderIndex index_;
    ResolvedRun run_;
    fs::path archive_;  // where the zip goes when not in the game folder
    bool zip_ = false;
    std::size_t group_ = 0;  // the entry being checked
    std::size_t entry_ = 0;
};

}  // namespace

const Problem* ResolvedRun::FirstError() const
{
    for (const Problem& problem : problems) {
        if (problem.severity == Severity::Error)
            return &problem;
    }
    return nullptr;
}

std::vector<std::string> ResolvedRun::Warnings() const
{
    std::vector<std::string> warnings;
    for (const Problem& problem : problems) {
        if (problem.severity == Severity::Warning)
            warnings.push_back(problem.text);
    }
    return warnings;
}

std::vector<PackEntry> PackEntries(const std::vector<ResolvedInput>& inputs)
{
    // A file that is both the readme and a group's file is packed once; of
    // two files the installer would put at one place (which the check tells)
    // the later one is packed, as the installer leaves the later one there.
    // Places are told apart as Windows does, without letter case.
    std::vector<PackEntry> entries;
    std::unordered_map<std::string, std::size_t> byPlace;
    for (const ResolvedInput& input : inputs) {
        if (!IsPacked(input.kind))
            continue;
        const bool script = input.kind == ResolvedInput::Kind::Script;
        PackEntry entry{input.source, input.destination, script ? 0755u : 0644u, input.content};
        const auto [found, fresh] = byPlace.try_emplace(FoldedText(input.destination), entries.size());
        if (fresh) {
            entries.push_back(std::move(entry));
        } else {
            entry.name = entries[found->second].name;  // the name keeps its first spelling
            entries[found->second] = std::move(entry);
        }
    }
    return entries;
}

ResolvedRun ResolveGeneration(const ProjectDocument& document, GenerationChoice choice,
                              const fs::path& winePrefix, const fs::path& archive)
{
    Resolver resolver(document, choice, winePrefix, archive);
    // The files are checked without a usable product too, so that one pass
    // finds every problem; nothing is planned for such a run.
    const bool product = resolver.CheckProduct();
    if (resolver.ResolveGameFolder()) {
        resolver.CheckInputs();
        resolver.CheckPlacedFiles();
        if (product)
            resolver.PlanOutputs();
    }
    return resolver.Take();
}

ResolvedRun ResolveProductFiles(const ProjectDocument& document, const fs::path& winePrefix)
{
    Resolver resolver(document, GenerationChoice::ManifestOnly, winePrefix);
    if (resolver.ResolveGameFolder())
        resolver.CheckInputs();
    return resolver.Take();
}

void KeepArchiveName(ProjectDocument& document, GenerationChoice choice)
{
    // Where the resolution goes on to write the manifest: for a choice other
    // than the zip, past the checks of the product name and the game folder.
    if (choice == GenerationChoice::Zip)
        return;
    Resolver resolver(document, choice, {});
    if (resolver.CheckProduct() && resolver.ResolveGameFolder())
        document.product->KeepArchiveName();
}

}  // namespace zpak
