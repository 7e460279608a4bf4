#pragma once

#include "game/registry_backend.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zpak {

// One registry hive file of a Wine prefix (system.reg), parsed. Key paths are
// relative to the hive's root and compare ignoring case. Value data is decoded
// only when asked for. A malformed file gives fewer keys or values, never an
// error.
class WineHive {
public:
    WineHive() = default;
    explicit WineHive(std::string text);

    bool HasKey(std::string_view path) const;
    std::vector<std::string> SubKeys(std::string_view path) const;
    std::vector<RegistryValue> Values(std::string_view path) const;
    std::optional<RegistryValue> QueryValue(std::string_view path, std::string_view name) const;

    std::size_t KeyCount() const { return keys_.size(); }

private:
    struct RawValue {
        std::string name;
        std::string_view data;  // as written after "=", continuation lines included
    };
    struct Key {
        std::vector<std::string> subKeys;  // names as written, in file order
        std::vector<RawValue> values;
    };

    void Parse();
    Key& AddKey(const std::string& path);
    const Key* Find(std::string_view path) const;

    std::string text_;
    std::unordered_map<std::string, Key> keys_;  // by folded path
};

// Decodes the data of a value line ("...", str(N):"...", dword:..., hex:...,
// hex(N):...) as the ANSI registry calls give it. Nothing when it is malformed.
std::optional<RegistryValue> DecodeWineValue(std::string_view data);

}  // namespace zpak
