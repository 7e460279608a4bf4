#include "support/temp_dir.h"
#include "ui/app/project_text.h"
#include "ui/app/recent_projects.h"
#include "ui/app/system_places.h"

#include <QDir>
#include <QSettings>
#include <QUuid>

#include <gtest/gtest.h>

namespace zpak::ui::test {
namespace {

namespace fs = std::filesystem;

QString QtPath(const fs::path& path)
{
    return FromNativePath(path);
}

// Where the recent list may live on this system: a text file, and on
// Windows a registry key of its own for each run.
std::vector<QString> RecentLocations(const zpak::test::TempDir& dir)
{
    std::vector<QString> locations{QtPath(dir / "recent-projects")};
#ifdef _WIN32
    locations.push_back(QStringLiteral("HKEY_CURRENT_USER\\Software\\ZPAK Wizard tests\\")
                        + QUuid::createUuid().toString(QUuid::WithoutBraces));
#endif
    return locations;
}

TEST(RecentProjectsTest, NewestFirstWithoutRepeatsUpToTheMost)
{
    const zpak::test::TempDir dir;
    for (const QString& location : RecentLocations(dir)) {
        SCOPED_TRACE(location.toStdString());
        // Qt's form of the path, whichever separators the system writes.
        const auto project = [&](int n) {
            return QDir::fromNativeSeparators(QtPath(dir / ("p" + std::to_string(n) + ".zproj")));
        };
        RecentProjects recent(location);
        EXPECT_TRUE(recent.Files().isEmpty());
        for (int n = 1; n <= RecentProjects::kMost + 2; ++n)
            recent.Add(project(n));
        recent.Add(project(5));  // again: moves to the top, once

        // What another start of the wizard finds.
        const QStringList files = RecentProjects(location).Files();
        ASSERT_EQ(files.size(), RecentProjects::kMost);
        EXPECT_EQ(files[0], project(5));
        EXPECT_EQ(files[1], project(RecentProjects::kMost + 2));
        EXPECT_EQ(files.count(project(5)), 1);
        EXPECT_FALSE(files.contains(project(1))) << "the oldest is dropped";
        EXPECT_FALSE(files.contains(project(2)));
        if (location.startsWith(QStringLiteral("HKEY_")))
            QSettings(location, QSettings::NativeFormat).remove(QString());
    }
}

// presets.ini beside the program is the portable copy's; otherwise the
// user's own folder holds it, made when missing.
TEST(SystemPlacesTest, PresetsBesideTheProgramOnlyWhenThere)
{
    const zpak::test::TempDir dir;
    const fs::path program = dir / "program";
    const fs::path user = dir / "user" / "zpakwizard";
    fs::create_directories(program);

    EXPECT_EQ(FindPresets(QtPath(program), QtPath(user)), user / "presets.ini");
    EXPECT_TRUE(fs::is_directory(user));

    dir.Write("program/presets.ini", "");
    EXPECT_EQ(fs::canonical(FindPresets(QtPath(program), QtPath(user))),
              fs::canonical(program / "presets.ini"));
    EXPECT_EQ(zpak::test::FolderNames(program), std::vector<std::string>{"presets.ini"})
        << "the check for a writable folder leaves nothing behind";
}

TEST(SystemPlacesTest, UserGuideBesideTheProgramOrInItsShareFolder)
{
    const zpak::test::TempDir dir;
    dir.Write("usr/share/zpakwizard/user-guide.html", "");
    fs::create_directories(dir / "usr" / "bin");
    EXPECT_EQ(fs::canonical(FindUserGuide(QtPath(dir / "usr" / "bin"))),
              fs::canonical(dir / "usr" / "share" / "zpakwizard" / "user-guide.html"));
    dir.Write("usr/bin/user-guide.html", "");
    EXPECT_EQ(fs::canonical(FindUserGuide(QtPath(dir / "usr" / "bin"))),
              fs::canonical(dir / "usr" / "bin" / "user-guide.html"));
}

}  // namespace
}  // namespace zpak::ui::test
