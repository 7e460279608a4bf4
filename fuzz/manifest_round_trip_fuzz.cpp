// Builds a project from the input, as the wizard lets an author make it
// (random groups, flags, files, wildcards, destinations, INI changes,
// requirements and product fields), generates its manifest pair and launch
// scripts, imports them, saves and reopens the import and generates again:
// every byte must come back, and the import must have nothing to warn of.
#include "fuzz_report.h"
#include "generate/launch_scripts.h"
#include "generate/manifest_writer.h"
#include "generate/product_paths.h"
#include "import/manifest_import.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "model/readback_check.h"
#include "platform/message_sink.h"
#include "rules/group_rules.h"
#include "rules/ini_change_rules.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace zpak;
using fuzz::Fail;
using fuzz::Told;

// Takes choices from the input; past its end every choice is the first.
class Choices {
public:
    Choices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Pick(std::size_t n) { return n == 0 || at_ == size_ ? 0 : data_[at_++] % n; }
    int Flag() { return static_cast<int>(Pick(2)); }

    // Texts of an author: letters, digits, blanks and the signs that the
    // manifest and the project file give a meaning to, and non-ASCII bytes.
    std::string Text(std::string_view without = {})
    {
        static const char* const pieces[] = {
            "a",        "Z",    "0",      " ",           ".",     "\\",   ",",    "(",      ")",
            "=",        ";",    "[",      "]",           "\"",    "%",    "*",    "-",      "\xE9",
            "\xC3\xA9", "Maps", "System", "Requirement", "Setup", "True", "Src=", "Master="};
        std::string text;
        for (std::size_t n = Pick(10); n > 0; --n) {
            const std::string_view piece = pieces[Pick(std::size(pieces))];
            if (piece.find_first_of(without) == std::string_view::npos)
                text += piece;
        }
        return text;
    }

