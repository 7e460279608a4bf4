#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

// Registry value types, as the registry numbers them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;

struct RegistryValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;  // strings in UTF-8, ending with a NUL; other types as stored
};

// A key opened for a walk down the tree. Sub-keys are opened from it, so that
// a walk need not look up the whole path of every key from the root again.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // Direct sub-keys, in the registry's order.
    virtual std::vector<std::string> SubKeys() const = 0;
    virtual std::vector<RegistryValue> Values() const = 0;
    // Nothing when there is no direct sub-key of that name.
    virtual std::unique_ptr<RegistryKey> OpenSubKey(std::string_view name) const = 0;
};

// Read access to the keys below HKEY_LOCAL_MACHINE. Paths use "\" between
// key names and compare ignoring case; "" is the root.
// Where a value came from: its text as stored, and the Wine prefix whose
// registry holds it (empty for the registry of Windows itself).
struct ValueOrigin {
    std::string stored;
    std::filesystem::path prefix;
};

class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;

    // The value as stored, before any translation; nothing when there is
    // none or the registry does not translate.
    virtual std::optional<ValueOrigin> FindOrigin(std::string_view, std::string_view) const
    {
        return std::nullopt;
    }

    virtual bool KeyExists(std::string_view path) const = 0;
    // Direct sub-keys, in the registry's order.
    virtual std::vector<std::string> SubKeys(std::string_view path) const = 0;
    virtual std::vector<RegistryValue> Values(std::string_view path) const = 0;
    virtual std::optional<RegistryValue> QueryValue(std::string_view path, std::string_view name) const = 0;

    // Nothing when the key does not exist. This one looks every sub-key up by
    // its whole path, which suits a registry of bounded depth: the Windows
    // registry holds at most 512 levels.
    virtual std::unique_ptr<RegistryKey> OpenKey(std::string_view path) const;
};

// The registry of this machine: the Windows registry on Windows; elsewhere
// the merged registries of the Wine prefixes found for this user, of which
// only the keys the game detection reads are kept (see WineRegistry::Load).
std::unique_ptr<RegistryBackend> OpenSystemRegistry();

}  // namespace zpak
