#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zpak::test {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view relative) const { return path_ / relative; }

    // Creates a file (and its folders) below the folder, `relative` using '/'.
    std::filesystem::path Write(std::string_view relative, std::string_view content) const;

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& file);

// The names in a folder, sorted; hidden ones included.
std::vector<std::string> FolderNames(const std::filesystem::path& folder);

}  // namespace zpak::test
