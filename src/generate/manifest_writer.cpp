#include "generate/manifest_writer.h"

#include "generate/product_paths.h"
#include "model/project_document.h"
#include "model/property_line.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace zpak {

namespace {

// Builds a text whose every line ends with CR LF.
class ManifestText {
public:
    void Line(std::string_view text = {})
    {
        text_ += text;
        text_ += "\r\n";
    }

    std::string& Text() { return text_; }

private:
    std::string text_;
};

const char* TrueFalse(int flag)
{
    return flag ? "True" : "False";
}

// "Help\Frontier\Readme.txt" gives "\Help\Frontier"; a bare file name nothing.
std::string ReadmeFolder(const std::string& readme)
{
    const std::size_t cut = readme.rfind('\\');
    return cut == std::string::npos ? std::string() : "\\" + readme.substr(0, cut);
}

class ManifestBuilder {
public:
    explicit ManifestBuilder(const ProjectDocument& document)
        : doc_(document), product_(*document.product),
          tree_(std::ranges::any_of(document.groups, [](const auto& g) { return g->Visible; })),
          shortcuts_(product_.shortcut && product_.windows)
    {
        for (const auto& iniFile : doc_.iniFiles)
            tied_[iniFile->group].push_back(iniFile.get());
    }

    ManifestTexts Build()
    {
        Setup();
        for (const auto& requirement : doc_.requirements) {
            ini_.Line();
            ini_.Line("[" + TextOf(requirement->product) + "Requirement]");
            ini_.Line("Product=" + TextOf(requirement->product));
            ini_.Line("Version=" + TextOf(requirement->version));
        }
        SetupGroup();
        for (const auto& group : doc_.groups)
            Group(*group);
        if (shortcuts_)
            ShortcutSections();
        Localized();
        return {std::move(ini_.Text()), std::move(int_.Text())};
    }

private:
    void Setup()
    {
        ini_.Line("[Setup]");
        ini_.Line("Product=" + TextOf(product_.product));
        ini_.Line("Language=int");
        ini_.Line("Version=" + TextOf(product_.version));
        ini_.Line("Archive=" + product_.GetArchiveName());
        ini_.Line("SrcPath=.");
        ini_.Line("MasterPath=..");
        ini_.Line("MasterPathCorvexGameContent=..");
        for (const auto& requirement : doc_.requirements)
            ini_.Line("Requires=" + TextOf(requirement->product) + "Requirement");
        ini_.Line("Group=SetupGroup");
        for (const auto& group : doc_.groups)
            ini_.Line("Group=" + group->NameText());
        if (!TextOf(product_.license).empty())
            ini_.Line("License=" + std::string(LastPiece(*product_.license, '\\')));
        if (tree_) {
            ini_.Line("Tree=True");
            ini_.Line("Visible=true");
        }
    }

    void SetupGroup()
    {
        ini_.Line();
        ini_.Line("[SetupGroup]");
        ini_.Line("Copy=(Src=System\\Manifest.*,Flags=3)");
        if (product_.logo)
            ini_.Line("File=(Src=\"" + *product_.logo + "\")");
        if (product_.license)
            ini_.Line("Copy=(Src=\"System\\" + *product_.license + "\")");
        if (product_.readme)
            ini_.Line("File=(Src=\"" + *product_.readme + "\")");
        if (shortcuts_) {
            ini_.Line("Shortcut=PlayShortcut");
            ini_.Line("Shortcut=UninstallShortcut");
            ini_.Line("Shortcut=DocumentationShortcut");
        }
        // The run writes the scripts beside the pair.
        if (product_.shortcut && product_.linux)
            ini_.Line("Copy=(Src=\"System\\" + LinuxScriptName(doc_) + "\")");
        if (product_.shortcut && product_.mac)
            ini_.Line("Copy=(Src=\"System\\" + MacScriptName(doc_) + "\")");
        IniChanges(nullptr);
    }

    void Group(const GroupInfo& group)
    {
        ini_.Line();
        ini_.Line("[" + group.NameText() + "]");
        if (tree_) {
            ini_.Line(std::string("Visible=") + TrueFalse(group.Visible));
            ini_.Line(std::string("Optional=") + TrueFalse(!group.Required));
            if (group.Selected)
                ini_.Line("Selected=True");
            ini_.Line(std::string("Selectable=") + TrueFalse(group.Selectable));
        }
        for (const auto& file : group.files) {
            if (file->GetSrc().empty())
                ini_.Line("File=(Src=\"" + file->NameText() + "\")");
            else
                ini_.Line("File=(Src=\"" + file->GetSrc() + "\",          Master=\"" + file->NameText()
                          + "\")");
        }
        IniChanges(&group);
    }

