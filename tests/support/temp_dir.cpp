#include "support/temp_dir.h"

#include <algorithm>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace zpak::test {

TempDir::TempDir()
{
    // create_directory fails on a name that exists: no two tests share a folder.
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        std::filesystem::path candidate = base / ("zpak-test-" + std::to_string(random() % 100000000));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec))
            path_ = std::move(candidate);
    }
    if (path_.empty())
        throw std::runtime_error("no temporary folder could be made");
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(std::string_view relative, std::string_view content) const
{
    std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace zpak::test
