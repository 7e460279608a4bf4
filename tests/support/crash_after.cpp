// Loaded with LD_PRELOAD into a program under test, in one of two ways:
//
// - ZPAK_CRASH_AFTER=N kills the program with SIGKILL just before its file
//   operation number N + 1 (a file created or opened for writing, renamed,
//   linked, deleted or synced), as a kill -9 would at that point.
// - ZPAK_FAIL_AT=N makes call number N fail, as a failing disk, a removed
//   permission or a full file system would: every call that looks at or
//   changes the file ZPAK_FAIL_UNDER or a file below it (by its path, or by a
//   descriptor or stream opened there) counts, whether it opens, reads,
//   writes, seeks, examines, lists, locks, renames, deletes, syncs or closes.
//   The failing call does nothing and reports an error (EIO, or EACCES for
//   opening and examining); ZPAK_FAIL_REPORT names a file that then gets the
//   call's name, so that a run without one can tell that the program made
//   fewer calls.
//
// Children do not inherit it.
#include <atomic>
#include <bitset>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

long crashLimit = -1;
std::atomic<long> crashCount{0};

long failAt = -1;
std::atomic<long> failCount{0};
// Plain arrays: Init runs before the library's own objects are made.
char failUnder[4096];
char failReport[4096];  // where the failing call is named
std::size_t failUnderLength = 0;

// Descriptors opened below failUnder; FILE streams and DIR listings go by
// their descriptors.
constexpr int kMostDescriptors = 65536;
std::bitset<kMostDescriptors> watched;
std::mutex watchedLock;

__attribute__((constructor)) void Init()
{
    if (const char* text = getenv("ZPAK_CRASH_AFTER"))
        crashLimit = atol(text);
    if (const char* text = getenv("ZPAK_FAIL_AT"))
        failAt = atol(text);
    if (const char* text = getenv("ZPAK_FAIL_UNDER"))
        failUnderLength = static_cast<std::size_t>(snprintf(failUnder, sizeof failUnder, "%s", text));
    if (const char* text = getenv("ZPAK_FAIL_REPORT"))
        snprintf(failReport, sizeof failReport, "%s", text);
    for (const char* name :
         {"ZPAK_CRASH_AFTER", "ZPAK_FAIL_AT", "ZPAK_FAIL_UNDER", "ZPAK_FAIL_REPORT", "LD_PRELOAD"})
        unsetenv(name);
}

void Step()
{
    if (crashLimit >= 0 && ++crashCount > crashLimit)
        kill(getpid(), SIGKILL);
}

bool Writes(int flags)
{
    return (flags & (O_CREAT | O_TRUNC | O_WRONLY | O_RDWR)) != 0;
}

bool Below(const char* path)
{
    return failAt >= 0 && path && std::strncmp(path, failUnder, failUnderLength) == 0
        && (path[failUnderLength] == '/' || path[failUnderLength] == '\0');
}

bool Watched(int fd)
{
    if (failAt < 0 || fd < 0 || fd >= kMostDescriptors)
        return false;
    const std::lock_guard<std::mutex> hold(watchedLock);
    return watched.test(static_cast<std::size_t>(fd));
}

void Watch(int fd, bool on)
{
    if (fd < 0 || fd >= kMostDescriptors)
        return;
    const std::lock_guard<std::mutex> hold(watchedLock);
    watched.set(static_cast<std::size_t>(fd), on);
}

