#include "game/registry_backend.h"

namespace zpak {

namespace {

// A key known by its whole path.
class PathKey final : public RegistryKey {
public:
    PathKey(const RegistryBackend& registry, std::string path) : registry_(registry), path_(std::move(path))
    {
    }

    std::vector<std::string> SubKeys() const override { return registry_.SubKeys(path_); }
    std::vector<RegistryValue> Values() const override { return registry_.Values(path_); }
    std::unique_ptr<RegistryKey> OpenSubKey(std::string_view name) const override
    {
        return registry_.OpenKey(path_.empty() ? std::string(name) : path_ + "\\" + std::string(name));
    }

private:
    const RegistryBackend& registry_;
    std::string path_;
};

}  // namespace

std::unique_ptr<RegistryKey> RegistryBackend::OpenKey(std::string_view path) const
{
    if (!KeyExists(path))
        return nullptr;
    return std::make_unique<PathKey>(*this, std::string(path));
}

}  // namespace zpak
