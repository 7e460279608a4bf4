#include "game/registry_enumerator.h"

#include "game/registry_backend.h"

#include <cstring>

namespace zpak {

bool RegistryEnumerator::OnValue(const std::string&, const std::string&, const RegistryBuffer&, int)
{
    return false;
}

bool RegistryEnumerator::OnKey(const std::string&, int)
{
    return false;
}

bool RegistryEnumerator::Enumerate(const std::string& path, int flags)
{
    std::unique_ptr<RegistryKey> start = root_.OpenKey(path);
    return start && Walk(std::move(start), path, flags);
}

// Without recursion, so that the call stack a walk takes does not grow with
// the depth of the keys. Only keys with sub-keys still to visit are held, so a
// long chain of single sub-keys takes no room either.
bool RegistryEnumerator::Walk(std::unique_ptr<RegistryKey> start, std::string path, int flags)
{
    struct Level {
        std::unique_ptr<RegistryKey> key;
        std::vector<std::string> subKeys;
        std::size_t next;
        std::size_t pathSize;  // of the key's own path
        int depth;
    };
    std::vector<Level> levels;
    const auto enter = [&](std::unique_ptr<RegistryKey> key, int depth) {
        if ((flags & kValues) && !VisitValues(*key, path, depth))
            return false;
        // Sub-keys are always walked; the flag only decides whether OnKey hears of them.
        std::vector<std::string> subKeys = key->SubKeys();
        if (!subKeys.empty())
            levels.push_back({std::move(key), std::move(subKeys), 0, path.size(), depth});
        return true;
    };

    if (!enter(std::move(start), 0))
        return false;
    while (!levels.empty()) {
        Level& level = levels.back();
        const int depth = level.depth;
        const std::string name = std::move(level.subKeys[level.next++]);
        if ((flags & kKeys) && !OnKey(name, depth))
            return false;
        std::unique_ptr<RegistryKey> child = level.key->OpenSubKey(name);
        path.resize(level.pathSize);
        if (level.next == level.subKeys.size())
            levels.pop_back();
        if (!child)
            continue;
        if (!path.empty())
            path += '\\';
        path += name;
        if (!enter(std::move(child), depth + 1))
            return false;
    }
    return true;
}

bool RegistryEnumerator::VisitValues(const RegistryKey& key, const std::string& path, int depth)
{
    RegistryBuffer buffer;
    for (const RegistryValue& value : key.Values()) {
        std::memcpy(buffer.Allocate(value.data.size()), value.data.data(), value.data.size());
        buffer.SetType(value.type);
        if (!OnValue(path, value.name, buffer, depth))
            return false;
    }
    return true;
}

bool RegistryEnumerator::ReadValue(const std::string& path, const std::string& name,
                                   RegistryBuffer& buffer) const
{
    const std::optional<RegistryValue> value = root_.QueryValue(path, name);
    if (!value)
        return false;
    std::memcpy(buffer.Allocate(value->data.size()), value->data.data(), value->data.size());
    buffer.SetType(value->type);
    return true;
}

bool RegistryEnumerator::ReadString(const std::string& path, const std::string& name, std::string& text) const
{
    RegistryBuffer buffer;
    return ReadValue(path, name, buffer) && buffer.AsString(text);
}

bool InstalledGamesEnumerator::OnKey(const std::string& name, int depth)
{
    if (depth == 0)
        games.push_back(name);
    return true;
}

}  // namespace zpak