// True when this call is the one to fail; it is named in the report.
bool Fails(bool counted, const char* call)
{
    if (!counted || failCount.fetch_add(1) + 1 != failAt)
        return false;
    if (failReport[0] != '\0') {
        const int fd = static_cast<int>(
            ::syscall(SYS_openat, AT_FDCWD, failReport, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (fd >= 0) {
            ::syscall(SYS_write, fd, call, std::strlen(call));
            ::syscall(SYS_close, fd);
        }
    }
    return true;
}

}  // namespace

// NOLINTNEXTLINE(bugprone-macro-parentheses): a function's name, spelled and taken the address of
#define REAL(name) reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name))

// NOLINTBEGIN(bugprone-macro-parentheses): parameter and argument lists, spelled as they are
// open and its kin: the mode is there only when a file may be created.
#define OPEN_LIKE(name, params, path, ...)                                                                   \
    int name params                                                                                          \
    {                                                                                                        \
        unsigned mode = 0;                                                                                   \
        if (flags & (O_CREAT | O_TMPFILE)) {                                                                 \
            va_list args;                                                                                    \
            va_start(args, flags);                                                                           \
            mode = va_arg(args, unsigned);                                                                   \
            va_end(args);                                                                                    \
        }                                                                                                    \
        if (Writes(flags))                                                                                   \
            Step();                                                                                          \
        const bool below = Below(path);                                                                      \
        if (Fails(below, #name)) {                                                                           \
            errno = EACCES;                                                                                  \
            return -1;                                                                                       \
        }                                                                                                    \
        const int fd = REAL(name)(__VA_ARGS__, flags, mode);                                                 \
        if (below)                                                                                           \
            Watch(fd, true);                                                                                 \
        return fd;                                                                                           \
    }

#define FOPEN_LIKE(name)                                                                                     \
    FILE* name(const char* path, const char* mode)                                                           \
    {                                                                                                        \
        if (strpbrk(mode, "wa+"))                                                                            \
            Step();                                                                                          \
        const bool below = Below(path);                                                                      \
        if (Fails(below, #name)) {                                                                           \
            errno = EACCES;                                                                                  \
            return nullptr;                                                                                  \
        }                                                                                                    \
        FILE* file = REAL(name)(path, mode);                                                                 \
        if (file && below)                                                                                   \
            Watch(fileno(file), true);                                                                       \
        return file;                                                                                         \
    }

// A call on a path that changes it: counted for the kill, may fail.
#define CHANGES_PATH(name, params, path, args)                                                               \
    int name params                                                                                          \
    {                                                                                                        \
        Step();                                                                                              \
        if (Fails(Below(path), #name)) {                                                                     \
            errno = EIO;                                                                                     \
            return -1;                                                                                       \
        }                                                                                                    \
        return REAL(name) args;                                                                              \
    }

// A call on a path that only looks: may fail.
#define LOOKS_AT_PATH(name, params, path, args)                                                              \
    int name params                                                                                          \
    {                                                                                                        \
        if (Fails(Below(path), #name)) {                                                                     \
            errno = EACCES;                                                                                  \
            return -1;                                                                                       \
        }                                                                                                    \
        return REAL(name) args;                                                                              \
    }

// A call on a descriptor: may fail.
#define ON_DESCRIPTOR(type, name, params, fd, args)                                                          \
    type name params                                                                                         \
    {                                                                                                        \
        if (Fails(Watched(fd), #name)) {                                                                     \
            errno = EIO;                                                                                     \
            return -1;                                                                                       \
        }                                                                                                    \
        return REAL(name) args;                                                                              \
    }

// A call on a stream: may fail.
#define ON_STREAM(type, name, params, file, failed, args)                                                    \
    type name params                                                                                         \
    {                                                                                                        \
        if (Fails(file && Watched(fileno(file)), #name)) {                                                   \
            errno = EIO;                                                                                     \
            return failed;                                                                                   \
        }                                                                                                    \
        return REAL(name) args;                                                                              \
    }

// Calls relative to a watched folder count too.
#define AT_PATH(name, params, dir, path, args)                                                               \
    int name params                                                                                          \
    {                                                                                                        \
        if (Fails(path[0] == '/' ? Below(path) : Watched(dir), #name)) {                                     \
            errno = EACCES;                                                                                  \
            return -1;                                                                                       \
        }                                                                                                    \
        return REAL(name) args;                                                                              \
    }
// NOLINTEND(bugprone-macro-parentheses)

extern "C" {

OPEN_LIKE(open, (const char* path, int flags, ...), path, path)
OPEN_LIKE(open64, (const char* path, int flags, ...), path, path)
OPEN_LIKE(openat, (int dir, const char* path, int flags, ...), (path[0] == '/' ? path : nullptr), dir, path)
OPEN_LIKE(openat64, (int dir, const char* path, int flags, ...), (path[0] == '/' ? path : nullptr), dir, path)
FOPEN_LIKE(fopen)
FOPEN_LIKE(fopen64)

CHANGES_PATH(rename, (const char* from, const char* to), from, (from, to))
CHANGES_PATH(renameat, (int fromDir, const char* from, int toDir, const char* to), from,
             (fromDir, from, toDir, to))
CHANGES_PATH(link, (const char* from, const char* to), from, (from, to))
CHANGES_PATH(unlink, (const char* path), path, (path))
CHANGES_PATH(unlinkat, (int dir, const char* path, int flags), path, (dir, path, flags))
CHANGES_PATH(remove, (const char* path), path, (path))
CHANGES_PATH(mkdir, (const char* path, mode_t mode), path, (path, mode))
CHANGES_PATH(rmdir, (const char* path), path, (path))

LOOKS_AT_PATH(stat, (const char* path, struct stat* info), path, (path, info))
LOOKS_AT_PATH(stat64, (const char* path, struct stat64* info), path, (path, info))
LOOKS_AT_PATH(lstat, (const char* path, struct stat* info), path, (path, info))
LOOKS_AT_PATH(lstat64, (const char* path, struct stat64* info), path, (path, info))
LOOKS_AT_PATH(access, (const char* path, int mode), path, (path, mode))
LOOKS_AT_PATH(statx, (int dir, const char* path, int flags, unsigned mask, struct statx* info),
              (path[0] == '/' ? path : nullptr), (dir, path, flags, mask, info))

AT_PATH(fstatat, (int dir, const char* path, struct stat* info, int flags), dir, path,
        (dir, path, info, flags))
AT_PATH(fstatat64, (int dir, const char* path, struct stat64* info, int flags), dir, path,
        (dir, path, info, flags))
AT_PATH(faccessat, (int dir, const char* path, int mode, int flags), dir, path, (dir, path, mode, flags))

ON_DESCRIPTOR(int, fstat, (int fd, struct stat* info), fd, (fd, info))
ON_DESCRIPTOR(int, fstat64, (int fd, struct stat64* info), fd, (fd, info))
ON_DESCRIPTOR(ssize_t, read, (int fd, void* buffer, size_t size), fd, (fd, buffer, size))
ON_DESCRIPTOR(ssize_t, pread, (int fd, void* buffer, size_t size, off_t at), fd, (fd, buffer, size, at))
ON_DESCRIPTOR(ssize_t, pread64, (int fd, void* buffer, size_t size, off64_t at), fd, (fd, buffer, size, at))
ON_DESCRIPTOR(ssize_t, write, (int fd, const void* buffer, size_t size), fd, (fd, buffer, size))
ON_DESCRIPTOR(ssize_t, pwrite, (int fd, const void* buffer, size_t size, off_t at), fd,
              (fd, buffer, size, at))
ON_DESCRIPTOR(ssize_t, pwrite64, (int fd, const void* buffer, size_t size, off64_t at), fd,
              (fd, buffer, size, at))
ON_DESCRIPTOR(off_t, lseek, (int fd, off_t at, int whence), fd, (fd, at, whence))
ON_DESCRIPTOR(off64_t, lseek64, (int fd, off64_t at, int whence), fd, (fd, at, whence))
ON_DESCRIPTOR(int, ftruncate, (int fd, off_t size), fd, (fd, size))
ON_DESCRIPTOR(int, fchmod, (int fd, mode_t mode), fd, (fd, mode))
ON_DESCRIPTOR(int, flock, (int fd, int operation), fd, (fd, operation))

int fsync(int fd)
{
    Step();
    if (Fails(Watched(fd), "fsync")) {
        errno = EIO;
        return -1;
    }
    return REAL(fsync)(fd);
}

int dup(int fd)
{
    if (Fails(Watched(fd), "dup")) {
        errno = EMFILE;
        return -1;
    }
    const int copy = REAL(dup)(fd);
    if (Watched(fd))
        Watch(copy, true);
    return copy;
}

// The descriptor is closed all the same, as the system does.
int close(int fd)
{
    const bool fails = Fails(Watched(fd), "close");
    Watch(fd, false);
    const int result = REAL(close)(fd);
    if (fails) {
        errno = EIO;
        return -1;
    }
    return result;
}

int fcntl(int fd, int command, ...)
{
    va_list args;
    va_start(args, command);
    void* argument = va_arg(args, void*);
    va_end(args);
    // Only locks: the other commands are the runtime's own business.
    if ((command == F_OFD_SETLK || command == F_SETLK) && Fails(Watched(fd), "fcntl")) {
        errno = EIO;
        return -1;
    }
    return REAL(fcntl)(fd, command, argument);
}

DIR* fdopendir(int fd)
{
    if (Fails(Watched(fd), "fdopendir")) {
        errno = EACCES;
        return nullptr;
    }
    return REAL(fdopendir)(fd);
}

DIR* opendir(const char* path)
{
    const bool below = Below(path);
    if (Fails(below, "opendir")) {
        errno = EACCES;
        return nullptr;
    }
    DIR* dir = REAL(opendir)(path);
    if (dir && below)
        Watch(dirfd(dir), true);
    return dir;
}

dirent* readdir(DIR* dir)
{
    if (Fails(dir && Watched(dirfd(dir)), "readdir")) {
        errno = EIO;
        return nullptr;
    }
    return REAL(readdir)(dir);
}

dirent64* readdir64(DIR* dir)
{
    if (Fails(dir && Watched(dirfd(dir)), "readdir64")) {
        errno = EIO;
        return nullptr;
    }
    return REAL(readdir64)(dir);
}

int closedir(DIR* dir)
{
    if (dir)
        Watch(dirfd(dir), false);
    return REAL(closedir)(dir);
}

ON_STREAM(size_t, fread, (void* buffer, size_t size, size_t count, FILE* file), file, 0,
          (buffer, size, count, file))
ON_STREAM(size_t, fwrite, (const void* buffer, size_t size, size_t count, FILE* file), file, 0,
          (buffer, size, count, file))
ON_STREAM(int, fseeko64, (FILE * file, off64_t at, int whence), file, -1, (file, at, whence))
ON_STREAM(off64_t, ftello64, (FILE * file), file, -1, (file))
ON_STREAM(int, fflush, (FILE * file), file, EOF, (file))

int fclose(FILE* file)
{
    const bool fails = file && Fails(Watched(fileno(file)), "fclose");
    if (file)
        Watch(fileno(file), false);
    const int result = REAL(fclose)(file);
    if (fails) {
        errno = EIO;
        return EOF;
    }
    return result;
}

long syscall(long number, ...)
{
    va_list args;
    va_start(args, number);
    long a[6];
    for (int i = 0; i < 6; ++i)
        a[i] = va_arg(args, long);
    va_end(args);
    if (number == SYS_renameat2) {
        Step();
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the path argument, passed as a long
        if (Fails(Below(reinterpret_cast<const char*>(a[1])), "renameat2")) {
            errno = EIO;
            return -1;
        }
    }
    return REAL(syscall)(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

}  // extern "C"
