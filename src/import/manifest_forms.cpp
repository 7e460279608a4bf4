#include "import/manifest_forms.h"

#include "platform/text_case.h"

namespace zpak::manifest {

namespace {

constexpr std::string_view kSystemFolder = "System\\";

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// One "name=value" of an attribute list; the rest of the list after it (and
// its ",") in `rest`. Nothing when a quote is left open or "=" is missing.
struct Attribute {
    std::string_view name;
    std::string_view value;
    std::string_view written;
};

std::optional<Attribute> NextAttribute(std::string_view& rest)
{
    constexpr auto npos = std::string_view::npos;
    const std::size_t equals = rest.find('=');
    if (equals == npos || rest.substr(0, equals).find(',') != npos)
        return std::nullopt;
    Attribute attribute;
    attribute.name = Trim(rest.substr(0, equals));
    std::size_t start = equals + 1;
    while (start < rest.size() && (rest[start] == ' ' || rest[start] == '\t'))
        ++start;
    std::size_t end = npos;  // the "," after the attribute
    if (start < rest.size() && rest[start] == '"') {
        const std::size_t close = rest.find('"', start + 1);
        if (close == npos)
            return std::nullopt;
        attribute.value = rest.substr(start + 1, close - start - 1);
        end = rest.find(',', close);
        if (!Trim(rest.substr(close + 1, end - close - 1)).empty())
            return std::nullopt;
    } else {
        end = rest.find(',', start);
        attribute.value = Trim(rest.substr(start, end - start));
    }
    attribute.written = Trim(rest.substr(0, end));
    rest = end == npos ? std::string_view() : rest.substr(end + 1);
    return attribute;
}

}  // namespace

std::optional<FileForm> ParseFileForm(std::string_view value)
{
    value = Trim(value);
    if (value.size() < 2 || value.front() != '(' || value.back() != ')')
        return std::nullopt;
    std::string_view rest = value.substr(1, value.size() - 2);
    FileForm form;
    bool hasSrc = false;
    while (!Trim(rest).empty()) {
        const std::optional<Attribute> attribute = NextAttribute(rest);
        if (!attribute)
            return std::nullopt;
        if (!hasSrc && EqualsIgnoringCase(attribute->name, "Src")) {
            form.src = attribute->value;
            hasSrc = true;
        } else if (!form.master && EqualsIgnoringCase(attribute->name, "Master")) {
            form.master = std::string(attribute->value);
        } else {
            form.otherAttributes.emplace_back(attribute->written);
        }
    }
    if (!hasSrc)
        return std::nullopt;
    return form;
}

IniChangeFault ParseIniChange(std::string_view text, IniChangeForm& change)
{
    if (text.size() < kSystemFolder.size()
        || !EqualsIgnoringCase(text.substr(0, kSystemFolder.size()), kSystemFolder))
        return IniChangeFault::OutsideSystem;
    text.remove_prefix(kSystemFolder.size());
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return IniChangeFault::NoComma;
    const std::string_view setting = text.substr(comma + 1);
    const std::size_t equals = setting.find('=');
    if (equals == std::string_view::npos)
        return IniChangeFault::NoEquals;
    const std::size_t dot = setting.rfind('.', equals);
    if (dot == std::string_view::npos)
        return IniChangeFault::NoDot;
    change.file = text.substr(0, comma);
    change.section = setting.substr(0, dot);
    change.key = setting.substr(dot + 1, equals - dot - 1);
    change.value = setting.substr(equals + 1);
    return IniChangeFault::None;
}

bool SplitAtEarlierDot(IniChangeForm& change)
{
    const std::size_t dot = change.section.rfind('.');
    if (dot == std::string::npos)
        return false;
    change.key = change.section.substr(dot + 1) + "." + change.key;
    change.section.resize(dot);
    return true;
}

std::optional<LaunchCommand> ParseLaunchScript(std::string_view text, std::string_view separator,
                                               std::string_view executable)
{
    constexpr std::string_view kShell = "#!/bin/sh";
    if (!text.starts_with(kShell))
        return std::nullopt;
    text.remove_prefix(kShell.size());
    // The lines end with LF as this program writes them, or CR LF after an
    // editor; line breaks after the last line do not count.
    const std::string_view lineEnd = text.starts_with("\r\n") ? "\r\n" : "\n";
    if (!text.starts_with(std::string(lineEnd) + std::string(lineEnd)))
        return std::nullopt;
    std::string_view command = text.substr(2 * lineEnd.size());
    while (command.ends_with('\n') || command.ends_with('\r'))
        command.remove_suffix(1);
    if (command.find('\n') != std::string_view::npos)
        return std::nullopt;
    const std::size_t cut = command.starts_with(std::string(executable) + std::string(separator))
        ? executable.size()
        : command.find(separator);
    if (cut == std::string_view::npos)
        return std::nullopt;
    return LaunchCommand{std::string(command.substr(0, cut)),
                         std::string(command.substr(cut + separator.size()))};
}

std::string_view Unquoted(std::string_view caption)
{
    if (caption.size() >= 2 && caption.front() == '"' && caption.back() == '"')
        return caption.substr(1, caption.size() - 2);
    return caption;
}

}  // namespace zpak::manifest
