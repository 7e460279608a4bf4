#include "game/wine_hive.h"

#include "platform/text_case.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace zpak {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

// Windows holds keys at most 512 levels deep, with names of at most 255
// characters. A hive with deeper keys or longer names was not written through
// the registry calls; what Windows could not hold is left out, with its values
// and sub-keys, as a key line naming an empty key is.
constexpr std::size_t kMaxDepth = 512;
constexpr std::size_t kMaxNameUnits = 255;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Writes over the escaped text it is given by Unescape: no escape stands for
// more bytes than it takes, so that the writing never overtakes the reading.
class Overwrite {
public:
    explicit Overwrite(char* at) : at_(at) {}
    void push_back(char c) { *at_++ = c; }
    char* end() const { return at_; }

private:
    char* at_;
};

// For a pass that only needs to know where an escaped text ends.
struct Discard {
    void push_back(char) {}
};

// Builds UTF-8 text from raw bytes and UTF-16 code units (the escapes) into
// `Sink`: a std::string, Overwrite or Discard.
template <typename Sink> class Utf8Builder {
public:
    explicit Utf8Builder(Sink& out) : out_(out) {}

    void Byte(char c)
    {
        Flush();
        out_.push_back(c);
    }

    void Unit(unsigned unit)
    {
        if (unit >= 0xD800 && unit < 0xDC00) {
            Flush();
            high_ = unit;
            return;
        }
        if (unit >= 0xDC00 && unit < 0xE000 && high_) {
            Code(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
            high_ = 0;
            return;
        }
        Flush();
        Code(unit);
    }

    void Finish() { Flush(); }

private:
    void Flush()
    {
        if (high_)
            Code(0xFFFD);
        high_ = 0;
    }

    void Code(unsigned code)
    {
        if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;  // a lone surrogate
        if (code < 0x80) {
            out_.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out_.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out_.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out_.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out_.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out_.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out_.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out_.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out_.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out_.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }

    Sink& out_;
    unsigned high_ = 0;
};

// Reads an escaped text from `in` up to the unescaped `close`, which is
// consumed, into `sink`. False when the text does not end.
// The code unit of a one-letter escape (\a \b \t \n \v \f \r \e), or -1.
int LetterEscape(char e)
{
    constexpr std::string_view kLetters = "abtnvfre";
    constexpr int kUnits[] = {7, 8, 9, 10, 11, 12, 13, 27};
    const std::size_t at = kLetters.find(e);
    return at == std::string_view::npos ? -1 : kUnits[at];
}

// Reads up to `most` digits of base 8 or 16 from in[i]; gives how many it read.
int ReadDigits(std::string_view in, std::size_t& i, unsigned base, int most, unsigned& unit)
{
    int digits = 0;
    for (; digits < most && i < in.size(); ++digits) {
        const int digit = base == 16 ? HexDigit(in[i]) : (in[i] >= '0' && in[i] <= '7' ? in[i] - '0' : -1);
        if (digit < 0)
            break;
        unit = unit * base + static_cast<unsigned>(digit);
        ++i;
    }
    return digits;
}

// One escape, the character after "\" being in[i - 1]: \x with up to four
// hex digits and up to three octal digits give a UTF-16 unit; an escaped
// character that means nothing else stands for itself.
template <typename Sink> void UnescapeOne(std::string_view in, std::size_t& i, Utf8Builder<Sink>& out)
{
    const char e = in[i - 1];
    if (const int letter = LetterEscape(e); letter >= 0) {
        out.Unit(static_cast<unsigned>(letter));
    } else if (e == 'x') {
        unsigned unit = 0;
        if (ReadDigits(in, i, 16, 4, unit) == 0)
            out.Byte('x');
        else
            out.Unit(unit);
    } else if (e >= '0' && e <= '7') {
        unsigned unit = static_cast<unsigned>(e - '0');
        ReadDigits(in, i, 8, 2, unit);
        out.Unit(unit);
    } else {
        out.Byte(e);  // \\ \" \[ \] and anything else stand for themselves
    }
}

template <typename Sink> bool Unescape(std::string_view& in, char close, Sink& sink)
{
    Utf8Builder<Sink> out(sink);
    std::size_t i = 0;
    while (i < in.size()) {
        const char c = in[i++];
        if (c == close) {
            out.Finish();
            in.remove_prefix(i);
            return true;
        }
        if (c != '\\' || i == in.size()) {
            out.Byte(c);
            continue;
        }
        ++i;
        UnescapeOne(in, i, out);
    }
    return false;
}

std::optional<std::string> Unescape(std::string_view& in, char close)
{
    std::string text;
    if (!Unescape(in, close, text))
        return std::nullopt;
    return text;
}

// Reads the name of a value line into `name`: "name", or @ for the default
// value. Leaves `line` at the "=" that follows it. False when the line is no
// value line.
template <typename Sink> bool ReadValueName(std::string_view& line, Sink& name)
{
    if (line.starts_with('@')) {
        line.remove_prefix(1);
    } else {
        if (!line.starts_with('"'))
            return false;
        line.remove_prefix(1);
        if (!Unescape(line, '"', name))
            return false;
    }
    return line.starts_with('=');
}

// The lines of a hive from some offset on. A value line goes on over the
// lines after it while it ends with "\" (hex data), whether its key is kept
// or not: the pass over the whole file and the reading of a key's values
// later see the same lines.
class HiveLines {
public:
    enum class Kind { Key, Value, Other };

    HiveLines(std::string_view text, std::size_t at) : text_(text), at_(at) {}

    bool AtEnd() const { return at_ >= text_.size(); }
    std::size_t Offset() const { return at_; }

    // The next line without its end; a value line with those it goes on over.
    std::string_view Next(Kind& kind)
    {
        std::string_view line = Line();
        std::string_view afterName = line;
        Discard name;
        if (line.starts_with('['))
            kind = Kind::Key;
        else
            kind = ReadValueName(afterName, name) ? Kind::Value : Kind::Other;
        while (kind == Kind::Value && line.ends_with('\\') && !AtEnd()) {
            const std::string_view more = Line();
            const char* const end = more.data() + more.size();
            line = std::string_view(line.data(), static_cast<std::size_t>(end - line.data()));
        }
        return line;
    }

private:
    std::string_view Line()
    {
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        std::string_view line = text_.substr(at_, end - at_);
        at_ = end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        return line;
    }

    std::string_view text_;
    std::size_t at_;
};

// Windows counts the characters of a key name in UTF-16 units.
bool TooLongForAKey(std::string_view name)
{
    if (name.size() > 3 * kMaxNameUnits)  // no name within the limit takes more bytes
        return true;
    std::size_t units = 0;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)          // the first byte of a character
            units += byte >= 0xF0 ? 2 : 1;  // beyond U+FFFF: a surrogate pair
    }
    return units > kMaxNameUnits;
}

