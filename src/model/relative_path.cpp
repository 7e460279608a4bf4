#include "model/relative_path.h"

#include <algorithm>

#include "platform/text_case.h"

namespace zpak {

namespace {
bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}
}  // namespace

std::string MakeRelativePath(const std::string& base, const std::string& path)
{
    std::string_view folder = base;
    if (folder.size() > 1 && IsSeparator(folder.back()))
        folder.remove_suffix(1);
    if (path.size() <= folder.size() + 1 || !IsSeparator(path[folder.size()]))
        return {};
    // Separators count as equal whichever way they lean.
    for (std::size_t i = 0; i < folder.size(); ++i) {
        const bool same =
            (IsSeparator(folder[i]) && IsSeparator(path[i])) || FoldCase(folder[i]) == FoldCase(path[i]);
        if (!same)
            return {};
    }
    std::string relative = path.substr(folder.size() + 1);
    for (char& c : relative) {
        if (c == '/')
            c = '\\';
    }
    return relative;
}

std::string GameFolderRelativePath(const std::string& folder, const std::string& resolvedFolder,
                                   const std::string& path)
{
    std::string relative = MakeRelativePath(folder, path);
    if (relative.empty() && !resolvedFolder.empty())
        relative = MakeRelativePath(resolvedFolder, path);
    return relative;
}

bool LeavesFolder(std::string_view path)
{
    if (path.empty() || IsSeparator(path.front()) || (path.size() > 1 && path[1] == ':'))
        return true;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = path.size();
        if (path.substr(start, end - start) == "..")
            return true;
        start = end + 1;
    }
    return false;
}

std::string StoredGamePath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::optional<std::vector<std::string>> ComponentsInsideFolder(std::string_view path)
{
    if (!path.empty() && (IsSeparator(path.front()) || (path.size() > 1 && path[1] == ':')))
        return std::nullopt;
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view component = path.substr(start, end - start);
        if (component == "..") {
            if (components.empty())
                return std::nullopt;
            components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.emplace_back(component);
        }
        start = end + 1;
    }
    return components;
}

}  // namespace zpak
