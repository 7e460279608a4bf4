#include "rules/game_folder_rules.h"

namespace zpak {

namespace {

bool HasDriveLetter(const std::string& path)
{
    return path.size() >= 2 && path[1] == ':'
        && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string Joined(const std::string& folder, const std::string& rest)
{
    if (rest.empty())
        return folder;
    return folder.ends_with('/') ? folder + rest : folder + "/" + rest;
}

}  // namespace

std::string NormalisedGameFolder(const std::string& typed, const std::string& home,
                                 const std::string& workingDirectory)
{
    if (typed.empty() || typed.front() == '/' || typed.front() == '\\' || HasDriveLetter(typed))
        return typed;
    if (typed == "~")
        return home;
    if (typed.starts_with("~/"))
        return Joined(home, typed.substr(2));
    return Joined(workingDirectory, typed.starts_with("./") ? typed.substr(2) : typed);
}

}  // namespace zpak