// "hex:01,02,\<newline>  03" into bytes.
std::optional<std::string> HexBytes(std::string_view in)
{
    std::string bytes;
    std::size_t i = 0;
    while (i < in.size()) {
        const char c = in[i];
        if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\\') {
            ++i;
            continue;
        }
        if (i + 1 >= in.size() || HexDigit(c) < 0 || HexDigit(in[i + 1]) < 0)
            return std::nullopt;
        bytes += static_cast<char>(HexDigit(c) * 16 + HexDigit(in[i + 1]));
        i += 2;
    }
    return bytes;
}

// String data of a hex(N) value is UTF-16LE; the ANSI calls give it as text.
std::string Utf16ToText(std::string_view bytes)
{
    std::string text;
    Utf8Builder<std::string> out(text);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.Unit(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    out.Finish();
    return text;
}

bool IsStringType(std::uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegLink || type == kRegMultiSz;
}

// Of a sub-key: its parent and its name, folded as the lookup ignores case.
std::uint32_t ChildHash(const WineHive::Key& parent, std::string_view name)
{
    std::uint64_t hash = std::hash<const void*>{}(&parent);
    for (char c : name)
        hash = (hash ^ static_cast<unsigned char>(FoldCase(c))) * std::uint64_t{1099511628211u};
    // The multiplications carry only upwards; the index takes the low bits.
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

}  // namespace

// Hex digits as a number of at most `maxDigits` digits; nothing for anything else.
std::optional<std::uint32_t> HexNumber(std::string_view digits, std::size_t maxDigits)
{
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    std::uint32_t number = 0;
    for (char c : digits) {
        if (HexDigit(c) < 0)
            return std::nullopt;
        number = number * 16 + static_cast<std::uint32_t>(HexDigit(c));
    }
    return number;
}

// "text", with its escapes; a string of the type given.
std::optional<RegistryValue> DecodeQuoted(std::string_view data, std::uint32_t type)
{
    if (data.empty() || data.front() != '"')
        return std::nullopt;
    data.remove_prefix(1);
    std::optional<std::string> text = Unescape(data, '"');
    if (!text)
        return std::nullopt;
    *text += '\0';
    return RegistryValue{{}, type, std::move(*text)};
}

// str(N):"text", a string of type N (N of any length, as long as it fits).
std::optional<RegistryValue> DecodeTypedString(std::string_view data)
{
    const std::size_t close = data.find("):");
    if (close == std::string_view::npos)
        return std::nullopt;
    std::uint32_t type = 0;
    for (char c : data.substr(4, close - 4)) {
        if (HexDigit(c) < 0 || type > 0xFFFFFF)
            return std::nullopt;
        type = type * 16 + static_cast<std::uint32_t>(HexDigit(c));
    }
    return DecodeQuoted(data.substr(close + 2), type);
}

// dword:0000002a, little-endian as Windows stores it.
std::optional<RegistryValue> DecodeDword(std::string_view data)
{
    std::string_view hex = data.substr(6);
    while (!hex.empty() && (hex.back() == '\r' || hex.back() == ' '))
        hex.remove_suffix(1);
    const std::optional<std::uint32_t> number = HexNumber(hex, 8);
    if (!number)
        return std::nullopt;
    RegistryValue value{{}, kRegDword, {}};
    for (int i = 0; i < 4; ++i)
        value.data += static_cast<char>((*number >> (8 * i)) & 0xFF);
    return value;
}

// hex:01,02 (binary) or hex(N):... of type N; strings among them are UTF-16.
std::optional<RegistryValue> DecodeHex(std::string_view data)
{
    std::uint32_t type = kRegBinary;
    data.remove_prefix(3);
    if (data.starts_with("(")) {
        const std::size_t close = data.find(')');
        const std::optional<std::uint32_t> given =
            close == std::string_view::npos ? std::nullopt : HexNumber(data.substr(1, close - 1), 8);
        if (!given)
            return std::nullopt;
        type = *given;
        data.remove_prefix(close + 1);
    }
    if (!data.starts_with(":"))
        return std::nullopt;
    std::optional<std::string> bytes = HexBytes(data.substr(1));
    if (!bytes)
        return std::nullopt;
    if (!IsStringType(type))
        return RegistryValue{{}, type, std::move(*bytes)};
    std::string text = Utf16ToText(*bytes);
    if (text.empty() || text.back() != '\0')
        text += '\0';
    return RegistryValue{{}, type, std::move(text)};
}

std::optional<RegistryValue> DecodeWineValue(std::string_view data)
{
    if (data.starts_with("\""))
        return DecodeQuoted(data, kRegSz);
    if (data.starts_with("str("))
        return DecodeTypedString(data);
    if (data.starts_with("dword:"))
        return DecodeDword(data);
    if (data.starts_with("hex"))
        return DecodeHex(data);
    return std::nullopt;
}

// Follows the names of one key line down the subtrees a reader keeps.
class WineHive::KeptKeys {
public:
    enum class Keep { Nothing, Key, KeyAndValues };

    // Without subtrees, every key is kept.
    explicit KeptKeys(const std::vector<Subtree>* subtrees);

    void StartLine();
    // What is kept of the key of the line's next name.
    Keep Next(std::string_view name);

private:
    struct Tree {
        std::vector<std::string> names;
        std::size_t levels = 0;
        bool onPath = true;  // the line's names so far lead to it or down from it
    };

    bool all_;
    std::vector<Tree> trees_;
    std::size_t depth_ = 0;  // of the next name
};

WineHive::KeptKeys::KeptKeys(const std::vector<Subtree>* subtrees) : all_(!subtrees)
{
    for (const Subtree& subtree : subtrees ? *subtrees : std::vector<Subtree>{}) {
        Tree& tree = trees_.emplace_back();
        tree.levels = subtree.levels;
        for (std::size_t start = 0; start < subtree.path.size();) {
            const std::size_t end = std::min(subtree.path.find('\\', start), subtree.path.size());
            tree.names.emplace_back(subtree.path.substr(start, end - start));
            start = end + 1;
        }
    }
}

void WineHive::KeptKeys::StartLine()
{
    depth_ = 0;
    for (Tree& tree : trees_)
        tree.onPath = true;
}

WineHive::KeptKeys::Keep WineHive::KeptKeys::Next(std::string_view name)
{
    const std::size_t depth = depth_++;
    if (all_)
        return Keep::KeyAndValues;
    Keep keep = Keep::Nothing;
    for (Tree& tree : trees_) {
        const std::size_t top = tree.names.size();  // the depth below the subtree's key
        tree.onPath = tree.onPath
            && (depth < top ? EqualsIgnoringCase(name, tree.names[depth]) : depth < top + tree.levels);
        if (tree.onPath)
            keep = std::max(keep, depth + 1 < top ? Keep::Key : Keep::KeyAndValues);
    }
    return keep;
}

WineHive::WineHive(std::string text) : text_(std::move(text))
{
    Parse(nullptr);
}

WineHive::WineHive(std::string text, const std::vector<Subtree>& subtrees) : text_(std::move(text))
{
    Parse(&subtrees);
}

template <typename Matches>
std::uint32_t WineHive::ChildIndex::Find(std::uint32_t hash, Matches matches) const
{
    if (slots_.empty())
        return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].key != kNone; i = (i + 1) & mask) {
        if (slots_[i].hash == hash && matches(slots_[i].key))
            return slots_[i].key;
    }
    return kNone;
}

