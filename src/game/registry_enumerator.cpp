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
    if (!root_.KeyExists(path))
        return false;
    return Walk(path, flags, 0);
}

bool RegistryEnumerator::Walk(const std::string& path, int flags, int depth)
{
    if (flags & kValues) {
        RegistryBuffer buffer;
        for (const RegistryValue& value : root_.Values(path)) {
            std::memcpy(buffer.Allocate(value.data.size()), value.data.data(), value.data.size());
            buffer.SetType(value.type);
            if (!OnValue(path, value.name, buffer, depth))
                return false;
        }
    }
    // Sub-keys are always walked; the flag only decides whether OnKey hears of them.
    for (const std::string& name : root_.SubKeys(path)) {
        if ((flags & kKeys) && !OnKey(name, depth))
            return false;
        const std::string child = path.empty() ? name : path + "\\" + name;
        if (root_.KeyExists(child) && !Walk(child, flags, depth + 1))
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

bool RegistryEnumerator::ReadString(const std::string& path, const std::string& name,
                                    std::string& text) const
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
