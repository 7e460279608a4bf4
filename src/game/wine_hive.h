#pragma once

#include "game/registry_backend.h"

#include <cstdint>
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
// Any program in a prefix can write its hive, so that none of it may cost more
// than its size in time or room. The keys form a tree in which each key holds
// only its own name (one line can name a chain of millions of keys, whose
// whole paths would take room that grows with the square of its length); the
// names are left in the text, unescaped where they are, and a key's values are
// read from the text when asked for. Keys that Windows could not hold (more
// than 512 levels deep, or with names of more than 255 characters) are left
// out with their values and sub-keys, and a reader that needs only some
// subtrees can have the rest left out as well. The first 4 GiB of a hive are
// read.
class WineHive {
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

public:
    // The keys a reader needs: the key at `path` and those down to `levels`
    // below it, with their values. The keys on the way to it are kept too,
    // without their values, so that lookups and walks from the root reach it.
    struct Subtree {
        std::string path;
        std::size_t levels = 0;
    };

    // A key of the hive, for walking down the tree without looking each path
    // up from the root. It stays where it is for the hive's life, also when
    // the hive is moved.
    class Key {
        friend class WineHive;

        // Indices into the hive's keys and runs, and offsets into its text.
        std::uint32_t parent_ = kNone;
        std::uint32_t nameAt_ = 0;          // the name as first written, unescaped
        std::uint32_t firstChild_ = kNone;  // the sub-keys in file order, linked
        std::uint32_t nextSibling_ = kNone;
        std::uint32_t firstRun_ = kNone;  // of value lines
        std::uint16_t nameSize_ = 0;
    };

    WineHive() = default;
    // Keeps every key.
    explicit WineHive(std::string text);
    // Keeps the keys of `subtrees` (and those on the way to them) only.
    WineHive(std::string text, const std::vector<Subtree>& subtrees);
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
    // Value lines that follow one key line, up to the next key line. A key
    // written on several key lines has several.
    struct Run {
        std::uint32_t at;            // of the first value line
        std::uint32_t next = kNone;  // of the same key
    };

    // Finds a sub-key from the hash of its parent and name. Open addressing
    // over one array: far fewer cache misses, and less room, than a node per
    // key, for hives of millions of keys.
    class ChildIndex {
    public:
        template <typename Matches> std::uint32_t Find(std::uint32_t hash, Matches matches) const;
        void Add(std::uint32_t hash, std::uint32_t key);

    private:
        struct Slot {
            std::uint32_t hash = 0;
            std::uint32_t key = kNone;
        };
        std::vector<Slot> slots_;  // a power of two of them, at most three quarters used
        std::size_t used_ = 0;
    };

    class KeptKeys;

    void Parse(const std::vector<Subtree>* subtrees);
    std::uint32_t ReadKeyLine(std::string_view line, KeptKeys& kept, std::vector<std::uint32_t>& last);
    std::uint32_t AddKey(std::uint32_t parent, std::string_view name);
    void LinkInFileOrder();
    std::string_view Text() const;
    std::string_view NameOf(const Key& key) const;
    std::uint32_t FindChild(const Key& parent, std::string_view name) const;
    template <typename Visit> void VisitValues(const Key& key, Visit visit) const;

    std::string text_;
    std::deque<Key> keys_;  // the root first; a deque keeps them in place as it grows
    std::deque<Run> runs_;
    ChildIndex children_;
};

// Decodes the data of a value line ("...", str(N):"...", dword:..., hex:...,
// hex(N):...) as the ANSI registry calls give it. Nothing when it is malformed.
std::optional<RegistryValue> DecodeWineValue(std::string_view data);

}  // namespace zpak