void WineHive::ChildIndex::Add(std::uint32_t hash, std::uint32_t key)
{
    if ((used_ + 1) * 4 > slots_.size() * 3) {
        const std::vector<Slot> old =
            std::exchange(slots_, std::vector<Slot>(std::max<std::size_t>(16, slots_.size() * 2)));
        used_ = 0;
        for (const Slot& slot : old) {
            if (slot.key != kNone)
                Add(slot.hash, slot.key);
        }
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].key != kNone)
        i = (i + 1) & mask;
    slots_[i] = {hash, key};
    ++used_;
}

// Offsets into the text are 32-bit: a hive is read up to its first 4 GiB.
std::string_view WineHive::Text() const
{
    return std::string_view(text_).substr(0, kNone);
}

std::string_view WineHive::NameOf(const Key& key) const
{
    return {text_.data() + key.nameAt_, key.nameSize_};
}

std::uint32_t WineHive::FindChild(const Key& parent, std::string_view name) const
{
    return children_.Find(ChildHash(parent, name), [&](std::uint32_t child) {
        const Key& key = keys_[child];
        return &keys_[key.parent_] == &parent && EqualsIgnoringCase(NameOf(key), name);
    });
}

void WineHive::Parse(const std::vector<Subtree>* subtrees)
{
    HiveLines lines(Text(), 0);
    HiveLines::Kind kind;
    if (lines.Next(kind) != kHeader)
        return;
    keys_.emplace_back();  // the root

    KeptKeys kept(subtrees);
    std::vector<std::uint32_t> last;  // the keys of the names of the key line before
    std::uint32_t current = kNone;    // the key of the value lines that follow, until its run starts
    while (!lines.AtEnd()) {
        const std::size_t at = lines.Offset();
        const std::string_view line = lines.Next(kind);
        if (kind == HiveLines::Kind::Key) {
            current = ReadKeyLine(line, kept, last);
        } else if (kind == HiveLines::Kind::Value && current != kNone) {
            // The run reaches to the next key line.
            runs_.push_back({static_cast<std::uint32_t>(at), keys_[current].firstRun_});
            keys_[current].firstRun_ = static_cast<std::uint32_t>(runs_.size() - 1);
            current = kNone;
        }
    }
    LinkInFileOrder();
}

