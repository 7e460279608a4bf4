#include "generate/install_preview.h"

#include "ini/ini_file.h"
#include "model/project_document.h"
#include "model/relative_path.h"
#include "platform/folder_index.h"
#include "platform/text_case.h"
#include "platform/utf8_text.h"

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <unordered_set>

namespace zpak {

namespace {

namespace fs = std::filesystem;

std::string BelowGameFolder(const fs::path& gameFolder, const fs::path& file)
{
    return file.lexically_relative(gameFolder).generic_string();
}

std::uintmax_t SizeOf(const ResolvedInput& input)
{
    if (input.content)
        return input.content->size();
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(input.source, ec);
    return ec ? 0 : size;
}

// The game's INI files as the chosen changes leave them, change by change.
class IniSimulation {
public:
    IniSimulation(const fs::path& systemFolder, const fs::path& winePrefix)
        : system_(systemFolder), index_(winePrefix)
    {
    }

    PreviewIniChange Apply(const std::string& fileName, const INIDefinition& change)
    {
        PreviewIniChange shown{fileName,     change.section.value_or(""), change.key.value_or(""),
                               std::nullopt, change.value.value_or(""),   change.addNewLine != 0};
        File& file = Load(fileName);
        const std::string name = FoldedText(shown.section) + '\n' + FoldedText(shown.key);
        if (const auto found = file.values.find(name); found != file.values.end())
            shown.before = found->second;
        else if (const int section = file.ini.FindSection(shown.section);
                 section >= 0 && file.ini.FindKey(section, shown.key) >= 0)
            shown.before = file.ini.GetValue(shown.section, shown.key);
        // A new line leaves the first line of the key as it was.
        if (!shown.addsLine || !shown.before)
            file.values[name] = shown.after;
        return shown;
    }

private:
    struct File {
        IniFile ini;
        std::map<std::string, std::string> values;  // changed so far, by folded section and key
    };

    File& Load(const std::string& fileName)
    {
        auto& file = files_[FoldedText(fileName)];
        if (!file) {
            file = std::make_unique<File>();
            bool found = false;
            const auto components = ComponentsInsideFolder(fileName);
            const fs::path path =
                components && !system_.empty() ? index_.Resolve(system_, *components, &found) : fs::path();
            if (found)
                file->ini.Load(path);
        }
        return *file;
    }

    fs::path system_;
    FolderIndex index_;
    std::map<std::string, std::unique_ptr<File>> files_;
};

std::string RequirementText(const RequirementInfo& requirement)
{
    std::string text = requirement.product.value_or("");
    if (requirement.version && !requirement.version->empty())
        text += ' ' + *requirement.version;
    if (requirement.developer && !requirement.developer->empty())
        text += " (" + *requirement.developer + ')';
    return text;
}

void AddLaunchers(const ProjectDocument& document, const ResolvedRun& run, InstallPreview& preview)
{
    const ProductData* product = document.product.get();
    if (!product || !product->shortcut)
        return;
    preview.launchers.push_back("Shortcut \"" + product->shortcutCaption.value_or("") + "\" runs "
                                + product->shortcut.value_or(""));
    for (const ResolvedInput& input : run.inputs) {
        if (input.kind == ResolvedInput::Kind::Script)
            preview.launchers.push_back("Launch script " + input.destination);
    }
}

// `"name":[...]`; when an item is not valid UTF-8, also `"nameHex":[...]`
// with the bytes of those items (null for the others), as JsonField does.
std::string JsonArray(std::string_view name, const std::vector<std::string>& items)
{
    std::string out = JsonString(name) + ":[";
    std::string hex;
    bool anyHex = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto bytes = HexOfInvalidUtf8(items[i]);
        out += (i ? "," : "") + JsonString(items[i]);
        hex += (i ? "," : "") + (bytes ? '"' + *bytes + '"' : std::string("null"));
        anyHex = anyHex || bytes;
    }
    out += ']';
    if (anyHex)
        out += ',' + JsonString(std::string(name) + "Hex") + ":[" + hex + ']';
    return out;
}

}  // namespace

std::vector<std::size_t> DefaultGroups(const ProjectDocument& document)
{
    std::vector<std::size_t> groups;
    for (std::size_t g = 0; g < document.groups.size(); ++g) {
        if (document.groups[g]->Required || document.groups[g]->Selected)
            groups.push_back(g);
    }
    return groups;
}

GroupChoice ChooseGroups(const ProjectDocument& document, const std::vector<std::string>& names)
{
    std::vector<bool> chosen(document.groups.size());
    for (std::size_t g = 0; g < document.groups.size(); ++g)
        chosen[g] = document.groups[g]->Required != 0;
    for (const std::string& name : names) {
        const auto found =
            std::find_if(document.groups.begin(), document.groups.end(),
                         [&](const auto& group) { return EqualsIgnoringCase(group->NameText(), name); });
        if (found == document.groups.end())
            return {{}, name};
        chosen[static_cast<std::size_t>(found - document.groups.begin())] = true;
    }
    GroupChoice choice;
    for (std::size_t g = 0; g < chosen.size(); ++g) {
        if (chosen[g])
            choice.groups.push_back(g);
    }
    return choice;
}

