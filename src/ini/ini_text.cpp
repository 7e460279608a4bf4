#include "ini/ini_text.h"

#include "platform/text_case.h"

#include <map>
#include <unordered_map>

namespace zpak::ini {

namespace {

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

void Classify(IniLine& line, std::string_view raw)
{
    const std::string_view text = Trim(raw);
    if (text.empty())
        return;
    if (text.front() == ';') {
        line.kind = IniLine::Kind::Comment;
        return;
    }
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = IniLine::Kind::Section;
            line.name = Trim(text.substr(1, close - 1));
            return;
        }
    }
    line.kind = IniLine::Kind::Entry;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        line.value = text;
        return;
    }
    line.name = Trim(text.substr(0, equals));
    line.value = Trim(text.substr(equals + 1));
}

}  // namespace

std::vector<IniLine> ParseIniText(std::string_view text)
{
    std::vector<IniLine> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        IniLine line;
        line.begin = pos;
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        line.end = end;
        line.next = end;
        if (line.next < text.size())
            line.next += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        Classify(line, text.substr(pos, end - pos));
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

std::string_view LineEndOf(std::string_view text)
{
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos)
        return "\r\n";
    if (text[end] == '\n')
        return "\n";
    return end + 1 < text.size() && text[end + 1] == '\n' ? "\r\n" : "\r";
}

namespace {

// Where the updates go: before the first old entry line of their section (whose
// entry lines are dropped), right after the header when it has none, or at the
// end of the text for a section it lacks.
struct UpdatePlan {
    std::vector<bool> dropped;
    std::map<std::size_t, const SectionUpdate*> before;
    std::map<std::size_t, const SectionUpdate*> after;
    std::vector<const SectionUpdate*> appended;
};

UpdatePlan PlanUpdates(const std::vector<IniLine>& lines, const std::vector<SectionUpdate>& updates)
{
    UpdatePlan plan;
    plan.dropped.assign(lines.size(), false);
    std::unordered_map<std::string, std::size_t> firstHeader;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == IniLine::Kind::Section)
            firstHeader.emplace(FoldedText(lines[i].name), i);
    }
    for (const SectionUpdate& update : updates) {
        const auto found = firstHeader.find(FoldedText(update.name));
        if (found == firstHeader.end()) {
            plan.appended.push_back(&update);
            continue;
        }
        const std::size_t header = found->second;
        bool placed = false;
        for (std::size_t i = header + 1; i < lines.size() && lines[i].kind != IniLine::Kind::Section; ++i) {
            if (lines[i].kind != IniLine::Kind::Entry)
                continue;
            plan.dropped[i] = true;
            if (!placed)
                plan.before[i] = &update;
            placed = true;
        }
        if (!placed)
            plan.after[header] = &update;
    }
    return plan;
}

// The text being written, in the line ends of the file it replaces.
class IniWriter {
public:
    IniWriter(std::string_view eol, std::size_t size) : eol_(eol) { out_.reserve(size + 256); }

    void Raw(std::string_view text) { out_ += text; }

    void Lines(const SectionUpdate& update)
    {
        EndLine();
        for (const std::string& line : update.lines) {
            out_ += line;
            out_ += eol_;
        }
    }

    void Section(const SectionUpdate& update, bool blankBefore)
    {
        EndLine();
        if (blankBefore)
            out_ += eol_;
        out_ += '[';
        out_ += update.name;
        out_ += ']';
        Lines(update);
    }

    std::string Take() { return std::move(out_); }

private:
    void EndLine()
    {
        if (!out_.empty() && out_.back() != '\n' && out_.back() != '\r')
            out_ += eol_;
    }

    std::string_view eol_;
    std::string out_;
};

}  // namespace

std::string RewriteSections(std::string_view text, const std::vector<SectionUpdate>& updates)
{
    const std::vector<IniLine> lines = ParseIniText(text);
    const UpdatePlan plan = PlanUpdates(lines, updates);
    IniWriter out(LineEndOf(text), text.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto it = plan.before.find(i); it != plan.before.end())
            out.Lines(*it->second);
        if (!plan.dropped[i])
            out.Raw(text.substr(lines[i].begin, lines[i].next - lines[i].begin));
        if (const auto it = plan.after.find(i); it != plan.after.end())
            out.Lines(*it->second);
    }
    bool lastBlank = lines.empty() || lines.back().kind == IniLine::Kind::Blank;
    for (const SectionUpdate* update : plan.appended) {
        out.Section(*update, !lastBlank);
        lastBlank = false;
    }
    return out.Take();
}

}  // namespace zpak::ini
