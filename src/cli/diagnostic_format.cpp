#include "cli/diagnostic_format.h"

#include "model/record_kinds.h"
#include "platform/utf8_text.h"

#include <ostream>

namespace zpak {

namespace {

const char* SeverityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Note:
        return "note";
    }
    return "error";
}

// Workflow commands call a note a notice.
const char* GitHubSeverityName(Severity severity)
{
    return severity == Severity::Note ? "notice" : SeverityName(severity);
}

// Workflow commands end a value at a line break, and a property also at
// ":" and ",".
std::string GitHubEscape(std::string_view text, bool property)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '%':
            out += "%25";
            break;
        case '\r':
            out += "%0D";
            break;
        case '\n':
            out += "%0A";
            break;
        case ':':
            out += property ? "%3A" : ":";
            break;
        case ',':
            out += property ? "%2C" : ",";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The text without what the line and the exit status already say: the
// window's "See Line #N" and "Cannot continue generating the product.".
std::string_view ConciseText(std::string_view text)
{
    constexpr std::string_view kCannotContinue = " Cannot continue generating the product.";
    if (text.ends_with(kCannotContinue))
        return text.substr(0, text.size() - kCannotContinue.size());
    const std::size_t see = text.rfind(" See Line #");
    if (see != std::string_view::npos
        && text.find_first_not_of("0123456789", see + 11) == std::string_view::npos)
        return text.substr(0, see);
    return text;
}

void WriteJson(std::ostream& out, const Diagnostic& d, std::string_view file)
{
    out << "{\"severity\":\"" << SeverityName(d.severity) << "\"," << JsonField("code", d.code) << ','
        << JsonField("file", file) << ",\"line\":" << d.line << ',' << JsonField("page", PageName(d.page))
        << ",\"record\":{\"kind\":\"" << FactsOf(d.record.kind).name << "\",\"index\":" << d.record.index
        << ",\"child\":" << d.record.child << ',' << JsonField("field", d.record.field) << "},"
        << JsonField("text", d.text) << "}\n";
}

}  // namespace

void WriteDiagnostic(std::ostream& out, const Diagnostic& d, std::string_view project,
                     DiagnosticFormat format)
{
    const std::string_view file = d.file.empty() ? project : d.file;
    switch (format) {
    case DiagnosticFormat::Text:
        out << file;
        if (d.line > 0)
            out << ':' << d.line;
        out << ": " << SeverityName(d.severity) << ": " << ConciseText(d.text) << " [" << d.code << "]\n";
        break;
    case DiagnosticFormat::GitHub:
        out << "::" << GitHubSeverityName(d.severity) << " file=" << GitHubEscape(file, true);
        if (d.line > 0)
            out << ",line=" << d.line;
        out << ",title=" << d.code << "::" << GitHubEscape(ConciseText(d.text), false) << '\n';
        break;
    case DiagnosticFormat::Json:
        WriteJson(out, d, file);
        break;
    }
}

}  // namespace zpak