// Makes the keys a key line names, as far as they are kept, and gives the key
// whose values follow when they are kept. Wine writes keys in order, so that
// a key line mostly repeats the leading names of the one before, whose keys
// are `last`. The path is unescaped where it is written: the key names are
// left there.
std::uint32_t WineHive::ReadKeyLine(std::string_view line, KeptKeys& kept, std::vector<std::uint32_t>& last)
{
    std::string_view rest = line.substr(1);
    char* const start = text_.data() + (rest.data() - text_.data());
    Overwrite unescaped(start);
    if (!Unescape(rest, ']', unescaped))
        return kNone;
    const std::string_view path(start, static_cast<std::size_t>(unescaped.end() - start));
    // Keys may not start or end with a separator or hold an empty name.
    if (path.empty() || path.front() == '\\' || path.back() == '\\'
        || path.find("\\\\") != std::string_view::npos)
        return kNone;

    kept.StartLine();
    std::uint32_t key = 0;  // the root
    bool made = false;      // a key just made has no sub-keys to look for
    KeptKeys::Keep keep = KeptKeys::Keep::Nothing;
    for (std::size_t depth = 0, from = 0; from <= path.size(); ++depth) {
        const std::size_t end = std::min(path.find('\\', from), path.size());
        const std::string_view name = path.substr(from, end - from);
        from = end + 1;
        keep = depth < kMaxDepth && !TooLongForAKey(name) ? kept.Next(name) : KeptKeys::Keep::Nothing;
        if (keep == KeptKeys::Keep::Nothing)
            return kNone;
        if (depth < last.size() && EqualsIgnoringCase(name, NameOf(keys_[last[depth]]))) {
            key = last[depth];
            continue;
        }
        last.resize(depth);
        const std::uint32_t found = made ? kNone : FindChild(keys_[key], name);
        made = found == kNone;
        key = made ? AddKey(key, name) : found;
        last.push_back(key);
    }
    return keep == KeptKeys::Keep::KeyAndValues ? key : kNone;
}

