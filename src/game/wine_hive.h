#pragma once

#include "game/registry_backend.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

// One registry hive file of a Wine prefix (system.reg), parsed. Key paths are
// relative to the hive's root and compare ignoring case. Value data is decoded
// only when asked for. A malformed file gives fewer keys or values, never an
// error.
//
// The keys form a tree in which each key holds only its own name: one line
// can name a chain of thousands of keys, and their whole paths would take room
// that grows with the square of its length.
class WineHive {
    struct RawValue {
        std::string name;
        std::string_view data;  // as written after "=", continuation lines included
    };

public:
    // A key of the hive, for walking down the tree without looking each path
    // up from the root. It stays where it is for the hive's life, also when
    // the hive is moved.
    class Key {
        friend class WineHive;

        const Key* parent_ = nullptr;
        std::string name_;  // as first written
        std::vector<RawValue> values_;
        Key* firstChild_ = nullptr;  // the sub-keys in file order, linked
        Key* lastChild_ = nullptr;
        Key* nextSibling_ = nullptr;
    };

    WineHive() = default;
    explicit WineHive(std::string text);
    // A copy's keys would link to those of the original.
    WineHive(const WineHive&) = delete;
    WineHive& operator=(const WineHive&) = delete;
    WineHive(WineHive&&) = default;
    WineHive& operator=(WineHive&&) = default;

    // Nothing when there is no such key; "" is the root.
    const Key* Find(std::string_view path) const;
    const Key* FindSubKey(const Key& parent, std::string_view name) const;
    std::vector<std::string> SubKeys(const Key& key) const;
    std::vector<RegistryValue> Values(const Key& key) const;
    std::optional<RegistryValue> QueryValue(const Key& key, std::string_view name) const;

    bool HasKey(std::string_view path) const { return Find(path) != nullptr; }
    std::vector<std::string> SubKeys(std::string_view path) const;
    std::vector<RegistryValue> Values(std::string_view path) const;
    std::optional<RegistryValue> QueryValue(std::string_view path, std::string_view name) const;

    std::size_t KeyCount() const { return keys_.size(); }

private:
    struct LastKeyLine;

    // Finds a sub-key from the hash of its parent and name. Open addressing
    // over one array: far fewer cache misses, and less room, than a node per
    // key, for hives of millions of keys.
    class ChildIndex {
    public:
        template <typename Matches>
        Key* Find(std::size_t hash, Matches matches) const;
        void Add(std::size_t hash, Key* key);

    private:
        struct Slot {
            std::size_t hash = 0;
            Key* key = nullptr;
        };
        std::vector<Slot> slots_;  // a power of two of them, at most three quarters used
        std::size_t used_ = 0;
    };

    void Parse();
    Key& AddKey(std::string_view path, LastKeyLine& last);
    Key* FindChild(const Key& parent, std::string_view name) const;

    std::string text_;
    std::deque<Key> keys_;  // the root first; a deque keeps them in place as it grows
    ChildIndex children_;
};

// Decodes the data of a value line ("...", str(N):"...", dword:..., hex:...,
// hex(N):...) as the ANSI registry calls give it. Nothing when it is malformed.
std::optional<RegistryValue> DecodeWineValue(std::string_view data);

}  // namespace zpak
