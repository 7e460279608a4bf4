#pragma once

#include "game/registry_buffer.h"

#include <memory>
#include <string>
#include <vector>

namespace zpak {

class RegistryBackend;
class RegistryKey;

// Walks registry keys depth first: a key's values, then for each sub-key its
// OnKey call followed by its whole subtree. A callback that returns false
// stops the whole walk.
class RegistryEnumerator {
public:
    static constexpr int kValues = 1;
    static constexpr int kKeys = 2;

    explicit RegistryEnumerator(const RegistryBackend& root) : root_(root) {}
    virtual ~RegistryEnumerator() = default;

    virtual bool OnValue(const std::string& path, const std::string& name, const RegistryBuffer& data,
                         int depth);
    virtual bool OnKey(const std::string& name, int depth);

    // Walks the key at `path` (the root when empty); `flags` tells which
    // callbacks to make. False when the key cannot be opened or a callback
    // stopped the walk.
    bool Enumerate(const std::string& path, int flags);
    bool ReadValue(const std::string& path, const std::string& name, RegistryBuffer& buffer) const;
    bool ReadString(const std::string& path, const std::string& name, std::string& text) const;

private:
    bool Walk(std::unique_ptr<RegistryKey> start, std::string path, int flags);
    bool VisitValues(const RegistryKey& key, const std::string& path, int depth);

    const RegistryBackend& root_;
};

// Collects the names of the direct sub-keys of the walked key.
class InstalledGamesEnumerator final : public RegistryEnumerator {
public:
    using RegistryEnumerator::RegistryEnumerator;

    bool OnValue(const std::string&, const std::string&, const RegistryBuffer&, int) override { return true; }
    bool OnKey(const std::string& name, int depth) override;

    std::vector<std::string> games;
};

}  // namespace zpak
