#include "model/project_reader.h"

#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/project_format.h"
#include "model/property_line.h"
#include "model/record_lines.h"
#include "platform/game_path.h"
#include "platform/message_sink.h"
#include "platform/readable_file.h"
#include "platform/text_format.h"

#include <cerrno>
#include <cstring>
#include <unordered_map>

namespace zpak {

namespace {

enum class Kind { None, INI, Group, Requirement, Product };

// Hands out the lines of a text: a line ends at LF, a CR just before the LF
// is not part of it, and the last line needs no line end.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line)
    {
        if (pos_ >= text_.size())
            return false;
        const void* found = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
        std::size_t end =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data()) : text_.size();
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (found && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The first group of each name, as ProjectDocument::FindGroupByName gives it,
// kept as the groups are read: a "group=" line finds its group at once
// instead of comparing every group's name. Names compare exactly.
class GroupsByName {
public:
    explicit GroupsByName(const ProjectDocument& document)
    {
        for (const auto& group : document.groups)
            Add(*group);
    }

    GroupInfo* Find(std::string_view name) const
    {
        const auto found = first_.find(std::string(name));
        return found == first_.end() ? nullptr : found->second;
    }

    // A group already named keeps its place.
    void Add(GroupInfo& group) { first_.emplace(group.NameText(), &group); }

    // Only the group being read is renamed, and none comes after it: it stops
    // being the first of its old name, as any earlier one of that name is.
    void Rename(GroupInfo& group, std::string name)
    {
        const auto found = first_.find(group.NameText());
        if (found != first_.end() && found->second == &group)
            first_.erase(found);
        group.SetName(std::move(name));
        Add(group);
    }

private:
    std::unordered_map<std::string, GroupInfo*> first_;
};

// Passes messages on, noting the line being read for each.
class LineNotingSink final : public MessageSink {
public:
    LineNotingSink(MessageSink& target, RecordLines* lines, const int& currentLine)
        : target_(target), lines_(lines), currentLine_(currentLine)
    {
    }

    void ShowMessage(const std::string& text) override
    {
        if (lines_)
            lines_->messageLines.push_back(currentLine_);
        target_.ShowMessage(text);
    }

private:
    MessageSink& target_;
    RecordLines* lines_;
    const int& currentLine_;
};

class ProjectReader {
public:
    ProjectReader(ProjectDocument& document, MessageSink& sink, RecordLines* lines)
        : doc_(document), sink_(sink, lines, currentLine_), lines_(lines), groupsByName_(document)
    {
    }

    bool Read(std::string_view text)
    {
        LineCursor lines(text);
        std::string_view line;
        doc_.gameFolder = lines.Next(line) ? std::string(line) : std::string();
        lines.Next(line);  // the format version, not checked

        int lineNumber = 2;
        while (lines.Next(line)) {
            ++lineNumber;
            currentLine_ = lineNumber;
            if (!HandleLine(line, lineNumber))
                return false;
        }
        return true;
    }

private:
    bool Fail(std::string_view pattern, std::initializer_list<std::string_view> args)
    {
        if (lines_)
            lines_->errorLine = currentLine_;
        sink_.ShowMessage(FormatText(pattern, args));
        return false;
    }

    void Note(const void* record)
    {
        if (lines_)
            lines_->Note(record, currentLine_);
    }

    void NoteKey(const void* record, std::string_view key)
    {
        if (lines_)
            lines_->NoteKey(record, key, currentLine_);
    }

    bool HandleLine(std::string_view line, int lineNumber)
    {
        if (format::IsSectionHeader(line))
            return HandleHeader(line, lineNumber);

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            switch (kind_) {
            case Kind::INI:
                return HandleChangeLine(line, lineNumber);
            case Kind::Group:
                entry_ = &group_->AddFile(std::string(line));
                Note(entry_);
                return true;
            default:
                return Fail("Error reading file at line: %d", {std::to_string(lineNumber)});
            }
        }

        if (!record_)
            return Fail("Corrupt ZPAK Project File. Attribute defined w/o Type Definition.", {});

        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (key == "name") {
            if (kind_ == Kind::Group)
                groupsByName_.Rename(*group_, std::string(value));
            else
                record_->SetName(std::string(value));
            return true;
        }
        if (kind_ == Kind::INI)
            return HandleIniKey(line, key, value, lineNumber);
        if (key == "recurse") {
            if (!entry_)
                return Fail("Require File Definition before assigning the Recurse. See Line #%d",
                            {std::to_string(lineNumber)});
            entry_->recurse = 1;
            return true;
        }
        if (kind_ == Kind::Group)
            return HandleGroupKey(line, key, value, lineNumber);
        return HandleRequirementKey(line, key, value, lineNumber);
    }

    bool HandleHeader(std::string_view line, int lineNumber)
    {
        if (line == format::kIniHeader) {
            // The header less its last character; the name= line that follows replaces it.
            auto& iniFile = doc_.iniFiles.emplace_back(
                std::make_unique<INIGroup>(std::string(line.substr(0, line.size() - 1))));
            Enter(Kind::INI, iniFile.get());
            ini_ = iniFile.get();
            Note(ini_);
        } else if (line == format::kGroupHeader) {
            auto& group =
                doc_.groups.emplace_back(std::make_unique<GroupInfo>(std::string(format::kUnnamedGroup)));
            Enter(Kind::Group, group.get());
            group_ = group.get();
            groupsByName_.Add(*group_);
            Note(group_);
        } else if (line == format::kRequirementHeader) {
            auto& requirement = doc_.requirements.emplace_back(std::make_unique<RequirementInfo>());
            Enter(Kind::Requirement, requirement.get());
            requirement_ = requirement.get();
            Note(requirement_);
        } else {
            if (doc_.product)
                return Fail("Error: More than one mod product is defined. See Line #%d",
                            {std::to_string(lineNumber)});
            doc_.product = std::make_unique<ProductData>();
            Enter(Kind::Product, doc_.product.get());
            requirement_ = doc_.product.get();
            Note(requirement_);
        }
        return true;
    }

    // A header does not reset the current entry: a stray src= or recurse=
    // after it still finds the entry of an earlier group.
    void Enter(Kind kind, ProjectNode* record)
    {
        kind_ = kind;
        record_ = record;
    }

    bool HandleIniKey(std::string_view line, std::string_view key, std::string_view value, int lineNumber)
    {
        if (key != "group")
            return HandleChangeLine(line, lineNumber);  // a change whose texts hold "="
        GroupInfo* group = groupsByName_.Find(value);
        if (!group)
            return Fail("Group name [%s] could not be found. See Line #%d",
                        {value, std::to_string(lineNumber)});
        ini_->group = group;
        NoteKey(ini_, key);
        return true;
    }

    bool HandleChangeLine(std::string_view line, int lineNumber)
    {
        std::vector<std::string> pieces = SplitPropertyLine(line, ',', true, sink_);
        if (pieces.size() < 3)
            return Fail("Expected at least 3 tokens for INI property. Not %d. See Line #%d",
                        {std::to_string(pieces.size()), std::to_string(lineNumber)});
        const int addNewLine = LastPiece(line, ',') == format::kAddNewLine ? 1 : 0;
        Note(&ini_->AddEntry(std::move(pieces[0]), std::move(pieces[1]), std::move(pieces[2]), addNewLine));
        return true;
    }

    bool HandleGroupKey(std::string_view line, std::string_view key, std::string_view value, int lineNumber)
    {
        if (key == "src") {
            if (!entry_)
                return Fail("Require File Definition before assigning the Src. See Line #%d",
                            {std::to_string(lineNumber)});
            entry_->src = std::string(value);
            NoteKey(entry_, key);
        } else if (key == "Selectable") {
            group_->Selectable = 1;
        } else if (key == "Selected") {
            group_->Selected = 1;
        } else if (key == "Visible") {
            group_->Visible = 1;
        } else if (key == "Required") {
            group_->Required = 1;
        } else if (key == "caption") {
            group_->caption = std::string(value);
        } else if (key == "description") {
            group_->description = std::string(value);
        } else {
            return Fail("Parser could not interpret the Group attribute %s at line #%d",
                        {line, std::to_string(lineNumber)});
        }
        return true;
    }

    // Product keys act on the product also inside a [Requirement] section.
    bool HandleRequirementKey(std::string_view line, std::string_view key, std::string_view value,
                              int lineNumber)
    {
        if (const RequirementField* field = FindRequirementField(key)) {
            requirement_->*(field->member) = std::string(value);
            NoteKey(requirement_, key);
            return true;
        }
        const ProductField* field = FindProductField(key);
        if (!field)
            return Fail("Parser could not interpret the Requirement attribute %s at line #%d",
                        {line, std::to_string(lineNumber)});
        if (!doc_.product)
            return Fail("Parser expected to see attribute %s at line #%d under a Product section",
                        {line, std::to_string(lineNumber)});
        NoteKey(doc_.product.get(), key);
        ReadField(*doc_.product, *field, value);
        return true;
    }

    ProjectDocument& doc_;
    int currentLine_ = 0;
    LineNotingSink sink_;
    RecordLines* lines_;
    GroupsByName groupsByName_;
    Kind kind_ = Kind::None;
    ProjectNode* record_ = nullptr;
    GroupInfo* group_ = nullptr;
    INIGroup* ini_ = nullptr;
    RequirementInfo* requirement_ = nullptr;
    FileInfo* entry_ = nullptr;
};

}  // namespace

bool ParseProject(std::string_view text, ProjectDocument& document, MessageSink& sink, RecordLines* lines)
{
    return ProjectReader(document, sink, lines).Read(text);
}

bool IsGameFolderValid(const std::string& folder, const std::filesystem::path& winePrefix)
{
    return IsReadableFile(GamePathToNative(folder + "\\System\\MKR.exe", winePrefix));
}

OpenResult OpenProject(const std::filesystem::path& file, ProjectDocument& document, MessageSink& sink,
                       const std::filesystem::path& winePrefix, const OpenOptions& options)
{
    std::string text;
    if (!ReadWholeFile(file, text)) {
        if (options.cannotOpenReason)
            *options.cannotOpenReason = std::strerror(errno);
        return OpenResult::CannotOpen;
    }

    ProjectDocument fresh;
    if (!ParseProject(text, fresh, sink, options.lines))
        return OpenResult::Failed;

    document = std::move(fresh);
    if (options.gameFolder)
        document.gameFolder = *options.gameFolder;
    if (!IsGameFolderValid(document.GameFolderText(), winePrefix))
        sink.ShowMessage("The game path referenced by the project is invalid. Please update the path.");
    return OpenResult::Opened;
}

}  // namespace zpak