InstallPreview PreviewInstall(const ProjectDocument& document, const ResolvedRun& run,
                              const std::vector<std::size_t>& groups, const fs::path& winePrefix)
{
    InstallPreview preview;
    std::vector<bool> chosen(document.groups.size());
    for (std::size_t g : groups) {
        if (g < chosen.size() && !chosen[g]) {
            chosen[g] = true;
            preview.groups.push_back(document.groups[g]->NameText());
        }
    }
    std::sort(preview.groups.begin(), preview.groups.end(), [&](const std::string& a, const std::string& b) {
        const auto index = [&](const std::string& name) {
            return std::find_if(document.groups.begin(), document.groups.end(),
                                [&](const auto& group) { return group->NameText() == name; })
                - document.groups.begin();
        };
        return index(a) < index(b);
    });

    std::unordered_set<std::string> copied;  // destinations, folded
    for (const ResolvedInput& input : run.inputs) {
        const bool entry = input.kind == ResolvedInput::Kind::Entry;
        if (entry ? !chosen[input.group]
                  : input.kind != ResolvedInput::Kind::Readme && input.kind != ResolvedInput::Kind::Script)
            continue;
        // The readme is most often a file of a group as well.
        if (!copied.insert(FoldedText(input.destination)).second)
            continue;
        PreviewFile file{entry ? document.groups[input.group]->NameText() : std::string(),
                         BelowGameFolder(run.gameFolder, input.source), input.destination, SizeOf(input)};
        preview.totalSize += file.size;
        preview.files.push_back(std::move(file));
    }

    IniSimulation ini(run.systemFolder, winePrefix);
    for (const auto& file : document.iniFiles) {
        const auto group = std::find_if(document.groups.begin(), document.groups.end(),
                                        [&](const auto& g) { return g.get() == file->group; });
        if (group != document.groups.end()
            && !chosen[static_cast<std::size_t>(group - document.groups.begin())])
            continue;
        for (const auto& change : file->entries)
            preview.iniChanges.push_back(ini.Apply(file->NameText(), *change));
    }

    for (const auto& requirement : document.requirements)
        preview.requirements.push_back(RequirementText(*requirement));
    AddLaunchers(document, run, preview);
    return preview;
}

std::string PreviewText(const InstallPreview& preview)
{
    std::ostringstream out;
    out << "Groups installed:";
    for (const std::string& group : preview.groups)
        out << ' ' << group;
    out << "\n\nFiles copied (" << preview.files.size() << ", " << preview.totalSize << " bytes):\n";
    for (const PreviewFile& file : preview.files)
        out << "  " << file.source << " -> " << file.destination << "  " << file.size << " bytes"
            << (file.group.empty() ? "" : "  [" + file.group + ']') << '\n';
    out << "\nINI changes:" << (preview.iniChanges.empty() ? " none" : "") << '\n';
    for (const PreviewIniChange& change : preview.iniChanges) {
        out << "  System\\" << change.file << " [" << change.section << "] " << change.key << '\n'
            << "    before: " << (change.before ? change.key + '=' + *change.before : "(no such line)")
            << '\n'
            << "    after:  " << change.key << '=' << change.after
            << (change.addsLine ? "  (a new line)" : "") << '\n';
    }
    out << "\nRequired products:" << (preview.requirements.empty() ? " none" : "") << '\n';
    for (const std::string& requirement : preview.requirements)
        out << "  " << requirement << '\n';
    out << "\nShortcut and launch scripts:" << (preview.launchers.empty() ? " none" : "") << '\n';
    for (const std::string& launcher : preview.launchers)
        out << "  " << launcher << '\n';
    out << "\nTotal: " << preview.files.size() << " files, " << preview.totalSize << " bytes\n";
    return out.str();
}

std::string PreviewJson(const InstallPreview& preview)
{
    std::string out = "{" + JsonArray("groups", preview.groups) + ",\"files\":[";
    for (std::size_t i = 0; i < preview.files.size(); ++i) {
        const PreviewFile& file = preview.files[i];
        out += (i ? ",{" : "{") + JsonField("group", file.group) + ',' + JsonField("source", file.source)
            + ',' + JsonField("destination", file.destination) + ",\"size\":" + std::to_string(file.size)
            + '}';
    }
    out += "],\"iniChanges\":[";
    for (std::size_t i = 0; i < preview.iniChanges.size(); ++i) {
        const PreviewIniChange& change = preview.iniChanges[i];
        out += (i ? ",{" : "{") + JsonField("file", change.file) + ',' + JsonField("section", change.section)
            + ',' + JsonField("key", change.key) + ','
            + (change.before ? JsonField("before", *change.before) : "\"before\":null") + ','
            + JsonField("after", change.after) + ",\"addsLine\":" + (change.addsLine ? "true" : "false")
            + '}';
    }
    out += "]," + JsonArray("requirements", preview.requirements) + ','
        + JsonArray("launchers", preview.launchers) + ",\"totalSize\":" + std::to_string(preview.totalSize)
        + "}\n";
    return out;
}

}  // namespace zpak
