#!/bin/sh
# The Windows installer and the portable zip under Wine, in a fresh prefix of
# their own: a silent install for every user, then one the wizard is running
# during, an upgrade in place, a silent uninstall, an install into a folder
# of the user's choice upgraded there, a per-user install, and the zip
# unpacked and run.
#
#   installer_test.sh SETUP.EXE ZIP VERSION
#
# Prints one line per check, "ok" or "FAIL"; fails when any check failed.
set -u
setup=$1
zip=$2
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_display.sh"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/zpak-setup.XXXXXX")
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null
    stop_display
    rm -rf "$prefix"
}
trap cleanup EXIT
wineboot --init >/dev/null 2>&1
wineserver -w

. "$here/../support/checks.sh"
# The exit status of a command, as a check can compare it.
status_of() {
    "$@" >/dev/null 2>&1
    echo $?
}
# A program's --version, without the carriage return Windows ends it with.
version_of() {
    wine "$1" --version 2>/dev/null | tr -d '\r'
}
key_exists() {
    wine reg query "$1" >/dev/null 2>&1
}
no_key() {
    ! key_exists "$1"
}
# Waits for the uninstaller, which runs a copy of itself from the temporary
# folder and returns at once, to have done its work.
settle() {
    wineserver -w
}
# The status of a Windows command line run as cmd runs it. The installer's
# /D= and the uninstaller's _?= must stand unquoted at the end of the line,
# which Wine does not leave a word with a blank from a Unix shell: a batch
# file holds the line as written.
status_of_line() {
    printf '%s\r\nexit /b %%ERRORLEVEL%%\r\n' "$1" >"$prefix/drive_c/zpak-line.bat"
    wine cmd /c 'C:\zpak-line.bat' >/dev/null 2>&1
    echo $?
}
unix_path() {
    winepath -u "$1" 2>/dev/null
}

classes=HKLM\\Software\\Classes
user_classes=HKCU\\Software\\Classes
uninstall_key=Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZpakWizard
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZPAK Wizard.lnk"
default_dir="$prefix/drive_c/Program Files/ZPAK Wizard"
installed="zpakwizard.exe zpakbuild.exe user-guide.html guide/02-groups.png uninstall.exe"

all_installed() {
    for file in $installed; do
        [ -f "$1/$file" ] || return 1
    done
}
nothing_left() {
    [ ! -e "$1" ] && [ ! -e "$menu" ] && no_key "$classes\\.zproj" && no_key "$classes\\ZpakWizard.Project" \
        && no_key "HKLM\\$uninstall_key" \
        && no_key "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zpakwizard.exe"
}

# For every user, into Program Files.
check "the installer ends with status 0" [ "$(status_of wine "$setup" /S)" = 0 ]
check "it installs both programs, the guide and the uninstaller into Program Files" all_installed "$default_dir"
check "the installed zpakwizard.exe tells its version" [ "$(version_of "$default_dir/zpakwizard.exe")" = "zpakwizard $version" ]
check "the installed zpakbuild.exe tells its version" [ "$(version_of "$default_dir/zpakbuild.exe")" = "zpakbuild $version" ]
check ".zproj files are ZPAK Wizard projects" sh -c "wine reg query '$classes\\.zproj' /ve | grep -q ZpakWizard.Project"
check "which the wizard opens" sh -c "wine reg query '$classes\\ZpakWizard.Project\\shell\\open\\command' /ve \
    | grep -qF 'ZPAK Wizard\\zpakwizard.exe\" \"%1\"'"
check "the Start menu has the wizard" [ -f "$menu" ]
check "Windows lists it with its version" sh -c "wine reg query 'HKLM\\$uninstall_key' /v DisplayVersion | grep -q ' $version'"

