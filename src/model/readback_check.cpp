#include "model/readback_check.h"

#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/property_line.h"
#include "model/record_kinds.h"
#include "platform/message_sink.h"

#include <string_view>
#include <unordered_map>

namespace zpak {

namespace {

constexpr std::size_t kMostListed = 20;

// A text shown in a message: quoted, with line breaks made visible.
std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "\"";
}

}  // namespace

const char* LineBreakProblem(std::string_view text)
{
    if (text.find('\n') != std::string_view::npos)
        return "holds a line break, which splits its line";
    if (!text.empty() && text.back() == '\r')
        return "ends with a carriage return, which is dropped";
    return nullptr;
}

const char* EntryNameProblem(std::string_view name)
{
    if (const char* problem = LineBreakProblem(name))
        return problem;
    if (name.find('=') != std::string_view::npos)
        return "holds \"=\", so it reads as a setting and the project will not open";
    if (IsSectionHeader(name))
        return "reads as a section header";
    return nullptr;
}

const char* ChangeLineProblem(const INIDefinition& entry)
{
    const std::string line = entry.ChangeLine();
    if (const char* problem = LineBreakProblem(line))
        return problem;
    const std::string_view key = std::string_view(line).substr(0, line.find('='));
    if (key.size() < line.size() && key == "name")
        return "reads as a \"name=\" line";
    if (key.size() < line.size() && key == "group")
        return "reads as a \"group=\" line";
    SilentSink silent;
    const auto pieces = SplitPropertyLine(line, ',', true, silent);
    if (pieces.size() < 3 || pieces[0] != TextOf(entry.section) || pieces[1] != TextOf(entry.key)
        || pieces[2] != TextOf(entry.value))
        return "splits differently at its commas (a \",\" outside a leading parenthesis, "
               "or unbalanced parentheses)";
    return nullptr;
}

namespace {

// Places are built only for texts that are reported: a clean project of a
// million entries must not pay for a million descriptions.
class Checker {
public:
    explicit Checker(const ProjectDocument& document) : doc_(document)
    {
        for (const auto& group : doc_.groups)
            firstGroups_.emplace(group->NameText(), group.get());
    }

    std::vector<UnreadableText> Run()
    {
        Value("the game folder", doc_.GameFolderText());
        for (const RecordKindFacts& kind : RecordKinds()) {
            for (std::size_t i = 0; !kind.header.empty() && i < kind.list.size(doc_); ++i)
                Record(kind, i, *kind.list.at(doc_, i));
        }
        return std::move(found_);
    }

private:
    void Report(std::string place, std::string reason)
    {
        found_.push_back({std::move(place), std::move(reason)});
    }

    // A key=value line gives back its value unless a line end interferes.
    template <typename Place> void Value(const Place& place, std::string_view value)
    {
        if (const char* problem = LineBreakProblem(value))
            Report(place(), problem);
    }

    void Value(const char* place, std::string_view value)
    {
        Value([place] { return std::string(place); }, value);
    }

    void Record(const RecordKindFacts& kind, std::size_t index, const ProjectNode& record)
    {
        if (kind.fields.forEach) {
            kind.fields.forEach(
                record,
                [&](std::string_view, std::string_view caption, const std::optional<std::string>& text) {
                    Value(
                        [&] {
                            return std::string(kind.name) + " " + std::to_string(index + 1) + " "
                                + std::string(caption);
                        },
                        TextOf(text));
                });
        } else if (kind.kind == RecordRef::Kind::Group) {
            Group(static_cast<const GroupInfo&>(record));
        } else if (kind.kind == RecordRef::Kind::IniFile) {
            IniFile(static_cast<const INIGroup&>(record));
        } else if (kind.kind == RecordRef::Kind::Product) {
            Product(static_cast<const ProductData&>(record));
        }
    }

    void Group(const GroupInfo& group)
    {
        const auto place = [&group](const char* field) {
            return [&group, field] { return "group " + Quoted(group.NameText()) + field; };
        };
        Value(place(" name"), group.NameText());
        Value(place(" caption"), group.GetCaption());
        Value(place(" description"), group.GetDescription());
        for (const auto& file : group.files) {
            const auto entry = [&group, &file](const char* field) {
                return [&group, &file, field] {
                    return "group " + Quoted(group.NameText()) + ", entry " + Quoted(file->NameText())
                        + field;
                };
            };
            if (const char* problem = EntryNameProblem(file->NameText()))
                Report(entry("")(), problem);
            Value(entry(" destination"), file->GetSrc());
        }
    }

    void IniFile(const INIGroup& iniFile)
    {
        const auto place = [&iniFile] { return "INI file " + Quoted(iniFile.NameText()); };
        Value([&] { return place() + " name"; }, iniFile.NameText());
        for (const auto& entry : iniFile.entries) {
            if (const char* problem = ChangeLineProblem(*entry))
                Report(place() + ", change " + Quoted(entry->ChangeLine()), problem);
        }
        if (iniFile.group && FirstGroupNamed(iniFile.group->NameText()) != iniFile.group)
            Report(place() + " group",
                   "names a group whose name an earlier group has too, so it ties to that one");
    }

    const GroupInfo* FirstGroupNamed(std::string_view name) const
    {
        const auto found = firstGroups_.find(name);
        return found == firstGroups_.end() ? nullptr : found->second;
    }

    void Product(const ProductData& product)
    {
        for (const RequirementField& field : kRequirementFields)
            Value([&field] { return "the product " + std::string(field.caption); },
                  TextOf(product.*field.member));
        for (const ProductField& field : kProductFields) {
            const auto text = field.text ? WrittenText(product, field) : std::nullopt;
            if (text)
                Value([&field] { return "the " + std::string(field.caption); }, *text);
        }
    }

    const ProjectDocument& doc_;
    // The first group of each name: the one a "group=" line ties to.
    std::unordered_map<std::string_view, const GroupInfo*> firstGroups_;
    std::vector<UnreadableText> found_;
};

}  // namespace

std::vector<UnreadableText> FindUnreadableTexts(const ProjectDocument& document)
{
    return Checker(document).Run();
}

std::string DescribeUnreadableTexts(const std::vector<UnreadableText>& texts)
{
    std::string message = "The project was saved, but these texts will not read back as written when it is "
                          "opened again. Please change them and save again:";
    const std::size_t listed = std::min(texts.size(), kMostListed);
    for (std::size_t i = 0; i < listed; ++i)
        message += "\n- " + texts[i].place + ": " + texts[i].reason + ".";
    if (texts.size() > listed)
        message += "\n(and " + std::to_string(texts.size() - listed) + " more)";
    return message;
}

}  // namespace zpak
