#include "game/wine_hive.h"

#include "platform/text_case.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

namespace zpak {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

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

// Builds UTF-8 text from raw bytes and UTF-16 code units (the escapes).
class Utf8Builder {
public:
    void Byte(char c)
    {
        Flush();
        text_ += c;
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

    std::string Take()
    {
        Flush();
        return std::move(text_);
    }

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
            text_ += static_cast<char>(code);
        } else if (code < 0x800) {
            text_ += static_cast<char>(0xC0 | (code >> 6));
            text_ += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            text_ += static_cast<char>(0xE0 | (code >> 12));
            text_ += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text_ += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            text_ += static_cast<char>(0xF0 | (code >> 18));
            text_ += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            text_ += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text_ += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string text_;
    unsigned high_ = 0;
};

// Reads an escaped text from `in` up to the unescaped `close`, which is
// consumed. Nothing when the text does not end.
std::optional<std::string> Unescape(std::string_view& in, char close)
{
    Utf8Builder out;
    std::size_t i = 0;
    while (i < in.size()) {
        const char c = in[i++];
        if (c == close) {
            in.remove_prefix(i);
            return out.Take();
        }
        if (c != '\\' || i == in.size()) {
            out.Byte(c);
            continue;
        }
        const char e = in[i++];
        switch (e) {
        case 'a': out.Unit(7); break;
        case 'b': out.Unit(8); break;
        case 't': out.Unit(9); break;
        case 'n': out.Unit(10); break;
        case 'v': out.Unit(11); break;
        case 'f': out.Unit(12); break;
        case 'r': out.Unit(13); break;
        case 'e': out.Unit(27); break;
        case 'x': {
            unsigned unit = 0;
            int digits = 0;
            while (digits < 4 && i < in.size() && HexDigit(in[i]) >= 0) {
                unit = unit * 16 + static_cast<unsigned>(HexDigit(in[i++]));
                ++digits;
            }
            if (digits == 0)
                out.Byte('x');
            else
                out.Unit(unit);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned unit = static_cast<unsigned>(e - '0');
                for (int digits = 1; digits < 3 && i < in.size() && in[i] >= '0' && in[i] <= '7'; ++digits)
                    unit = unit * 8 + static_cast<unsigned>(in[i++] - '0');
                out.Unit(unit);
            } else {
                out.Byte(e);  // \\ \" \[ \] and anything else stand for themselves
            }
        }
    }
    return std::nullopt;
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
    Utf8Builder out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.Unit(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out.Take();
}

bool IsStringType(std::uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegLink || type == kRegMultiSz;
}

// How many whole names two key paths share at their start, compared as the
// lookup compares them, and where the first name not shared starts in `path`.
std::pair<std::size_t, std::size_t> SharedNames(std::string_view path, std::string_view other)
{
    std::size_t names = 0;
    std::size_t start = 0;
    for (std::size_t i = 0;; ++i) {
        const bool pathEnds = i == path.size() || path[i] == '\\';
        const bool otherEnds = i == other.size() || other[i] == '\\';
        if (pathEnds && otherEnds) {
            ++names;
            start = i + 1;
            if (i == path.size() || i == other.size())
                break;
        } else if (pathEnds || otherEnds || FoldCase(path[i]) != FoldCase(other[i])) {
            break;
        }
    }
    return {names, start};
}

// Of a sub-key: its parent and its name, folded as the lookup ignores case.
std::size_t ChildHash(const WineHive::Key* parent, std::string_view name)
{
    std::size_t hash = std::hash<const void*>{}(parent);
    for (char c : name)
        hash = (hash ^ static_cast<unsigned char>(FoldCase(c))) * std::size_t{1099511628211u};
    // The multiplications carry only upwards; the index takes the low bits.
    return hash ^ (hash >> (sizeof(hash) * 4));
}

}  // namespace

std::optional<RegistryValue> DecodeWineValue(std::string_view data)
{
    RegistryValue value;
    auto quoted = [&](std::uint32_t type) -> std::optional<RegistryValue> {
        if (data.empty() || data.front() != '"')
            return std::nullopt;
        data.remove_prefix(1);
        std::optional<std::string> text = Unescape(data, '"');
        if (!text)
            return std::nullopt;
        value.type = type;
        value.data = std::move(*text);
        value.data += '\0';
        return value;
    };

    if (data.starts_with("\""))
        return quoted(kRegSz);
    if (data.starts_with("str(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos)
            return std::nullopt;
        std::uint32_t type = 0;
        for (char c : data.substr(4, close - 4)) {
            if (HexDigit(c) < 0 || type > 0xFFFFFF)
                return std::nullopt;
            type = type * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        data.remove_prefix(close + 2);
        return quoted(type);
    }
    if (data.starts_with("dword:")) {
        const std::optional<std::string> digits = [&]() -> std::optional<std::string> {
            std::string_view hex = data.substr(6);
            while (!hex.empty() && (hex.back() == '\r' || hex.back() == ' '))
                hex.remove_suffix(1);
            if (hex.empty() || hex.size() > 8)
                return std::nullopt;
            return std::string(hex);
        }();
        if (!digits)
            return std::nullopt;
        std::uint32_t number = 0;
        for (char c : *digits) {
            if (HexDigit(c) < 0)
                return std::nullopt;
            number = number * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        value.type = kRegDword;
        for (int i = 0; i < 4; ++i)
            value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
        return value;
    }
    if (data.starts_with("hex")) {
        std::uint32_t type = kRegBinary;
        data.remove_prefix(3);
        if (data.starts_with("(")) {
            const std::size_t close = data.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9)
                return std::nullopt;
            type = 0;
            for (char c : data.substr(1, close - 1)) {
                if (HexDigit(c) < 0)
                    return std::nullopt;
                type = type * 16 + static_cast<std::uint32_t>(HexDigit(c));
            }
            data.remove_prefix(close + 1);
        }
        if (!data.starts_with(":"))
            return std::nullopt;
        std::optional<std::string> bytes = HexBytes(data.substr(1));
        if (!bytes)
            return std::nullopt;
        value.type = type;
        if (IsStringType(type)) {
            value.data = Utf16ToText(*bytes);
            if (value.data.empty() || value.data.back() != '\0')
                value.data += '\0';
        } else {
            value.data = std::move(*bytes);
        }
        return value;
    }
    return std::nullopt;
}

WineHive::WineHive(std::string text) : text_(std::move(text))
{
    Parse();
}

template <typename Matches>
WineHive::Key* WineHive::ChildIndex::Find(std::size_t hash, Matches matches) const
{
    if (slots_.empty())
        return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].key; i = (i + 1) & mask) {
        if (slots_[i].hash == hash && matches(*slots_[i].key))
            return slots_[i].key;
    }
    return nullptr;
}

void WineHive::ChildIndex::Add(std::size_t hash, Key* key)
{
    if ((used_ + 1) * 4 > slots_.size() * 3) {
        const std::vector<Slot> old =
            std::exchange(slots_, std::vector<Slot>(std::max<std::size_t>(16, slots_.size() * 2)));
        used_ = 0;
        for (const Slot& slot : old) {
            if (slot.key)
                Add(slot.hash, slot.key);
        }
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].key)
        i = (i + 1) & mask;
    slots_[i] = {hash, key};
    ++used_;
}

WineHive::Key* WineHive::FindChild(const Key& parent, std::string_view name) const
{
    return children_.Find(ChildHash(&parent, name), [&](const Key& key) {
        return key.parent_ == &parent && EqualsIgnoringCase(key.name_, name);
    });
}

// The key line read last. Wine writes keys in order, so that a key line
// mostly repeats the leading names of the one before, whose keys are known.
struct WineHive::LastKeyLine {
    std::string path;
    std::vector<Key*> keys;  // of each name of the path
};

// Each name of the path not shared with the last key line is looked up under
// the one before; the missing ones are created, each made known to its parent.
WineHive::Key& WineHive::AddKey(std::string_view path, LastKeyLine& last)
{
    auto [shared, start] = SharedNames(path, last.path);
    last.keys.resize(shared);
    Key* key = shared ? last.keys.back() : &keys_.front();
    bool made = false;  // a key just made has no sub-keys to look for
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string_view name = path.substr(start, end - start);
        Key* child = made ? nullptr : FindChild(*key, name);
        if (!child) {
            made = true;
            child = &keys_.emplace_back();
            child->parent_ = key;
            child->name_ = name;
            (key->lastChild_ ? key->lastChild_->nextSibling_ : key->firstChild_) = child;
            key->lastChild_ = child;
            children_.Add(ChildHash(key, name), child);
        }
        key = child;
        last.keys.push_back(key);
        start = end + 1;
    }
    last.path = path;
    return *key;
}