# While the wizard runs, neither the uninstaller nor another install touches
# anything. Wine's desktop keeps the display it started on: the programs run
# so far, without one, must be gone first.
settle
start_display
QT_QPA_PLATFORM=windows wine "$default_dir/zpakwizard.exe" &
wizard=$!
if wait_for_window 'ZPAK WIZARD' 90 >/dev/null; then
    # _?= runs the uninstaller where it is, so that its status is its own.
    check "the uninstaller refuses while the wizard runs (status 3)" \
        [ "$(status_of_line '"C:\Program Files\ZPAK Wizard\uninstall.exe" /S _?=C:\Program Files\ZPAK Wizard')" = 3 ]
    check "the installer refuses too" [ "$(status_of wine "$setup" /S)" = 3 ]
    check "and everything is still there" all_installed "$default_dir"
else
    check "the installed wizard shows its window" false
fi
wine taskkill /im zpakwizard.exe >/dev/null 2>&1
waited=0
while kill -0 "$wizard" 2>/dev/null && [ "$waited" -lt 300 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
check "the wizard ends when asked to close" sh -c "! kill -0 $wizard"
kill "$wizard" 2>/dev/null
wait "$wizard"
stop_display

# Run again, the installer replaces the installed files where they are.
echo "not a program" >"$default_dir/zpakbuild.exe"
check "a second install ends with status 0" [ "$(status_of wine "$setup" /S)" = 0 ]
check "and replaces the installed files" [ "$(version_of "$default_dir/zpakbuild.exe")" = "zpakbuild $version" ]

wine "$default_dir/uninstall.exe" /S >/dev/null 2>&1
settle
check "the uninstaller leaves no file, Start-menu entry, association or entry behind" nothing_left "$default_dir"

# Into a folder of the user's choice; the next install finds it there.
chosen="$prefix/drive_c/Tools/ZPAK Wizard"
check "an install into C:\\Tools\\ZPAK Wizard ends with status 0" \
    [ "$(status_of_line "\"$(winepath -w "$setup" 2>/dev/null)\" /S /D=C:\\Tools\\ZPAK Wizard")" = 0 ]
check "and puts the files there" all_installed "$chosen"
check "the next install, told nothing, upgrades that one" [ "$(status_of wine "$setup" /S)" = 0 ]
check "and not another in Program Files" [ ! -e "$default_dir" ]
wine "$chosen/uninstall.exe" /S >/dev/null 2>&1
settle
check "which the uninstaller removes" nothing_left "$chosen"

# For the current user alone: no administrator rights needed.
local_programs=$(unix_path "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')\\Programs")
user_dir="$local_programs/ZPAK Wizard"
user_menu=$(unix_path "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
user_menu="$user_menu/Microsoft/Windows/Start Menu/Programs/ZPAK Wizard.lnk"
check "a per-user install ends with status 0" [ "$(status_of wine "$setup" /S /CurrentUser)" = 0 ]
check "it installs into the user's own programs folder" all_installed "$user_dir"
check "and the user's own Start menu" [ -f "$user_menu" ]
check "and tells the user's own .zproj association" \
    sh -c "wine reg query '$user_classes\\.zproj' /ve | grep -q ZpakWizard.Project"
check "not every user's" no_key "$classes\\.zproj"
wine "$user_dir/uninstall.exe" /S >/dev/null 2>&1
settle
check "its uninstaller leaves nothing of it behind" sh -c "[ ! -e '$user_dir' ] && [ ! -e '$user_menu' ] \
    && ! wine reg query '$user_classes\\.zproj' && ! wine reg query '$user_classes\\ZpakWizard.Project' \
    && ! wine reg query 'HKCU\\$uninstall_key'"

# The portable zip: the same programs, runnable where it is unpacked.
portable="$prefix/drive_c/Portable"
mkdir -p "$portable"
check "the zip unpacks" unzip -q "$zip" -d "$portable"
unpacked="$portable/$(basename "$zip" .zip)"
check "its zpakwizard.exe tells its version" [ "$(version_of "$unpacked/zpakwizard.exe")" = "zpakwizard $version" ]
check "its zpakbuild.exe tells its version" [ "$(version_of "$unpacked/zpakbuild.exe")" = "zpakbuild $version" ]
check "it keeps its presets beside the programs" [ -f "$unpacked/presets.ini" ]
check "it holds the user guide" test -f "$unpacked/user-guide.html" -a -f "$unpacked/guide/02-groups.png"

checks_done
