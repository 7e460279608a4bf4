#include "platform/folder_index.h"

#include "platform/readable_file.h"
#include "platform/text_encoding.h"

#include <cerrno>

#include <windows.h>

namespace zpak {

namespace {

EntryType TypeOf(const WIN32_FIND_DATAW& found)
{
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryType::Link;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryType::Folder : EntryType::File;
}

// The errno value that says the same as a Windows error, for the messages
// and checks that the listing's users share with Linux.
int ErrnoOf(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    default:
        return EIO;
    }
}

}  // namespace

std::unique_ptr<FolderListing> FolderListing::Read(const std::filesystem::path& folder)
{
    auto listing = std::make_unique<FolderListing>();
    listing->path = folder;
    const std::wstring pattern = ((folder.empty() ? std::filesystem::path(L".") : folder) / L"*").native();
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                             nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        listing->error = ErrnoOf(::GetLastError());
        return listing;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..")
            listing->entries.push_back({Utf8FromWide(name), TypeOf(found), nullptr});
    } while (::FindNextFileW(search, &found));
    if (const DWORD code = ::GetLastError(); code != ERROR_NO_MORE_FILES)
        listing->error = ErrnoOf(code);
    ::FindClose(search);
    listing->BuildLookups();
    return listing;
}

FolderIndex::Kind FolderIndex::ExamineOnce(const FolderListing& folder, const FolderEntry& entry, int& error)
{
    if (entry.type == EntryType::Folder)
        return Kind::Folder;
    const std::filesystem::path path = folder.path / PathFromText(entry.name);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = ErrnoOf(::GetLastError());
        return error == ENOENT ? Kind::Gone : Kind::Unreadable;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Kind::Folder;
    if (zpak::IsReadableFile(path))
        return Kind::File;
    error = EACCES;
    return Kind::Unreadable;
}

bool FolderIndex::IsReadableFile(const FolderListing& folder, const FolderEntry& entry)
{
    return entry.type != EntryType::Folder && zpak::IsReadableFile(folder.path / PathFromText(entry.name));
}

}  // namespace zpak
