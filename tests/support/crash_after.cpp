// Loaded with LD_PRELOAD into a program under test: kills the program with
// SIGKILL just before its file operation number ZPAK_CRASH_AFTER + 1 (a file
// created or opened for writing, renamed, linked, deleted or synced), as a
// kill -9 would at that point. Children do not inherit it.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

long limit = -1;
long count = 0;

__attribute__((constructor)) void Init()
{
    const char* text = getenv("ZPAK_CRASH_AFTER");
    if (text)
        limit = atol(text);
    unsetenv("ZPAK_CRASH_AFTER");
    unsetenv("LD_PRELOAD");
}

void Step()
{
    if (limit >= 0 && ++count > limit)
        kill(getpid(), SIGKILL);
}

bool Writes(int flags)
{
    return (flags & (O_CREAT | O_TRUNC | O_WRONLY | O_RDWR)) != 0;
}

}  // namespace

// NOLINTNEXTLINE(bugprone-macro-parentheses): a function's name, spelled and taken the address of
#define REAL(name) reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name))

// NOLINTBEGIN(bugprone-macro-parentheses): parameter and argument lists, spelled as they are
// open and its kin: the mode is there only when a file may be created.
#define OPEN_LIKE(name, params, ...)                                                                         \
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
        return REAL(name)(__VA_ARGS__, flags, mode);                                                         \
    }

#define FOPEN_LIKE(name)                                                                                     \
    FILE* name(const char* path, const char* mode)                                                           \
    {                                                                                                        \
        if (strpbrk(mode, "wa+"))                                                                            \
            Step();                                                                                          \
        return REAL(name)(path, mode);                                                                       \
    }

// A call that always changes a file.
#define ALWAYS(name, params, args)                                                                           \
    int name params                                                                                          \
    {                                                                                                        \
        Step();                                                                                              \
        return REAL(name) args;                                                                              \
    }
// NOLINTEND(bugprone-macro-parentheses)

extern "C" {

OPEN_LIKE(open, (const char* path, int flags, ...), path)
OPEN_LIKE(open64, (const char* path, int flags, ...), path)
OPEN_LIKE(openat, (int dir, const char* path, int flags, ...), dir, path)
OPEN_LIKE(openat64, (int dir, const char* path, int flags, ...), dir, path)
FOPEN_LIKE(fopen)
FOPEN_LIKE(fopen64)
ALWAYS(rename, (const char* from, const char* to), (from, to))
ALWAYS(renameat, (int fromDir, const char* from, int toDir, const char* to), (fromDir, from, toDir, to))
ALWAYS(link, (const char* from, const char* to), (from, to))
ALWAYS(unlink, (const char* path), (path))
ALWAYS(unlinkat, (int dir, const char* path, int flags), (dir, path, flags))
ALWAYS(remove, (const char* path), (path))
ALWAYS(fsync, (int fd), (fd))

long syscall(long number, ...)
{
    va_list args;
    va_start(args, number);
    long a[6];
    for (int i = 0; i < 6; ++i)
        a[i] = va_arg(args, long);
    va_end(args);
    if (number == SYS_renameat2)
        Step();
    return REAL(syscall)(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

}  // extern "C"