void WineHive::Parse()
{
    std::string_view rest = text_;
    const auto nextLine = [&rest]() {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    };
    if (nextLine() != kHeader)
        return;
    keys_.emplace_back();  // the root

    LastKeyLine last;
    Key* current = nullptr;
    while (!rest.empty()) {
        std::string_view line = nextLine();
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            line.remove_prefix(1);
            std::optional<std::string> path = Unescape(line, ']');
            // Keys may not start or end with a separator or hold an empty name.
            current = nullptr;
            if (path && !path->empty() && path->front() != '\\' && path->back() != '\\'
                && path->find("\\\\") == std::string::npos)
                current = &AddKey(*path, last);
            continue;
        }
        if (!current || (line.front() != '"' && line.front() != '@'))
            continue;

        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            line.remove_prefix(1);
            std::optional<std::string> unescaped = Unescape(line, '"');
            if (!unescaped)
                continue;
            name = std::move(*unescaped);
        }
        if (!line.starts_with("="))
            continue;
        // Hex data goes on over lines that end with "\".
        while (line.ends_with("\\") && !rest.empty())
            line = std::string_view(line.data(), static_cast<std::size_t>(nextLine().end() - line.data()));
        current->values_.push_back({std::move(name), line.substr(1)});
    }
}

const WineHive::Key* WineHive::Find(std::string_view path) const
{
    if (keys_.empty())
        return nullptr;
    const Key* key = &keys_.front();
    for (std::size_t start = 0; key && !path.empty() && start <= path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        key = FindChild(*key, path.substr(start, end - start));
        start = end + 1;
    }
    return key;
}

const WineHive::Key* WineHive::FindSubKey(const Key& parent, std::string_view name) const
{
    return FindChild(parent, name);
}

std::vector<std::string> WineHive::SubKeys(const Key& key) const
{
    std::vector<std::string> names;
    for (const Key* child = key.firstChild_; child; child = child->nextSibling_)
        names.push_back(child->name_);
    return names;
}

std::vector<RegistryValue> WineHive::Values(const Key& key) const
{
    std::vector<RegistryValue> values;
    for (const RawValue& raw : key.values_) {
        if (std::optional<RegistryValue> value = DecodeWineValue(raw.data)) {
            value->name = raw.name;
            values.push_back(std::move(*value));
        }
    }
    return values;
}

std::optional<RegistryValue> WineHive::QueryValue(const Key& key, std::string_view name) const
{
    for (const RawValue& raw : key.values_) {
        if (!EqualsIgnoringCase(raw.name, name))
            continue;
        std::optional<RegistryValue> value = DecodeWineValue(raw.data);
        if (value)
            value->name = raw.name;
        return value;
    }
    return std::nullopt;
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
