// The Windows registry behind RegistryBackend.
#include "game/registry_backend.h"

#include "platform/text_case.h"
#include "platform/text_encoding.h"

#include <unordered_set>

#include <windows.h>

namespace zpak {

namespace {

// The views a key is read in, in order: the 32-bit view first, where the
// installers of the 32-bit games register them (below
// Software\Wow6432Node on a 64-bit system), then the 64-bit view. As in the
// Wine registries, the first of several keys or values of one name wins, so
// keys that both views share come out once.
constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

// An open key below HKEY_LOCAL_MACHINE in one view, closed on destruction.
class OpenKey {
public:
    OpenKey(std::string_view path, REGSAM view)
    {
        const std::wstring name = WideFromText(path);
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, KEY_READ | view, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey()
    {
        if (key_)
            ::RegCloseKey(key_);
    }

    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A value's data as the backend hands it on: strings in UTF-8, each ending
// with a NUL; other types as they are.
std::string DataOf(DWORD type, const std::vector<BYTE>& data, DWORD size)
{
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_LINK && type != REG_MULTI_SZ)
        return std::string(reinterpret_cast<const char*>(data.data()), size);
    std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    std::string out;
    while (!text.empty()) {
        const std::size_t end = text.find(L'\0');
        out += Utf8FromWide(text.substr(0, end));
        out += '\0';
        if (end == std::wstring_view::npos || type != REG_MULTI_SZ)
            break;
        text.remove_prefix(end + 1);
    }
    return out;
}

// The keys of the path in the views that have it.
std::vector<std::unique_ptr<OpenKey>> OpenViews(std::string_view path)
{
    std::vector<std::unique_ptr<OpenKey>> keys;
    for (const REGSAM view : kViews) {
        auto key = std::make_unique<OpenKey>(path, view);
        if (key->get())
            keys.push_back(std::move(key));
    }
    return keys;
}

std::vector<std::string> SubKeysOf(HKEY key)
{
    std::vector<std::string> names;
    DWORD longest = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr)
        != ERROR_SUCCESS)
        return names;
    std::wstring name(longest + 1, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = longest + 1;
        const LONG result =
            ::RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            names.push_back(Utf8FromWide(std::wstring_view(name.data(), length)));
    }
    return names;
}

std::vector<RegistryValue> ValuesOf(HKEY key)
{
    std::vector<RegistryValue> values;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                           &longestData, nullptr, nullptr)
        != ERROR_SUCCESS)
        return values;
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(longestData + sizeof(wchar_t));
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = longestName + 1;
        auto dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG result =
            ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            values.push_back({Utf8FromWide(std::wstring_view(name.data(), nameLength)), type,
                              DataOf(type, data, dataLength)});
    }
    return values;
}

class WindowsRegistry final : public RegistryBackend {
public:
    bool KeyExists(std::string_view path) const override { return !OpenViews(path).empty(); }

    std::vector<std::string> SubKeys(std::string_view path) const override
    {
        std::vector<std::string> names;
        std::unordered_set<std::string> seen;
        for (const auto& key : OpenViews(path)) {
            for (std::string& name : SubKeysOf(key->get())) {
                if (seen.insert(FoldedText(name)).second)
                    names.push_back(std::move(name));
            }
        }
        return names;
    }

    std::vector<RegistryValue> Values(std::string_view path) const override
    {
        std::vector<RegistryValue> values;
        std::unordered_set<std::string> seen;
        for (const auto& key : OpenViews(path)) {
            for (RegistryValue& value : ValuesOf(key->get())) {
                if (seen.insert(FoldedText(value.name)).second)
                    values.push_back(std::move(value));
            }
        }
        return values;
    }

    std::optional<RegistryValue> QueryValue(std::string_view path, std::string_view name) const override
    {
        const std::wstring valueName = WideFromText(name);
        for (const auto& key : OpenViews(path)) {
            DWORD type = 0;
            DWORD size = 0;
            if (::RegQueryValueExW(key->get(), valueName.c_str(), nullptr, &type, nullptr, &size)
                != ERROR_SUCCESS)
                continue;
            std::vector<BYTE> data(size + sizeof(wchar_t));
            if (::RegQueryValueExW(key->get(), valueName.c_str(), nullptr, &type, data.data(), &size)
                == ERROR_SUCCESS)
                return RegistryValue{std::string(name), type, DataOf(type, data, size)};
        }
        return std::nullopt;
    }
};

}  // namespace

std::unique_ptr<RegistryBackend> OpenSystemRegistry()
{
    return std::make_unique<WindowsRegistry>();
}

}  // namespace zpak