// Sub-keys are linked newest first, which needs no link to the last one;
// LinkInFileOrder turns them round.
std::uint32_t WineHive::AddKey(std::uint32_t parent, std::string_view name)
{
    const auto index = static_cast<std::uint32_t>(keys_.size());
    Key& key = keys_.emplace_back();
    key.parent_ = parent;
    key.nameAt_ = static_cast<std::uint32_t>(name.data() - text_.data());
    key.nameSize_ = static_cast<std::uint16_t>(name.size());
    key.nextSibling_ = keys_[parent].firstChild_;
    keys_[parent].firstChild_ = index;
    children_.Add(ChildHash(keys_[parent], name), index);
    return index;
}

namespace {

// Turns a list linked newest first round; `next` gives the link of an element.
template <typename Next> std::uint32_t Reversed(std::uint32_t first, std::uint32_t none, Next next)
{
    std::uint32_t reversed = none;
    while (first != none) {
        std::uint32_t& link = next(first);
        const std::uint32_t after = link;
        link = reversed;
        reversed = first;
        first = after;
    }
    return reversed;
}

}  // namespace

void WineHive::LinkInFileOrder()
{
    for (Key& key : keys_) {
        key.firstChild_ = Reversed(key.firstChild_, kNone, [this](std::uint32_t i) -> std::uint32_t& {
            return keys_[i].nextSibling_;
        });
        key.firstRun_ = Reversed(key.firstRun_, kNone,
                                 [this](std::uint32_t i) -> std::uint32_t& { return runs_[i].next; });
    }
}

// Calls visit(name, data) for each value of the key in file order until it
// returns false; the data is as written after "=", continuation lines included.
template <typename Visit> void WineHive::VisitValues(const Key& key, Visit visit) const
{
    for (std::uint32_t run = key.firstRun_; run != kNone; run = runs_[run].next) {
        HiveLines lines(Text(), runs_[run].at);
        HiveLines::Kind kind;
        while (!lines.AtEnd()) {
            std::string_view line = lines.Next(kind);
            if (kind == HiveLines::Kind::Key)
                break;
            std::string name;
            if (kind == HiveLines::Kind::Value && ReadValueName(line, name) && !visit(name, line.substr(1)))
                return;
        }
    }
}

const WineHive::Key* WineHive::Find(std::string_view path) const
{
    if (keys_.empty())
        return nullptr;
    const Key* key = &keys_.front();
    for (std::size_t start = 0; key && !path.empty() && start <= path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        key = FindSubKey(*key, path.substr(start, end - start));
        start = end + 1;
    }
    return key;
}

const WineHive::Key* WineHive::FindSubKey(const Key& parent, std::string_view name) const
{
    const std::uint32_t child = FindChild(parent, name);
    return child == kNone ? nullptr : &keys_[child];
}

std::vector<std::string> WineHive::SubKeys(const Key& key) const
{
    std::vector<std::string> names;
    for (std::uint32_t child = key.firstChild_; child != kNone; child = keys_[child].nextSibling_)
        names.emplace_back(NameOf(keys_[child]));
    return names;
}

std::vector<RegistryValue> WineHive::Values(const Key& key) const
{
    std::vector<RegistryValue> values;
    VisitValues(key, [&](std::string& name, std::string_view data) {
        if (std::optional<RegistryValue> value = DecodeWineValue(data)) {
            value->name = std::move(name);
            values.push_back(std::move(*value));
        }
        return true;
    });
    return values;
}

std::optional<RegistryValue> WineHive::QueryValue(const Key& key, std::string_view name) const
{
    std::optional<RegistryValue> found;
    VisitValues(key, [&](std::string& stored, std::string_view data) {
        if (!EqualsIgnoringCase(stored, name))
            return true;
        found = DecodeWineValue(data);
        if (found)
            found->name = std::move(stored);
        return false;
    });
    return found;
}

std::vector<std::string> WineHive::SubKeys(std::string_view path) const
{
    const Key* key = Find(path);
    return key ? SubKeys(*key) : std::vector<std::string>{};
}

std::vector<RegistryValue> WineHive::Values(std::string_view path) const
{
    const Key* key = Find(path);
    return key ? Values(*key) : std::vector<RegistryValue>{};
}

std::optional<RegistryValue> WineHive::QueryValue(std::string_view path, std::string_view name) const
{
    const Key* key = Find(path);
    return key ? QueryValue(*key, name) : std::nullopt;
}

}  // namespace zpak
