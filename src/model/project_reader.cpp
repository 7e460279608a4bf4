#include "model/project_reader.h"

#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/project_format.h"
#include "model/property_line.h"
#include "model/record_kinds.h"
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
        if (const RecordKindFacts* kind = KindOfHeader(line))
            return HandleHeader(*kind, lineNumber);

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            if (Within(RecordRef::Kind::IniFile))
                return HandleChangeLine(line, lineNumber);
            if (Within(RecordRef::Kind::Group)) {
                entry_ = &group_->AddFile(std::string(line));
                Note(entry_);
                return true;
            }
            return Fail("Error reading file at line: %d", {std::to_string(lineNumber)});
        }

        if (!record_)
            return Fail("Corrupt ZPAK Project File. Attribute defined w/o Type Definition.", {});

        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (key == "name") {
            if (Within(RecordRef::Kind::Group))
                groupsByName_.Rename(*group_, std::string(value));
            else
                record_->SetName(std::string(value));
            return true;
        }
        if (Within(RecordRef::Kind::IniFile))
            return HandleIniKey(line, key, value, lineNumber);
        if (key == "recurse") {
            if (!entry_)
                return Fail("Require File Definition before assigning the Recurse. See Line #%d",
                            {std::to_string(lineNumber)});
            entry_->recurse = 1;
            return true;
        }
        if (Within(RecordRef::Kind::Group))
            return HandleGroupKey(line, key, value, lineNumber);
        return HandleFieldKey(line, key, value, lineNumber);
    }

    bool Within(RecordRef::Kind kind) const { return kind_ && kind_->kind == kind; }

    bool HandleHeader(const RecordKindFacts& kind, int lineNumber)
    {
        if (kind.kind == RecordRef::Kind::Product && doc_.product)
            return Fail("Error: More than one mod product is defined. See Line #%d",
                        {std::to_string(lineNumber)});
        ProjectNode& record = kind.list.append(doc_);
        if (!kind.startName.empty())
            record.SetName(std::string(kind.startName));
        Enter(kind, &record);
        if (kind.kind == RecordRef::Kind::Group) {
            group_ = static_cast<GroupInfo*>(&record);
            groupsByName_.Add(*group_);
        } else if (kind.kind == RecordRef::Kind::IniFile) {
            ini_ = static_cast<INIGroup*>(&record);
        }
        Note(&record);
        return true;
    }

    // A header does not reset the current entry: a stray src= or recurse=
    // after it still finds the entry of an earlier group.
    void Enter(const RecordKindFacts& kind, ProjectNode* record)
    {
        kind_ = &kind;
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

    // A key of the kind's field table. Product keys act on the product also
    // inside a [Requirement] section.
    bool HandleFieldKey(std::string_view line, std::string_view key, std::string_view value, int lineNumber)
    {
        if (kind_->fields.read && kind_->fields.read(*record_, key, value)) {
            NoteKey(record_, key);
            return true;
        }
        if (!Within(RecordRef::Kind::Requirement) && !Within(RecordRef::Kind::Product)) {
            const std::string_view header = kind_->header;
            return Fail("Parser could not interpret the %s attribute %s at line #%d",
                        {header.substr(1, header.size() - 2), line, std::to_string(lineNumber)});
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
    const RecordKindFacts* kind_ = nullptr;  // of the section being read
    ProjectNode* record_ = nullptr;
    GroupInfo* group_ = nullptr;
    INIGroup* ini_ = nullptr;
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
        // The folder is named: the user has to find it, or the one it should have been.
        sink.ShowMessage("The game path referenced by the project is invalid. Please update the path.\n"
                         + (document.GameFolderText().empty()
                                ? std::string("The project names no game folder.")
                                : "Game path: " + document.GameFolderText()));
    return OpenResult::Opened;
}

}  // namespace zpak
