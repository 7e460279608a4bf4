// zpakbuild on projects shaped to make work or memory grow faster than the
// project: each must end with its report in a bounded address space, and say
// no more than a small multiple of the project.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zpak {
namespace {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer reserves terabytes of address space
#else
constexpr bool kSanitized = false;
#endif
constexpr rlim_t kAddressSpace = 1024UL * 1024 * 1024;

// Runs zpakbuild COMMAND PROJECT with its address space limited, its output
// into `report`; gives the wait status.
int RunLimited(const std::string& command, const fs::path& project, const fs::path& report)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit limit{kAddressSpace, kAddressSpace};
        ::setrlimit(RLIMIT_AS, &limit);
        const int out = ::open(report.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execl(ZPAK_ZPAKBUILD, ZPAK_ZPAKBUILD, command.c_str(), project.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

struct Shape {
    const char* name;
    std::string body;  // the project's records
};

std::string Repeat(std::string_view text, std::size_t times)
{
    std::string out;
    out.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST(HostileProjectTest, ReportsInBoundedSpace)
{
    if (kSanitized)
        GTEST_SKIP() << "an address space limit does not hold under AddressSanitizer";
    test::TempDir dir;
    dir.Write("Game/Maps/A.map", "a");
    dir.Write("Game/System/Game.ini", "[Engine]\nDetail=Low\n");
    const std::vector<Shape> shapes{
        {"separators", "[Group]\nname=Deep\nMaps\\" + Repeat("x\\", 40000) + "A.map\n"},
        {"deep in two letter cases",
         "[Group]\nname=Deep\nMaps\\" + Repeat("x\\", 16000) + "A.map\nmaps\\" + Repeat("X\\", 16000)
             + "B.map\n"},
        {"a line of 10 MB", "[Group]\nname=Long\nMaps\\" + Repeat("x\\", 5 << 20) + "A.map\n"},
    };
    for (const Shape& shape : shapes) {
        const std::string project =
            (dir / "Game").string() + "\n0.8\n" + shape.body + "[Product]\nproduct=Shape\n";
        const fs::path file = dir.Write("shape.zproj", project);
        for (const char* command : {"check", "preview"}) {
            const int status = RunLimited(command, file, dir / "report");
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1)
                << shape.name << " " << command << " " << status;
            EXPECT_LT(fs::file_size(dir / "report"), 2 * project.size() + 4096)
                << shape.name << " " << command;
        }
    }
}

}  // namespace
}  // namespace zpak
