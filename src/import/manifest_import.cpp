#include "import/manifest_import.h"

#include "generate/launch_scripts.h"
#include "generate/manifest_writer.h"
#include "generate/problem_codes.h"
#include "generate/product_paths.h"
#include "import/manifest_forms.h"
#include "import/manifest_text.h"
#include "model/readback_check.h"
#include "platform/text_case.h"
#include "platform/text_format.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace zpak {

namespace {

constexpr std::string_view kSetupSection = "Setup";
constexpr std::string_view kSetupGroup = "SetupGroup";
constexpr std::string_view kRequirementSuffix = "Requirement";
constexpr std::string_view kPlayShortcut = "PlayShortcut";
constexpr std::string_view kUninstallShortcut = "UninstallShortcut";
constexpr std::string_view kDocumentationShortcut = "DocumentationShortcut";
constexpr std::string_view kSystemFolder = "System\\";
constexpr std::string_view kDestPath = "%DestPath%\\";
// The group that takes the files of [SetupGroup] other than the logo and readme.
constexpr std::string_view kSetupFilesGroup = "SetupFiles";

bool Is(std::string_view key, std::string_view name)
{
    return EqualsIgnoringCase(key, name);
}

// "1 line", "2 lines".
std::string Counted(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool IsAny(std::string_view key, std::initializer_list<std::string_view> names)
{
    return std::any_of(names.begin(), names.end(), [key](std::string_view name) { return Is(key, name); });
}

// The manifest quotes file names, so a name with a quote cannot be written.
bool HasQuote(std::string_view path)
{
    return path.find('"') != std::string_view::npos;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view start)
{
    return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

// The sections of one file. Each is taken by the first reference that names
// it: exactly, else ignoring letter case; a second reference to a name takes
// the next section of that name.
class SectionTable {
public:
    explicit SectionTable(const ManifestText* text) : text_(text)
    {
        if (!text)
            return;
        taken_.assign(text->sections.size(), false);
        for (std::size_t i = 0; i < text->sections.size(); ++i) {
            exact_[text->sections[i].name].sections.push_back(i);
            folded_[FoldedText(text->sections[i].name)].sections.push_back(i);
        }
    }

    const ManifestSection* Take(std::string_view name)
    {
        if (!text_)
            return nullptr;
        if (const ManifestSection* section = TakeFrom(exact_, std::string(name)))
            return section;
        return TakeFrom(folded_, FoldedText(name));
    }

    // Calls `f` with each section that nothing took, in file order.
    template <typename F> void ForEachUntaken(F f) const
    {
        for (std::size_t i = 0; i < taken_.size(); ++i) {
            if (!taken_[i])
                f(text_->sections[i]);
        }
    }

private:
    // The sections of one name in file order; those before `next` are taken.
    struct Named {
        std::vector<std::size_t> sections;
        std::size_t next = 0;
    };
    using Index = std::unordered_map<std::string, Named>;

    const ManifestSection* TakeFrom(Index& index, const std::string& key)
    {
        const auto found = index.find(key);
        if (found == index.end())
            return nullptr;
        Named& named = found->second;
        // A section may have been taken through the other index.
        while (named.next < named.sections.size() && taken_[named.sections[named.next]])
            ++named.next;
        if (named.next == named.sections.size())
            return nullptr;
        const std::size_t i = named.sections[named.next++];
        taken_[i] = true;
        return &text_->sections[i];
    }

    const ManifestText* text_;
    std::vector<bool> taken_;
    Index exact_;
    Index folded_;
};

// Keys that may stand once in a section; a repetition is told and ignored.
class OnceKeys {
public:
    bool First(const ManifestEntry& entry) { return seen_.insert(FoldedText(entry.key)).second; }

private:
    std::unordered_set<std::string> seen_;
};

// The files a diagnostic can name, in the order they are reported.
enum FileRank { kManifestFile, kLocalizedFile, kLinuxScriptFile, kMacScriptFile, kFileCount };

// A line that generating derives from the rest of the project: it is not
// imported but compared with what generating the imported project writes.
struct DerivedLine {
    FileRank file = kManifestFile;
    std::string section;  // as generating names it
    const ManifestSection* source = nullptr;
    const ManifestEntry* entry = nullptr;
    RecordRef record;
};

class Importer {
public:
    explicit Importer(const ManifestPair& pair)
        : pair_(pair), ini_(ParseManifestText(pair.manifest.text)),
          int_(pair.localized ? std::optional<ManifestText>(ParseManifestText(pair.localized->text))
                              : std::nullopt),
          iniSections_(&ini_), intSections_(int_ ? &*int_ : nullptr)
    {
        fileNames_[kManifestFile] = pair.manifest.name;
        if (pair.localized)
            fileNames_[kLocalizedFile] = pair.localized->name;
    }

    ImportResult Run()
    {
        TellStrayLines(ini_, kManifestFile);
        if (int_)
            TellStrayLines(*int_, kLocalizedFile);
        const ManifestSection* setup = iniSections_.Take(kSetupSection);
        if (!setup) {
            Tell(Severity::Error, codes::kNotAManifest, kManifestFile, 0, {},
                 "The file has no [Setup] section: it is not an installer manifest.");
            return Finish(false);
        }
        doc_.gameFolder = pair_.gameFolder;
        doc_.product = std::make_unique<ProductData>();
        product_ = doc_.product.get();
        ReadLocalizedSetup();
        ReadSetup(*setup);
        ReadRequirements();
        TakeSetupGroup();
        ReadGroups();
        ReadShortcutSections();
        ReadSetupGroup();
        ReadLaunchScripts();
        CompareDerivedLines();
        TellUntakenSections();
        TellDefaults();
        return Finish(true);
    }

private:
    // Diagnostics -----------------------------------------------------------

    void Tell(Severity severity, const char* code, FileRank file, int line, RecordRef record,
              std::string text)
    {
        Diagnostic diagnostic;
        diagnostic.severity = severity;
        diagnostic.code = code;
        diagnostic.line = line;
        diagnostic.page = PageOf(record);
        diagnostic.record = std::move(record);
        diagnostic.text = std::move(text);
        diagnostic.file = fileNames_[file];
        diagnostics_.push_back({file, std::move(diagnostic)});
    }

    void Warn(const char* code, FileRank file, int line, RecordRef record, std::string text)
    {
        Tell(Severity::Warning, code, file, line, std::move(record), std::move(text));
    }

    static std::string Line(const ManifestEntry& entry) { return entry.key + "=" + entry.value; }

    // Whether a project line can hold a text made of part of a line (a
    // carriage return may end it); when not, the line is told.
    bool Holds(std::string_view text, FileRank file, const ManifestEntry& entry, const RecordRef& record)
    {
        const char* problem = LineBreakProblem(text);
        if (problem)
            Warn(codes::kValueNotKept, file, entry.line, record,
                 FormatText("The line %s gives a text that %s in a project; it is not imported.",
                            {Line(entry), problem}));
        return !problem;
    }

    void TellUnknown(FileRank file, const ManifestEntry& entry, std::string_view section, RecordRef record)
    {
        Warn(codes::kLineWithoutPlace, file, entry.line, std::move(record),
             FormatText("The line %s of [%s] has no place in a project; it is not imported.",
                        {Line(entry), section}));
    }

    void TellRepeated(FileRank file, const ManifestEntry& entry, std::string_view section, RecordRef record)
    {
        Warn(codes::kLineWithoutPlace, file, entry.line, std::move(record),
             FormatText("The line %s repeats the key %s of [%s]; the first one counts and this one is not "
                        "imported.",
                        {Line(entry), entry.key, section}));
    }

    void TellStrayLines(const ManifestText& text, FileRank file)
    {
        for (const StrayLine& stray : text.stray)
            Warn(codes::kLineWithoutPlace, file, stray.line, {},
                 FormatText("The line %s is neither a section header nor a key=value line of a section; it "
                            "is not imported.",
                            {stray.text}));
        if (text.wasUtf16)
            Tell(Severity::Note, codes::kUtf16Manifest, file, 0, {},
                 "The file is in UTF-16; its texts are imported as UTF-8, which generating writes.");
    }

    ImportResult Finish(bool imported)
    {
        // Files in their order, each from its top; what concerns a whole file first.
        std::stable_sort(diagnostics_.begin(), diagnostics_.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : a.second.line < b.second.line;
        });
        ImportResult result;
        result.imported = imported;
        if (imported)
            result.document = std::move(doc_);
        for (auto& told : diagnostics_)
            result.diagnostics.push_back(std::move(told.second));
        return result;
    }

    // Reads a section whose lines generating derives from the project, but
    // for the keys that `import` takes (it gives true for them).
    template <typename Import>
    void ReadDerivedSection(FileRank file, const ManifestSection& section, const std::string& name,
                            std::initializer_list<std::string_view> derivedKeys, const RecordRef& record,
                            Import import)
    {
        OnceKeys once;
        for (const ManifestEntry& entry : section.entries) {
            if (!once.First(entry))
                TellRepeated(file, entry, section.name, record);
            else if (import(entry))
                continue;
            else if (IsAny(entry.key, derivedKeys))
                derived_.push_back({file, name, &section, &entry, record});
            else
                TellUnknown(file, entry, section.name, record);
        }
    }

    // The product -----------------------------------------------------------

    void ReadLocalizedSetup()
    {
        if (!int_) {
            Warn(codes::kNoLocalizedManifest, kManifestFile, 0, {},
                 FormatText("There is no localized manifest %s.int beside the manifest: the window title, "
                            "web addresses, developer, group captions and shortcut captions it would hold "
                            "are not imported; the logo is taken to be the first bitmap of [SetupGroup] and "
                            "the readme the file the documentation shortcut opens.",
                            {pair_.baseName}));
            return;
        }
        const ManifestSection* setup = intSections_.Take(kSetupSection);
        if (!setup)
            return;
        // The keys the product takes, its fields, and whether they name files.
        struct Field {
            std::string_view key;
            std::optional<std::string> ProductData::*member;
            const char* name;
            bool path;
        };
        static const Field fields[] = {
            {"ReadMe", &ProductData::readme, "readme", true},
            {"SetupWindowTitle", &ProductData::title, "title", false},
            {"ProductURL", &ProductData::productURL, "productURL", false},
            {"VersionURL", &ProductData::versionURL, "versionURL", false},
            {"Developer", &ProductData::developer, "developer", false},
            {"DeveloperURL", &ProductData::developerURL, "developerURL", false},
            {"License", &ProductData::license, "license", true},
            {"Logo", &ProductData::logo, "logo", true},
        };
        ReadDerivedSection(
            kLocalizedFile, *setup, std::string(kSetupSection), {"LocalProduct", "AutoplayWindowTitle"},
            RecordRef::Product(), [this](const ManifestEntry& entry) {
                for (const Field& field : fields) {
                    if (!Is(entry.key, field.key))
                        continue;
                    if (field.path && HasQuote(entry.value))
                        Warn(codes::kValueNotKept, kLocalizedFile, entry.line, RecordRef::Product(field.name),
                             FormatText("The line %s names a file with a quote, which the "
                                        "manifest cannot write; it is not imported.",
                                        {Line(entry)}));
                    else
                        product_->*field.member = entry.value;
                    return true;
                }
                return false;
            });
        // The title is kept only where it is not the product name, which is not known yet.
        localTitle_ = std::move(product_->title);
        product_->title.reset();
    }

    void ReadSetup(const ManifestSection& setup)
    {
        OnceKeys once;
        int productLine = 0;
        const RecordRef record = RecordRef::Product();
        for (const ManifestEntry& entry : setup.entries) {
            const std::string& key = entry.key;
            if (Is(key, "Requires")) {
                requirementNames_.push_back(&entry);
            } else if (Is(key, "Group")) {
                groupNames_.push_back(&entry);
            } else if (!once.First(entry)) {
                TellRepeated(kManifestFile, entry, setup.name, record);
            } else if (Is(key, "Product")) {
                product_->product = entry.value;
                productLine = entry.line;
            } else if (Is(key, "Version")) {
                product_->version = entry.value;
            } else if (Is(key, "Archive")) {
                product_->archive = entry.value;
            } else if (IsAny(key,
                             {"Language", "SrcPath", "MasterPath", "MasterPathCorvexGameContent", "License",
                              "Tree", "Visible"})) {
                tree_ = tree_ || (Is(key, "Tree") && Is(entry.value, "True"));
                derived_.push_back({kManifestFile, std::string(kSetupSection), &setup, &entry, record});
            } else {
                TellUnknown(kManifestFile, entry, setup.name, record);
            }
        }
        NameProduct(setup, productLine);
        if (localTitle_ && *localTitle_ != TextOf(product_->product))
            product_->title = localTitle_;
    }

    void NameProduct(const ManifestSection& setup, int productLine)
    {
        std::string_view base = pair_.baseName;
        if (base.size() > 3 && Is(base.substr(base.size() - 3), "MOD"))
            base.remove_suffix(3);
        if (!product_->product) {
            product_->product = std::string(base);
            Warn(codes::kValueNotKept, kManifestFile, setup.line, RecordRef::Product("product"),
                 FormatText("[Setup] names no product (no Product= line); the product is named %s, after "
                            "the manifest's file name.",
                            {*product_->product}));
        } else if (!EqualsIgnoringCase(pair_.baseName, ManifestBaseName(doc_))) {
            Warn(codes::kValueNotKept, kManifestFile, productLine, RecordRef::Product("product"),
                 FormatText("The manifest is named %s.ini, but generating the product %s writes %s.ini.",
                            {pair_.baseName, *product_->product, ManifestBaseName(doc_)}));
        }
    }

    // Requirements ----------------------------------------------------------

    void ReadRequirements()
    {
        for (const ManifestEntry* reference : requirementNames_) {
            const RecordRef record = RecordRef::Requirement(doc_.requirements.size());
            RequirementInfo& requirement =
                *doc_.requirements.emplace_back(std::make_unique<RequirementInfo>());
            for (auto* text : {&requirement.product, &requirement.version, &requirement.developer,
                               &requirement.productURL, &requirement.versionURL, &requirement.developerURL})
                *text = "";
            const std::string& name = reference->value;
            if (const ManifestSection* section = iniSections_.Take(name)) {
                ReadRequirementSection(*section, requirement, record);
            } else if (!NameAfterSection(*reference, requirement, record)) {
                doc_.requirements.pop_back();
                continue;
            }
            const std::string sectionName = *requirement.product + std::string(kRequirementSuffix);
            if (sectionName != name)
                Warn(codes::kValueNotKept, kManifestFile, reference->line, record,
                     FormatText("The line %s is not kept: a project names the section of a requirement "
                                "after its product, %s.",
                                {Line(*reference), sectionName}));
            if (const ManifestSection* local = intSections_.Take(name))
                ReadLocalizedIdentity(*local, sectionName, requirement, record);
        }
    }

    void ReadRequirementSection(const ManifestSection& section, RequirementInfo& requirement,
                                const RecordRef& record)
    {
        ReadDerivedSection(kManifestFile, section, section.name, {}, record, [&](const ManifestEntry& entry) {
            std::optional<std::string>* text = Is(entry.key, "Product") ? &requirement.product
                : Is(entry.key, "Version")                              ? &requirement.version
                                                                        : nullptr;
            if (text)
                *text = entry.value;
            return text != nullptr;
        });
    }

    // A requirement whose section is missing is named after the section;
    // false when a project cannot hold that name.
    bool NameAfterSection(const ManifestEntry& reference, RequirementInfo& requirement,
                          const RecordRef& record)
    {
        std::string_view product = reference.value;
        if (product.ends_with(kRequirementSuffix))
            product.remove_suffix(kRequirementSuffix.size());
        if (!Holds(product, kManifestFile, reference, record))
            return false;
        requirement.product = std::string(product);
        Warn(codes::kMissingSection, kManifestFile, reference.line, record,
             FormatText("The line %s names a section the manifest does not have; the requirement is "
                        "imported as the product %s without a version.",
                        {Line(reference), *requirement.product}));
        return true;
    }

    void ReadLocalizedIdentity(const ManifestSection& section, const std::string& sectionName,
                               RequirementInfo& requirement, const RecordRef& record)
    {
        ReadDerivedSection(kLocalizedFile, section, sectionName, {"LocalProduct"}, record,
                           [&requirement](const ManifestEntry& entry) {
                               std::optional<std::string>* text = Is(entry.key, "ProductURL")
                                   ? &requirement.productURL
                                   : Is(entry.key, "VersionURL")   ? &requirement.versionURL
                                   : Is(entry.key, "Developer")    ? &requirement.developer
                                   : Is(entry.key, "DeveloperURL") ? &requirement.developerURL
                                                                   : nullptr;
                               if (text)
                                   *text = entry.value;
                               return text != nullptr;
                           });
    }

    // Groups ----------------------------------------------------------------

    void ReadGroups()
    {
        bool setupGroupNamed = false;
        for (const ManifestEntry* reference : groupNames_) {
            if (Is(reference->value, kSetupGroup)) {
                if (setupGroupNamed)
                    Warn(codes::kLineWithoutPlace, kManifestFile, reference->line, {},
                         FormatText("The line %s names the setup group again; it is not imported.",
                                    {Line(*reference)}));
                setupGroupNamed = true;
                continue;
            }
            if (doc_.GroupNameExists(reference->value)) {
                Warn(codes::kLineWithoutPlace, kManifestFile, reference->line, {},
                     FormatText("The line %s names a group of that name again; a project keeps group names "
                                "apart, and it is not imported.",
                                {Line(*reference)}));
                continue;
            }
            const std::size_t g = doc_.groups.size();
            GroupInfo& group = *doc_.groups.emplace_back(std::make_unique<GroupInfo>(reference->value));
            if (IsReservedGroupName(reference->value)) {
                group.SetName(FreeGroupName(reference->value));
                Warn(codes::kValueNotKept, kManifestFile, reference->line, RecordRef::Group(g),
                     FormatText("The line %s names a group like a section that the manifest gives a meaning "
                                "of its own; the group is imported as %s.",
                                {Line(*reference), group.NameText()}));
            }
            if (const ManifestSection* section = iniSections_.Take(reference->value))
                ReadGroupSection(*section, group, g);
            else
                Warn(codes::kMissingSection, kManifestFile, reference->line, RecordRef::Group(g),
                     FormatText("The line %s names a section the manifest does not have; the group is "
                                "imported without files.",
                                {Line(*reference)}));
            if (const ManifestSection* local = intSections_.Take(reference->value))
                ReadLocalizedGroup(*local, group, g);
        }
    }

    // The setup group, when [Setup] names it, and whether its Shortcut= lines
    // ask for Windows shortcuts. Sections are taken in the order generating
    // writes them, so that a group named like a shortcut takes its own.
    void TakeSetupGroup()
    {
        const bool named = std::any_of(groupNames_.begin(), groupNames_.end(), [](const ManifestEntry* name) {
            return Is(name->value, kSetupGroup);
        });
        if (!named)
            return;
        setupGroup_ = iniSections_.Take(kSetupGroup);
        if (!setupGroup_)
            return;
        for (const ManifestEntry& entry : setupGroup_->entries) {
            if (Is(entry.key, "Shortcut") && IsOwnShortcut(entry.value))
                product_->windows = 1;
        }
        if (product_->windows)
            localPlay_ = intSections_.Take(kPlayShortcut);
    }

    void ReadGroupSection(const ManifestSection& section, GroupInfo& group, std::size_t g)
    {
        OnceKeys once;
        int flagsSaid = 0;
        for (const ManifestEntry& entry : section.entries) {
            const std::string& key = entry.key;
            const bool flag =
                Is(key, "Visible") || Is(key, "Optional") || Is(key, "Selected") || Is(key, "Selectable");
            if (Is(key, "File") || Is(key, "Copy")) {
                ReadGroupFile(entry, group, g);
            } else if (Is(key, "Ini") || Is(key, "AddIni")) {
                ReadIniChange(entry, section, &group, RecordRef::Group(g));
            } else if (!flag) {
                TellUnknown(kManifestFile, entry, section.name, RecordRef::Group(g));
            } else if (!once.First(entry)) {
                TellRepeated(kManifestFile, entry, section.name, RecordRef::Group(g));
            } else if (!tree_) {
                Warn(codes::kLineWithoutPlace, kManifestFile, entry.line, RecordRef::Group(g),
                     FormatText("The line %s of [%s] is not imported: a project writes the flags of its "
                                "groups only in tree mode (Tree=True in [Setup]).",
                                {Line(entry), section.name}));
            } else {
                flagsSaid += ReadGroupFlag(entry, group, g);
            }
        }
        // Selected= is written only when it is on, the others always.
        if (tree_ && flagsSaid < 3)
            groupsWithoutFlags_.push_back({g, section.line});
    }

    // Sets the flag; 1 for the flags that a project always writes.
    int ReadGroupFlag(const ManifestEntry& entry, GroupInfo& group, std::size_t g)
    {
        const bool on = Is(entry.value, "True");
        if (!on && !Is(entry.value, "False"))
            Warn(codes::kValueNotKept, kManifestFile, entry.line, RecordRef::Group(g),
                 FormatText("The line %s is neither True nor False; the flag is imported as off.",
                            {Line(entry)}));
        if (Is(entry.key, "Visible")) {
            group.Visible = on;
        } else if (Is(entry.key, "Optional")) {
            group.Required = !on;
        } else if (Is(entry.key, "Selectable")) {
            group.Selectable = on;
        } else {
            group.Selected = on;
            return 0;
        }
        return 1;
    }

    // `base`, or else the first of base2, base3... that no Group= line
    // names, no group has and is no section name of the manifest's own.
    std::string FreeGroupName(std::string_view base) const
    {
        const auto taken = [this](const std::string& name) {
            return doc_.GroupNameExists(name) || IsReservedGroupName(name)
                || std::any_of(groupNames_.begin(), groupNames_.end(),
                               [&name](const ManifestEntry* reference) { return reference->value == name; });
        };
        std::string name(base);
        for (int n = 2; taken(name); ++n)
            name = std::string(base) + std::to_string(n);
        return name;
    }

    // A file entry of a group, or nothing when the line cannot be one.
    FileInfo* AddFileEntry(const ManifestEntry& entry, GroupInfo& group, const RecordRef& owner)
    {
        const std::optional<manifest::FileForm> form = manifest::ParseFileForm(entry.value);
        if (!form) {
            Warn(codes::kUnwrittenForm, kManifestFile, entry.line, owner,
                 FormatText("The line %s is not of the form (Src=\"...\") or (Src=\"...\", Master=\"...\"); "
                            "it is not imported.",
                            {Line(entry)}));
            return nullptr;
        }
        const std::string& name = form->master ? *form->master : form->src;
        if (HasQuote(name) || (form->master && HasQuote(form->src))) {
            Warn(codes::kValueNotKept, kManifestFile, entry.line, owner,
                 FormatText("The line %s names a file with a quote, which the manifest cannot write; it is "
                            "not imported.",
                            {Line(entry)}));
            return nullptr;
        }
        if (const char* problem = EntryNameProblem(name)) {
            Warn(codes::kValueNotKept, kManifestFile, entry.line, owner,
                 FormatText("The file [%s] of the line %s %s in a project; it is not imported.",
                            {name, Line(entry), problem}));
            return nullptr;
        }
        const bool destination = form->master && !form->src.empty();
        if (destination && !Holds(form->src, kManifestFile, entry, owner))
            return nullptr;
        FileInfo& file = group.AddFile(name);
        if (destination)
            file.src = form->src;
        // The entry is imported: what it lost is told about the entry, not its group.
        TellDroppedAttributes(entry, form->otherAttributes,
                              RecordRef::Entry(owner.index, group.files.size() - 1));
        return &file;
    }

    void TellDroppedAttributes(const ManifestEntry& entry, const std::vector<std::string>& attributes,
                               const RecordRef& record)
    {
        if (attributes.empty())
            return;
        std::string dropped;
        for (const std::string& attribute : attributes)
            dropped += (dropped.empty() ? "" : ", ") + attribute;
        Warn(codes::kUnwrittenForm, kManifestFile, entry.line, record,
             FormatText("The line %s has attributes that a project does not keep (%s); the file is imported "
                        "without them.",
                        {Line(entry), dropped}));
    }

    void ReadGroupFile(const ManifestEntry& entry, GroupInfo& group, std::size_t g)
    {
        if (!AddFileEntry(entry, group, RecordRef::Group(g)) || !Is(entry.key, "Copy"))
            return;
        Warn(codes::kUnwrittenForm, kManifestFile, entry.line, RecordRef::Entry(g, group.files.size() - 1),
             FormatText("The line %s copies a file in a group, where a project writes File= lines; it is "
                        "imported as a file entry of the group.",
                        {Line(entry)}));
    }

    void ReadLocalizedGroup(const ManifestSection& section, GroupInfo& group, std::size_t g)
    {
        ReadDerivedSection(kLocalizedFile, section, group.NameText(), {}, RecordRef::Group(g),
                           [&group](const ManifestEntry& entry) {
                               auto* text = Is(entry.key, "Caption") ? &group.caption
                                   : Is(entry.key, "Description")    ? &group.description
                                                                     : nullptr;
                               if (text)
                                   *text = entry.value;
                               return text != nullptr;
                           });
        if (!tree_ && (group.caption || group.description))
            captionsOutsideTree_ = true;
    }

    // INI changes -----------------------------------------------------------

    void ReadIniChange(const ManifestEntry& entry, const ManifestSection& section, GroupInfo* group,
                       const RecordRef& owner)
    {
        manifest::IniChangeForm form;
        const manifest::IniChangeFault fault = manifest::ParseIniChange(entry.value, form);
        if (fault == manifest::IniChangeFault::OutsideSystem) {
            Warn(codes::kValueNotKept, kManifestFile, entry.line, owner,
                 FormatText("The INI change %s names a file outside the game's System folder; a project "
                            "changes only files of that folder. It is not imported.",
                            {Line(entry)}));
            return;
        }
        if (fault != manifest::IniChangeFault::None) {
            Warn(codes::kUnwrittenForm, kManifestFile, entry.line, owner,
                 FormatText("The INI change %s is not of the form System\\<file>,<section>.<key>=<value>; "
                            "it is not imported.",
                            {Line(entry)}));
            return;
        }
        if (!Holds(form.file, kManifestFile, entry, owner))
            return;
        const int addNewLine = Is(entry.key, "AddIni") ? 1 : 0;
        // Split at the last dot, unless the project file can hold only a
        // split at an earlier one: the manifest writes both alike.
        const char* problem =
            ChangeLineProblem(INIDefinition(form.section, form.key, form.value, addNewLine));
        for (manifest::IniChangeForm earlier = form; problem && manifest::SplitAtEarlierDot(earlier);) {
            if (!ChangeLineProblem(INIDefinition(earlier.section, earlier.key, earlier.value, addNewLine))) {
                form = std::move(earlier);
                problem = nullptr;
            }
        }
        if (problem) {
            Warn(
                codes::kValueNotKept, kManifestFile, entry.line, owner,
                FormatText("The INI change %s %s in a project; it is not imported.", {Line(entry), problem}));
            return;
        }
        // Changes of one file that follow each other in a section are one
        // INI file of the project.
        if (!lastIniFile_ || lastIniSection_ != &section || lastIniFile_->NameText() != form.file) {
            lastIniFile_ = doc_.iniFiles.emplace_back(std::make_unique<INIGroup>(form.file)).get();
            lastIniFile_->group = group;
            lastIniSection_ = &section;
        }
        lastIniFile_->AddEntry(std::move(form.section), std::move(form.key), std::move(form.value),
                               addNewLine);
    }

    // Shortcuts -------------------------------------------------------------

    static bool IsOwnShortcut(std::string_view name)
    {
        return Is(name, kPlayShortcut) || Is(name, kUninstallShortcut) || Is(name, kDocumentationShortcut);
    }

    void ReadShortcutSections()
    {
        if (!product_->windows)
            return;
        const ManifestEntry* playLine = nullptr;
        for (const ManifestEntry& entry : setupGroup_->entries) {
            if (Is(entry.key, "Shortcut") && Is(entry.value, kPlayShortcut) && !playLine)
                playLine = &entry;
        }
        const RecordRef record = RecordRef::Product("shortcut");
        const auto none = [](const ManifestEntry&) { return false; };
        if (const ManifestSection* play = iniSections_.Take(kPlayShortcut)) {
            ReadDerivedSection(kManifestFile, *play, std::string(kPlayShortcut),
                               {"Template", "WorkingDirectory", "Command", "Icon"}, record,
                               [this](const ManifestEntry& entry) {
                                   if (!Is(entry.key, "Parameters"))
                                       return false;
                                   product_->shortcut = entry.value;
                                   return true;
                               });
        } else if (playLine) {
            Warn(codes::kMissingSection, kManifestFile, playLine->line, record,
                 FormatText("The line %s names a section the manifest does not have; the parameters of "
                            "the play shortcut are not known from it.",
                            {Line(*playLine)}));
        }
        const std::initializer_list<std::string_view> all = {"Template", "WorkingDirectory", "Command",
                                                             "Parameters", "Icon"};
        if (const ManifestSection* uninstall = iniSections_.Take(kUninstallShortcut))
            ReadDerivedSection(kManifestFile, *uninstall, std::string(kUninstallShortcut), all, record, none);
        if (const ManifestSection* documentation = iniSections_.Take(kDocumentationShortcut)) {
            ReadDerivedSection(kManifestFile, *documentation, std::string(kDocumentationShortcut), all,
                               RecordRef::Product("readme"), none);
            ReadmeFromDocumentationShortcut(*documentation);
        }
        ReadLocalizedShortcuts(record);
    }

    // Without the localized manifest, the readme is the file that the
    // documentation shortcut opens.
    void ReadmeFromDocumentationShortcut(const ManifestSection& section)
    {
        if (product_->readme)
            return;
        for (const ManifestEntry& entry : section.entries) {
            if (Is(entry.key, "Command") && StartsWithIgnoringCase(entry.value, kDestPath)
                && !HasQuote(entry.value)) {
                product_->readme = entry.value.substr(kDestPath.size());
                return;
            }
        }
    }

    void ReadLocalizedShortcuts(const RecordRef& record)
    {
        const auto caption = [this, &record](std::optional<std::string>& field) {
            return [this, &record, &field](const ManifestEntry& entry) {
                if (!Is(entry.key, "Caption"))
                    return false;
                const std::string_view text = manifest::Unquoted(entry.value);
                if (Holds(text, kLocalizedFile, entry, record))
                    field = std::string(text);
                return true;
            };
        };
        if (localPlay_)
            ReadDerivedSection(kLocalizedFile, *localPlay_, std::string(kPlayShortcut), {}, record,
                               caption(product_->shortcutCaption));
        if (const ManifestSection* uninstall = intSections_.Take(kUninstallShortcut))
            ReadDerivedSection(kLocalizedFile, *uninstall, std::string(kUninstallShortcut), {"Caption"},
                               record, [](const ManifestEntry&) { return false; });
        if (const ManifestSection* documentation = intSections_.Take(kDocumentationShortcut)) {
            std::optional<std::string> text;
            ReadDerivedSection(kLocalizedFile, *documentation, std::string(kDocumentationShortcut), {},
                               record, caption(text));
            product_->documentationCaption = TextOf(text);
        }
    }

    // The setup group -------------------------------------------------------

    void ReadSetupGroup()
    {
        if (!setupGroup_)
            return;
        for (const ManifestEntry& entry : setupGroup_->entries) {
            if (Is(entry.key, "File"))
                ReadSetupFile(entry);
            else if (Is(entry.key, "Copy"))
                ReadSetupCopy(entry);
            else if (Is(entry.key, "Ini") || Is(entry.key, "AddIni"))
                ReadIniChange(entry, *setupGroup_, nullptr, RecordRef());
            else if (!Is(entry.key, "Shortcut"))
                TellUnknown(kManifestFile, entry, setupGroup_->name, RecordRef());
            else if (!IsOwnShortcut(entry.value))
                TellOtherShortcut(entry);
        }
        if (setupFiles_ > 0) {
            const GroupInfo& group = *doc_.groups.back();
            Warn(codes::kSetupGroupFiles, kManifestFile, firstSetupFileLine_,
                 RecordRef::Group(doc_.groups.size() - 1),
                 FormatText("[SetupGroup] installs %s other than the logo and the readme, from this line on, "
                            "where a project installs none: they are imported into the new group [%s], "
                            "which the player cannot leave out.",
                            {Counted(setupFiles_, "file", "files"), group.NameText()}));
        }
    }

    void TellOtherShortcut(const ManifestEntry& entry)
    {
        Warn(codes::kLineWithoutPlace, kManifestFile, entry.line, RecordRef::Product("shortcut"),
             FormatText("The line %s names a shortcut that a project does not make; it and its section are "
                        "not imported.",
                        {Line(entry)}));
        iniSections_.Take(entry.value);
        intSections_.Take(entry.value);
    }

    void ReadSetupFile(const ManifestEntry& entry)
    {
        const std::optional<manifest::FileForm> form = manifest::ParseFileForm(entry.value);
        if (form && !form->master) {
            const std::string& path = form->src;
            // The writer puts the logo first: without the localized manifest,
            // a bitmap before the readme is taken for it.
            const bool logo = !logoTaken_
                && (product_->logo ? path == *product_->logo
                                   : !int_ && !readmeTaken_ && path.size() > 4
                            && Is(std::string_view(path).substr(path.size() - 4), ".bmp"));
            const bool readme = !logo && !readmeTaken_ && product_->readme && path == *product_->readme;
            if (logo || readme) {
                (logo ? logoTaken_ : readmeTaken_) = true;
                if (logo && Holds(path, kManifestFile, entry, RecordRef::Product("logo")))
                    product_->logo = path;
                TellDroppedAttributes(entry, form->otherAttributes,
                                      RecordRef::Product(logo ? "logo" : "readme"));
                return;
            }
        }
        GroupInfo& group = SetupFilesGroup();
        if (AddFileEntry(entry, group, RecordRef::Group(doc_.groups.size() - 1)) && setupFiles_++ == 0)
            firstSetupFileLine_ = entry.line;
    }

    // The group that takes the other files of [SetupGroup]: required, so
    // that they are installed as before.
    GroupInfo& SetupFilesGroup()
    {
        if (setupFilesGroup_)
            return *setupFilesGroup_;
        setupFilesGroup_ =
            doc_.groups.emplace_back(std::make_unique<GroupInfo>(FreeGroupName(kSetupFilesGroup))).get();
        setupFilesGroup_->Required = 1;
        setupFilesGroup_->Selected = 1;
        return *setupFilesGroup_;
    }

    void ReadSetupCopy(const ManifestEntry& entry)
    {
        const std::optional<manifest::FileForm> form = manifest::ParseFileForm(entry.value);
        const std::string product = TextOf(product_->product);
        const std::string_view src = form ? std::string_view(form->src) : std::string_view();
        const bool inSystem = StartsWithIgnoringCase(src, kSystemFolder) && !HasQuote(src);
        const std::string_view name = inSystem ? src.substr(kSystemFolder.size()) : src;
        if (!form || form->master) {
            TellUnwrittenCopy(entry);
            return;
        }
        if (EqualsIgnoringCase(src, "System\\Manifest.*"))
            return;  // the game's manifest, which every manifest copies
        if (inSystem && !licenseTaken_ && product_->license && name == *product_->license) {
            licenseTaken_ = true;
        } else if (inSystem && !product_->linux && EqualsIgnoringCase(name, product + ".sh")) {
            product_->linux = 1;
            scriptLines_[0] = entry.line;
        } else if (inSystem && !product_->mac && EqualsIgnoringCase(name, product + "_mac.sh")) {
            product_->mac = 1;
            scriptLines_[1] = entry.line;
        } else if (inSystem && !licenseTaken_ && !product_->license) {
            licenseTaken_ = true;
            if (!Holds(name, kManifestFile, entry, RecordRef::Product("license")))
                return;
            product_->license = std::string(name);
        } else {
            TellUnwrittenCopy(entry);
            return;
        }
        TellDroppedAttributes(entry, form->otherAttributes, RecordRef::Product());
    }

    void TellUnwrittenCopy(const ManifestEntry& entry)
    {
        Warn(codes::kUnwrittenForm, kManifestFile, entry.line, RecordRef::Product(),
             FormatText("The line %s copies something other than the game's manifest, the licence or a "
                        "launch script of the product; a project writes no such line, and it is not "
                        "imported.",
                        {Line(entry)}));
    }

    // Launch scripts --------------------------------------------------------

    void ReadLaunchScripts()
    {
        const bool parametersKnown = product_->shortcut.has_value();
        std::string parametersFrom = "the play shortcut";
        const std::string product = TextOf(product_->product);
        struct Script {
            int on;
            FileRank file;
            std::string name;
            const char* separator;
            int copyLine;
        };
        const Script scripts[] = {
            {product_->linux, kLinuxScriptFile, product + ".sh", " ", scriptLines_[0]},
            {product_->mac, kMacScriptFile, product + "_mac.sh", "-bin ", scriptLines_[1]},
        };
        bool known = parametersKnown;
        for (const Script& script : scripts) {
            if (!script.on)
                continue;
            const RecordRef record = RecordRef::Product(script.file == kLinuxScriptFile ? "linux" : "mac");
            const std::optional<ManifestSource> source =
                pair_.systemFile ? pair_.systemFile(script.name) : std::nullopt;
            if (!source) {
                if (!known)
                    Warn(codes::kLaunchScriptUnread, kManifestFile, script.copyLine, record,
                         FormatText("The launch script System\\%s that this line copies is not in the game's "
                                    "System folder; the parameters it starts the game with are not known.",
                                    {script.name}));
                continue;
            }
            fileNames_[script.file] = source->name;
            const std::string executable = ScriptExecutable(script.separator);
            const auto command = manifest::ParseLaunchScript(source->text, script.separator, executable);
            if (!command) {
                Warn(codes::kLaunchScriptUnread, script.file, 0, record,
                     "The launch script is not of the form this program writes (#!/bin/sh, an empty line, "
                     "then the game and its parameters); its parameters are not imported.");
                continue;
            }
            // The script's third line starts the game.
            constexpr int kCommandLine = 3;
            if (command->executable != executable)
                Warn(codes::kValueNotKept, script.file, kCommandLine, record,
                     FormatText("The launch script starts %s; a project in the game folder %s writes scripts "
                                "that start %s.",
                                {command->executable, doc_.GameFolderText(), executable}));
            if (!known) {
                product_->shortcut = command->parameters;
                parametersFrom = "the launch script " + source->name;
                known = true;
            } else if (command->parameters != *product_->shortcut) {
                Warn(codes::kValueNotKept, script.file, kCommandLine, record,
                     FormatText("The launch script starts the game with the parameters [%s], %s with [%s]; "
                                "the project keeps those of %s.",
                                {command->parameters, parametersFrom, *product_->shortcut, parametersFrom}));
            }
        }
        if ((product_->windows || product_->linux || product_->mac) && !product_->shortcut)
            product_->shortcut = "";
    }

    // The executable that generating writes into the scripts.
    std::string ScriptExecutable(std::string_view separator) const
    {
        const std::string text = LaunchScriptText(doc_, std::string(separator));
        const std::size_t start = text.rfind('\n') + 1;
        return text.substr(start, text.size() - start - separator.size() - TextOf(product_->shortcut).size());
    }

    // What is not imported --------------------------------------------------

    // Generating the imported project writes the derived lines itself; those
    // it would write otherwise are told.
    void CompareDerivedLines()
    {
        if (derived_.empty())
            return;
        // Only the sections with derived lines are read back.
        std::unordered_set<std::string> wanted[2];
        for (const DerivedLine& line : derived_)
            wanted[line.file].insert(line.section);
        const auto keep = [](const std::unordered_set<std::string>& names) {
            return [&names](std::string_view name) { return names.contains(std::string(name)); };
        };
        const ManifestTexts texts = BuildManifest(doc_);
        const ManifestText written[] = {ParseManifestText(texts.ini, keep(wanted[0])),
                                        ParseManifestText(texts.localized, keep(wanted[1]))};
        std::unordered_map<std::string, const ManifestSection*> sections[2];
        for (int file = 0; file < 2; ++file) {
            for (const ManifestSection& section : written[file].sections)
                sections[file].try_emplace(section.name, &section);
        }
        std::unordered_set<const ManifestSection*> toldSections;
        for (const DerivedLine& line : derived_) {
            const auto found = sections[line.file].find(line.section);
            if (found == sections[line.file].end()) {
                if (toldSections.insert(line.source).second)
                    Warn(codes::kValueNotKept, line.file, line.source->line, line.record,
                         FormatText("The section [%s] is not kept: generating the project writes no such "
                                    "section.",
                                    {line.source->name}));
                continue;
            }
            const auto& entries = found->second->entries;
            const auto same =
                std::find_if(entries.begin(), entries.end(),
                             [&line](const ManifestEntry& entry) { return Is(entry.key, line.entry->key); });
            if (same == entries.end())
                Warn(codes::kValueNotKept, line.file, line.entry->line, line.record,
                     FormatText("The line %s of [%s] is not kept: generating the project writes no %s= line "
                                "there.",
                                {Line(*line.entry), line.source->name, line.entry->key}));
            else if (!EqualsIgnoringCase(same->value, line.entry->value))
                Warn(codes::kValueNotKept, line.file, line.entry->line, line.record,
                     FormatText("The line %s of [%s] is not kept: generating the project writes %s there.",
                                {Line(*line.entry), line.source->name, Line(*same)}));
        }
    }

    void TellUntakenSections()
    {
        iniSections_.ForEachUntaken([this](const ManifestSection& section) {
            Warn(codes::kSectionNamedByNothing, kManifestFile, section.line, {},
                 FormatText("The section [%s] is named by no line of [Setup] or [SetupGroup]; it is not "
                            "imported, nor its %s.",
                            {section.name, Counted(section.entries.size(), "line", "lines")}));
        });
        intSections_.ForEachUntaken([this](const ManifestSection& section) {
            Warn(codes::kSectionNamedByNothing, kLocalizedFile, section.line, {},
                 FormatText("The section [%s] belongs to nothing that the manifest names; it is not "
                            "imported, nor its %s.",
                            {section.name, Counted(section.entries.size(), "line", "lines")}));
        });
    }

    // Where the pair says nothing, the project takes the wizard's defaults:
    // said once, not for each group.
    void TellDefaults()
    {
        if (!tree_ && !doc_.groups.empty()) {
            std::string text = FormatText(
                "The manifest is not in tree mode (no Tree=True in [Setup]), so it does not say which groups "
                "are visible, optional, selected or selectable, nor their captions: %s the wizard's defaults "
                "(all off, no caption).",
                {doc_.groups.size() == 1 ? std::string("the group takes")
                                         : "the " + std::to_string(doc_.groups.size()) + " groups take"});
            if (captionsOutsideTree_)
                text += " The captions that the localized manifest holds all the same are kept, though "
                        "generating writes them only once a group is visible.";
            Tell(Severity::Note, codes::kDefaultsTaken, kManifestFile, 0, RecordRef::Group(0),
                 std::move(text));
        }
        if (!groupsWithoutFlags_.empty()) {
            const auto [g, line] = groupsWithoutFlags_.front();
            const std::size_t more = groupsWithoutFlags_.size() - 1;
            const std::string others = more ? " and " + Counted(more, "more group", "more groups") : "";
            Tell(
                Severity::Note, codes::kDefaultsTaken, kManifestFile, line, RecordRef::Group(g),
                FormatText("In tree mode each group says whether it is visible, optional and selectable, "
                           "but [%s]%s %s some of it out: what is left out takes the wizard's default (off).",
                           {doc_.groups[g]->NameText(), others, more ? "leave" : "leaves"}));
        }
    }

    const ManifestPair& pair_;
    ManifestText ini_;
    std::optional<ManifestText> int_;
    SectionTable iniSections_;
    SectionTable intSections_;
    std::string fileNames_[kFileCount];
    std::vector<std::pair<FileRank, Diagnostic>> diagnostics_;

    ProjectDocument doc_;
    ProductData* product_ = nullptr;
    std::optional<std::string> localTitle_;
    bool tree_ = false;
    std::vector<const ManifestEntry*> requirementNames_;
    std::vector<const ManifestEntry*> groupNames_;
    const ManifestSection* setupGroup_ = nullptr;
    const ManifestSection* localPlay_ = nullptr;  // [PlayShortcut] of the localized manifest
    std::vector<DerivedLine> derived_;
    std::vector<std::pair<std::size_t, int>> groupsWithoutFlags_;  // group, line of its section
    bool captionsOutsideTree_ = false;

    INIGroup* lastIniFile_ = nullptr;
    const ManifestSection* lastIniSection_ = nullptr;

    bool logoTaken_ = false;
    bool readmeTaken_ = false;
    bool licenseTaken_ = false;
    int scriptLines_[2] = {};  // the Copy= lines of the Linux and Mac scripts
    GroupInfo* setupFilesGroup_ = nullptr;
    int setupFiles_ = 0;
    int firstSetupFileLine_ = 0;
};

}  // namespace

ImportResult ImportManifestPair(const ManifestPair& pair)
{
    return Importer(pair).Run();
}

}  // namespace zpak
