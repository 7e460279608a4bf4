#include "platform/atomic_file.h"

#include "platform/folder_lock.h"
#include "platform/windows/windows_error.h"

#include <random>
#include <vector>

#include <windows.h>

namespace zpak {

namespace {

namespace fs = std::filesystem;

// Locks on Windows are mandatory: a temporary file's writer locks a byte far
// beyond any content, since the zip writer writes the file through a handle
// of its own.
constexpr std::uint64_t kWriterLockOffset = 1ULL << 62;
// Every handle shares deletion, so that the writer can rename its file while
// it holds it open and locked, and a cleaner can delete an abandoned one.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// ERROR_DIRECTORY_NOT_SUPPORTED, which MinGW's headers lack.
constexpr int kIsAFolder = 336;

fs::path FolderOf(const fs::path& file)
{
    return file.has_parent_path() ? file.parent_path() : fs::path(L".");
}

std::wstring TempPrefix(const fs::path& target)
{
    return L"." + target.filename().native() + L".tmp-";
}

// A file that somebody deleted while it was open stays until its last
// handle closes; it is as good as gone.
bool DeletePending(HANDLE file)
{
    FILE_STANDARD_INFO info{};
    return !::GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info) || info.DeletePending;
}

bool IsPlainFile(HANDLE file)
{
    FILE_BASIC_INFO info{};
    return ::GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info)
        && (info.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// A temporary file whose lock can be taken has no writer any more. It is
// deleted through the handle that holds the lock.
bool RemoveIfAbandoned(const fs::path& file)
{
    const FileHandle handle(::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, kShareAll,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle.IsOpen() || !IsPlainFile(handle.Get()) || !TryLockFile(handle.Get(), kWriterLockOffset))
        return false;
    FILE_DISPOSITION_INFO dispose{TRUE};
    return ::SetFileInformationByHandle(handle.Get(), FileDispositionInfo, &dispose, sizeof dispose) != 0;
}

}  // namespace

bool AtomicFile::Fail(int code)
{
    error_ = WindowsErrorText(static_cast<unsigned long>(code));
    Discard();
    return false;
}

void AtomicFile::Discard()
{
    if (file_.IsOpen()) {
        ::DeleteFileW(tempPath_.c_str());  // gone when the handle closes
        file_.Close();
    }
}

bool AtomicFile::Open(const fs::path& target, const AtomicFileOptions& options)
{
    Discard();
    error_.clear();
    resolved_ = target;
    RemoveStaleTempFiles(resolved_);
    return CreateTemp(options);
}

bool AtomicFile::CreateTemp(const AtomicFileOptions&)
{
    const DWORD existing = ::GetFileAttributesW(resolved_.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)
        && !(existing & FILE_ATTRIBUTE_REPARSE_POINT))
        return Fail(kIsAFolder);

    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::wstring prefix = TempPrefix(resolved_);
    for (int attempt = 0; attempt < 100 && !file_.IsOpen(); ++attempt) {
        tempPath_ = FolderOf(resolved_) / (prefix + std::to_wstring(random() % 100000000));
        FileHandle file(::CreateFileW(tempPath_.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen()) {
            const DWORD code = ::GetLastError();
            if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS && code != ERROR_ACCESS_DENIED)
                return Fail(static_cast<int>(code));
            continue;
        }
        // A cleaner may have taken the new file for an abandoned one between
        // its creation and our lock; then it is deleted or still locked by
        // the cleaner, and we try another name.
        if (TryLockFile(file.Get(), kWriterLockOffset) && !DeletePending(file.Get()))
            file_ = std::move(file);
    }
    if (!file_.IsOpen())
        return Fail(ERROR_FILE_EXISTS);
    return true;
}

bool AtomicFile::Write(std::string_view data)
{
    if (!file_.IsOpen())
        return false;
    while (!data.empty()) {
        constexpr std::size_t kLargestWrite = 1U << 30;
        DWORD written = 0;
        const auto size = static_cast<DWORD>(data.size() < kLargestWrite ? data.size() : kLargestWrite);
        if (!::WriteFile(file_.Get(), data.data(), size, &written, nullptr))
            return Fail(static_cast<int>(::GetLastError()));
        data.remove_prefix(written);
    }
    return true;
}

bool AtomicFile::Commit()
{
    if (!file_.IsOpen()) {
        if (error_.empty())
            error_ = WindowsErrorText(ERROR_INVALID_HANDLE);
        return false;
    }
    // Renamed while still open and locked, which sharing deletion allows: a
    // cleaner never sees it unlocked under its temporary name. (Closing
    // first and renaming then would leave a moment in which a cleaner takes
    // the finished file for an abandoned one.) MoveFileExW rather than
    // ReplaceFileW, which fails on relative names under Wine.
    if (!::FlushFileBuffers(file_.Get())
        || !::MoveFileExW(tempPath_.c_str(), resolved_.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Fail(static_cast<int>(::GetLastError()));
    if (!file_.Close()) {
        error_ = WindowsErrorText(::GetLastError());
        return false;
    }
    return true;
}

int RemoveStaleTempFiles(const fs::path& target)
{
    const fs::path folder = FolderOf(target);
    const std::wstring prefix = TempPrefix(target);
    const std::wstring pattern = (folder / (prefix + L"*")).native();
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                             nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    std::vector<std::wstring> candidates;
    do {
        candidates.emplace_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    int removed = 0;
    for (const std::wstring& name : candidates)
        removed += RemoveIfAbandoned(folder / name) ? 1 : 0;
    return removed;
}

}  // namespace zpak
