#include "platform/folder_index.h"

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

namespace {

EntryType TypeOf(unsigned char type)
{
    switch (type) {
    case DT_REG:
        return EntryType::File;
    case DT_DIR:
        return EntryType::Folder;
    case DT_LNK:
        return EntryType::Link;
    case DT_UNKNOWN:
        return EntryType::Unknown;
    default:
        return EntryType::Other;
    }
}

}  // namespace

std::unique_ptr<FolderListing> FolderListing::Read(const std::filesystem::path& folder)
{
    auto listing = std::make_unique<FolderListing>();
    listing->path = folder;
    listing->handle =
        FileHandle(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int readFd = listing->handle.IsOpen() ? ::dup(listing->handle.Get()) : -1;
    DIR* dir = readFd >= 0 ? ::fdopendir(readFd) : nullptr;
    if (!dir) {
        listing->error = errno;
        if (readFd >= 0)
            ::close(readFd);
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            listing->error = errno;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        listing->entries.push_back({std::string(name), TypeOf(entry->d_type), nullptr});
    }
    ::closedir(dir);
    listing->BuildLookups();
    return listing;
}

FolderIndex::Kind FolderIndex::ExamineOnce(const FolderListing& folder, const FolderEntry& entry, int& error)
{
    const int fd = folder.handle.Get();
    const auto failed = [&error] {
        error = errno;
        return error == ENOENT ? Kind::Gone : Kind::Unreadable;
    };
    if (entry.type == EntryType::Folder)
        return Kind::Folder;
    if (entry.type == EntryType::Other)
        return Kind::Other;
    if (entry.type != EntryType::File) {
        struct stat info {};
        if (::fstatat(fd, entry.name.c_str(), &info, 0) != 0)
            return failed();
        if (S_ISDIR(info.st_mode))
            return Kind::Folder;
        if (!S_ISREG(info.st_mode))
            return Kind::Other;
    }
    return ::faccessat(fd, entry.name.c_str(), R_OK, AT_EACCESS) == 0 ? Kind::File : failed();
}

bool FolderIndex::IsReadableFile(const FolderListing& folder, const FolderEntry& entry)
{
    const int fd = folder.handle.Get();
    bool regular = entry.type == EntryType::File;
    if (entry.type == EntryType::Link || entry.type == EntryType::Unknown) {
        struct stat info {};
        regular = ::fstatat(fd, entry.name.c_str(), &info, 0) == 0 && S_ISREG(info.st_mode);
    }
    // AT_EACCESS: checked as whoever opens the file, and much cheaper than the
    // real-id check, which swaps the credentials in the kernel on every call.
    return regular && ::faccessat(fd, entry.name.c_str(), R_OK, AT_EACCESS) == 0;
}

}  // namespace zpak