    void IniChanges(const GroupInfo* group)
    {
        const auto tied = tied_.find(group);
        if (tied == tied_.end())
            return;
        for (const INIGroup* iniFile : tied->second) {
            for (const auto& entry : iniFile->entries)
                WriteIniChangeLine(ini_.Text(), *iniFile, *entry);
        }
    }

    void Shortcut(const std::string& name)
    {
        ini_.Line();
        ini_.Line("[" + name + "]");
        ini_.Line("Template=%CommonProgramsPath%\\%LocalProduct%\\%Caption%.lnk");
    }

    void ShortcutSections()
    {
        Shortcut("PlayShortcut");
        ini_.Line("WorkingDirectory=%DestPath%\\System");
        ini_.Line("Command=%DestPath%\\System\\" + GameExecutableName(doc_.GameFolderText()) + ".exe");
        ini_.Line("Parameters=" + *product_.shortcut);
        ini_.Line("Icon=%DestPath%\\Help\\Corvex.ico");

        Shortcut("UninstallShortcut");
        ini_.Line("WorkingDirectory=%DestPath%\\System");
        ini_.Line("Command=%DestPath%\\System\\Setup.exe");
        ini_.Line("Parameters=uninstall \"%Product%\"");
        ini_.Line("Icon=%DestPath%\\System\\Setup.exe,0");

        if (product_.readme) {
            Shortcut("DocumentationShortcut");
            ini_.Line("WorkingDirectory=%DestPath%" + ReadmeFolder(*product_.readme));
            ini_.Line("Command=%DestPath%\\" + *product_.readme);
            ini_.Line("Parameters=");
            ini_.Line("Icon=");
        }
    }

    void LocalizedIdentity(const RequirementInfo& record)
    {
        int_.Line("ProductURL=" + TextOf(record.productURL));
        int_.Line("VersionURL=" + TextOf(record.versionURL));
        int_.Line("Developer=" + TextOf(record.developer));
        int_.Line("DeveloperURL=" + TextOf(record.developerURL));
    }

    void Localized()
    {
        const std::string title = product_.GetTitle();
        int_.Line("[Setup]");
        int_.Line("LocalProduct=" + TextOf(product_.product));
        if (product_.readme)
            int_.Line("ReadMe=" + *product_.readme);
        int_.Line("SetupWindowTitle=" + title);
        int_.Line("AutoplayWindowTitle=" + title);
        LocalizedIdentity(product_);
        if (!TextOf(product_.license).empty())
            int_.Line("License=" + *product_.license);
        if (product_.logo)
            int_.Line("Logo=" + *product_.logo);
        for (const auto& requirement : doc_.requirements) {
            int_.Line();
            int_.Line("[" + TextOf(requirement->product) + "Requirement]");
            int_.Line("LocalProduct=" + TextOf(requirement->product));
            LocalizedIdentity(*requirement);
        }
        if (shortcuts_) {
            int_.Line();
            int_.Line("[PlayShortcut]");
            int_.Line("Caption=\"" + TextOf(product_.shortcutCaption) + "\"");
        }
        if (tree_) {
            for (const auto& group : doc_.groups) {
                if (group->GetCaption().empty())
                    continue;
                int_.Line();
                int_.Line("[" + group->NameText() + "]");
                int_.Line("Caption=" + group->GetCaption());
                int_.Line("Description=" + group->GetDescription());
            }
        }
        if (shortcuts_) {
            int_.Line();
            int_.Line("[UninstallShortcut]");
            int_.Line("Caption=\"UnInstall " + TextOf(product_.product) + "\"");
            if (product_.readme) {
                int_.Line();
                int_.Line("[DocumentationShortcut]");
                int_.Line("Caption=\"" + product_.GetDocumentationCaption() + "\"");
            }
        }
    }

    const ProjectDocument& doc_;
    const ProductData& product_;
    const bool tree_;
    const bool shortcuts_;
    // The INI files tied to each group (none: the setup group), in the project's order.
    std::unordered_map<const GroupInfo*, std::vector<const INIGroup*>> tied_;
    ManifestText ini_;
    ManifestText int_;
};

}  // namespace

void WriteIniChangeLine(std::string& out, const INIGroup& iniFile, const INIDefinition& entry)
{
    out += entry.addNewLine ? "AddIni=System\\" : "Ini=System\\";
    out += iniFile.NameText();
    out += ',';
    out += TextOf(entry.section);
    out += '.';
    out += TextOf(entry.key);
    out += '=';
    out += TextOf(entry.value);
    out += "\r\n";
}

ManifestTexts BuildManifest(const ProjectDocument& document)
{
    return ManifestBuilder(document).Build();
}

}  // namespace zpak