    std::optional<std::string> Optional(std::string_view without = {})
    {
        if (Pick(4) == 0)
            return std::nullopt;
        return Text(without);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// File names hold no quotes: Windows allows none, and the manifest quotes them.
constexpr std::string_view kNotInPaths = "\"";

void AddGroups(Choices& in, ProjectDocument& doc)
{
    SilentSink sink;
    for (std::size_t g = in.Pick(5); g > 0; --g) {
        const std::string name = in.Text();
        if (!CheckGroupName(name, sink) || !CheckGroupNameUnused(doc, name, sink))
            continue;
        GroupInfo& group = *doc.groups.emplace_back(std::make_unique<GroupInfo>(name));
        for (int* flag : {&group.Selectable, &group.Required, &group.Visible, &group.Selected})
            *flag = in.Flag();
        group.caption = in.Optional();
        group.description = in.Optional();
        for (std::size_t f = in.Pick(6); f > 0; --f) {
            std::string entry = in.Text(kNotInPaths);
            if (in.Pick(3) == 0)
                entry += "\\*.u";
            if (entry.empty() || EntryNameProblem(entry))
                continue;
            group.AddFile(entry).src = in.Optional(kNotInPaths);
        }
    }
}

void AddIniFiles(Choices& in, ProjectDocument& doc)
{
    SilentSink sink;
    for (std::size_t i = in.Pick(4); i > 0; --i) {
        // The manifest ends the file's name at its first comma.
        const std::string name = in.Text(",");
        if (name.empty())
            continue;
        INIGroup& file = *doc.iniFiles.emplace_back(std::make_unique<INIGroup>(name));
        if (!doc.groups.empty() && in.Flag())
            file.group = doc.groups[in.Pick(doc.groups.size())].get();
        for (std::size_t e = in.Pick(4); e > 0; --e) {
            // An "=" in a section or key would end it early in the manifest.
            const IniChangeFields fields{in.Text("="), in.Text("="), in.Text(), in.Flag() != 0};
            INIDefinition change;
            StoreFields(fields, change);
            if (CheckIniChange(fields, sink) && !ChangeLineProblem(change))
                StoreFields(fields, *file.entries.emplace_back(std::make_unique<INIDefinition>()));
        }
    }
}

void AddRequirements(Choices& in, ProjectDocument& doc)
{
    for (std::size_t r = in.Pick(4); r > 0; --r) {
        RequirementInfo requirement;
        requirement.product = in.Text();
        if (requirement.product->empty())
            continue;
        bool taken = false;
        for (const auto& other : doc.requirements)
            taken = taken || other->product == requirement.product;
        if (taken)
            continue;
        auto& added = *doc.requirements.emplace_back(std::make_unique<RequirementInfo>());
        added.product = requirement.product;
        for (auto* text :
             {&added.version, &added.developer, &added.productURL, &added.versionURL, &added.developerURL})
            *text = in.Text();
    }
}

void AddProduct(Choices& in, ProjectDocument& doc)
{
    ProductData& p = *(doc.product = std::make_unique<ProductData>());
    p.product = in.Text("\\/:\"");
    if (ProductNameProblem(doc))
        p.product = "Mod";
    for (auto* text : {&p.version, &p.developer, &p.productURL, &p.versionURL, &p.developerURL, &p.title,
                       &p.archive, &p.shortcut, &p.shortcutCaption})
        *text = in.Optional();
    for (auto* path : {&p.readme, &p.license, &p.logo})
        *path = in.Optional(kNotInPaths);
    p.documentationCaption = in.Flag() ? in.Text() : "";
    for (int* flag : {&p.windows, &p.linux, &p.mac})
        *flag = in.Flag();
}

struct Generated {
    ManifestTexts pair;
    std::string linux;
    std::string mac;

    bool operator==(const Generated& other) const
    {
        return pair.ini == other.pair.ini && pair.localized == other.pair.localized && linux == other.linux
            && mac == other.mac;
    }
};

Generated Generate(ProjectDocument& doc)
{
    Generated out{BuildManifest(doc), {}, {}};
    if (doc.product->shortcut && doc.product->linux)
        out.linux = LinuxScript(doc).text;
    if (doc.product->shortcut && doc.product->mac)
        out.mac = MacScript(doc).text;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Choices in(data, size);
    ProjectDocument doc;
    doc.gameFolder = "C:\\Games\\" + in.Text("\\/");
    AddGroups(in, doc);
    AddIniFiles(in, doc);
    AddRequirements(in, doc);
    AddProduct(in, doc);
    // Only what the project file carries is a project the program writes.
    SerializeProject(doc);
    if (!FindUnreadableTexts(doc).empty())
        return 0;

    const Generated first = Generate(doc);
    ManifestPair pair;
    pair.gameFolder = doc.GameFolderText();
    pair.baseName = ManifestBaseName(doc);
    pair.manifest = {"M.ini", first.pair.ini};
    pair.localized = ManifestSource{"M.int", first.pair.localized};
    pair.systemFile = [&](const std::string& name) -> std::optional<ManifestSource> {
        const std::string& product = *doc.product->product;
        if (name == product + ".sh" && !first.linux.empty())
            return ManifestSource{name, first.linux};
        if (name == product + "_mac.sh" && !first.mac.empty())
            return ManifestSource{name, first.mac};
        return std::nullopt;
    };
    ImportResult result = ImportManifestPair(pair);
    const std::string project = SerializeProject(doc);
    if (!result.imported)
        Fail("not imported", Told(result.diagnostics));
    for (const Diagnostic& diagnostic : result.diagnostics) {
        if (diagnostic.severity != Severity::Note)
            Fail("the import warns",
                 Told(result.diagnostics) + first.pair.ini + first.pair.localized + project);
    }
    ProjectDocument reopened;
    SilentSink sink;
    const std::string imported = SerializeProject(result.document);
    if (!ParseProject(imported, reopened, sink))
        Fail("the import does not open", imported);
    const Generated again = Generate(reopened);
    if (!(again == first))
        Fail("generated differently",
             project + "----\n" + imported + "----\n" + first.pair.ini + first.pair.localized + first.linux
                 + "\n" + first.mac + "\n----\n" + again.pair.ini + again.pair.localized + again.linux + "\n"
                 + again.mac);
    return 0;
}
