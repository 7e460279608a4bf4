// The Windows registry behind RegistryBackend; built only on Windows.
#include "game/registry_backend.h"

#include <windows.h>

namespace zpak {

namespace {

// An open key below HKEY_LOCAL_MACHINE, closed on destruction.
class OpenKey {
public:
    explicit OpenKey(std::string_view path)
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(path).c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey()
    {
        if (key_)
            RegCloseKey(key_);
    }

    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class WindowsRegistry final : public RegistryBackend {
public:
    bool KeyExists(std::string_view path) const override { return OpenKey(path).get() != nullptr; }

    std::vector<std::string> SubKeys(std::string_view path) const override
    {
        std::vector<std::string> names;
        OpenKey key(path);
        DWORD longest = 0;
        if (!key.get()
            || RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr)
                != ERROR_SUCCESS)
            return names;
        std::string name(longest + 1, '\0');
        for (DWORD index = 0;; ++index) {
            const LONG result = RegEnumKeyA(key.get(), index, name.data(), longest + 1);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result == ERROR_SUCCESS)
                names.emplace_back(name.c_str());
        }
        return names;
    }

    std::vector<RegistryValue> Values(std::string_view path) const override
    {
        std::vector<RegistryValue> values;
        OpenKey key(path);
        DWORD longestName = 0;
        DWORD longestData = 0;
        if (!key.get()
            || RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                &longestName, &longestData, nullptr, nullptr)
                != ERROR_SUCCESS)
            return values;
        std::string name(longestName + 1, '\0');
        std::string data(longestData, '\0');
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = longestName + 1;
            DWORD dataLength = longestData;
            DWORD type = 0;
            const LONG result = RegEnumValueA(key.get(), index, name.data(), &nameLength, nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &dataLength);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result == ERROR_SUCCESS)
                values.push_back({std::string(name.data(), nameLength), type, data.substr(0, dataLength)});
        }
        return values;
    }

    std::optional<RegistryValue> QueryValue(std::string_view path, std::string_view name) const override
    {
        OpenKey key(path);
        const std::string valueName(name);
        DWORD type = 0;
        DWORD size = 0;
        if (!key.get()
            || RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size)
                != ERROR_SUCCESS)
            return std::nullopt;
        std::string data(size, '\0');
        if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &size)
            != ERROR_SUCCESS)
            return std::nullopt;
        data.resize(size);
        return RegistryValue{valueName, type, std::move(data)};
    }
};

}  // namespace

std::unique_ptr<RegistryBackend> OpenSystemRegistry()
{
    return std::make_unique<WindowsRegistry>();
}

}  // namespace zpak
