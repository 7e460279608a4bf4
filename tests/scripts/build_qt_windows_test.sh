#!/bin/sh
# scripts/build-qt-windows with stand-ins for apt, dpkg, the compiler and
# CMake, so that what it does with its cache is seen in seconds: a Qt is
# taken only when whole, a wrong source is fetched again or refused with a
# clear message, a failed build says so and the next run resumes it, and two
# runs at once build once.
#
#   build_qt_windows_test.sh SCRIPTS-FOLDER
#
# Prints one line per check, "ok" or "FAIL"; fails when any check failed.
set -u
scripts=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/zpak-qt-cache.XXXXXX")
trap 'rm -rf "$work"' EXIT
cache="$work/cache"
stubs="$work/stubs"
calls="$work/calls"
mkdir -p "$stubs"
: >"$calls"

# What the machine's tools say; each stand-in notes its call in $calls.
export STUB_CALLS="$calls" STUB_HOST_VERSION=6.4.2+dfsg-10 STUB_SOURCE_VERSION=6.4.2+dfsg-10
export STUB_FAIL_BUILD="$work/fail-build" STUB_SLOW_BUILD="$work/slow-build"
cat >"$stubs/dpkg-query" <<'EOF'
#!/bin/sh
printf '%s' "$STUB_HOST_VERSION"
EOF
cat >"$stubs/dpkg-architecture" <<'EOF'
#!/bin/sh
echo x86_64-linux-gnu
EOF
cat >"$stubs/x86_64-w64-mingw32-g++-posix" <<'EOF'
#!/bin/sh
echo "x86_64-w64-mingw32-g++-posix (GCC) 12-posix"
EOF
# apt-get source: an unpacked source of $STUB_SOURCE_VERSION in the current folder.
cat >"$stubs/apt-get" <<'EOF'
#!/bin/sh
echo "apt-get source" >>"$STUB_CALLS"
mkdir -p qt6-base-src/debian qt6-base-src/src/widgets
echo "qt6-base ($STUB_SOURCE_VERSION) unstable; urgency=medium" >qt6-base-src/debian/changelog
: >qt6-base-src/src/widgets/CMakeLists.txt
EOF
# cmake: configuring notes the prefix; building fails while $STUB_FAIL_BUILD
# exists; installing puts a library under $DESTDIR and the prefix.
cat >"$stubs/cmake" <<'EOF'
#!/bin/sh
case $1 in
-S)
    echo configure >>"$STUB_CALLS"
    for arg; do
        case $arg in -DCMAKE_INSTALL_PREFIX=*) echo "${arg#*=}" >"$4/prefix" ;; esac
    done ;;
--build)
    echo build >>"$STUB_CALLS"
    [ -e "$STUB_SLOW_BUILD" ] && sleep 1
    [ -e "$STUB_FAIL_BUILD" ] && { echo "qwidget.cpp: error: out of memory"; exit 1; }
    : >"$2/built" ;;
--install)
    echo install >>"$STUB_CALLS"
    [ -e "$2/built" ] || exit 1
    lib="$DESTDIR$(cat "$2/prefix")/lib"
    mkdir -p "$lib" && : >"$lib/libQt6Widgets.a" ;;
esac
EOF
chmod +x "$stubs"/*
export PATH="$stubs:$PATH"

. "$(cd "$(dirname "$0")" && pwd)/../support/checks.sh"
# Runs the script: its status in $status, the last line it printed (the
# prefix) in $out, its messages in $work/messages.
run() {
    : >"$calls"
    "$scripts/build-qt-windows" "$cache" >"$work/out" 2>"$work/messages"
    status=$?
    out=$(tail -n 1 "$work/out")
}
said() {
    grep -q "$1" "$work/messages"
}
called() {
    grep -qx "$1" "$calls"
}
count_of() {
    grep -cx "$1" "$calls"
}
qt_folders() {
    find "$cache" -mindepth 1 -maxdepth 1 -name 'qt-*' | wc -l
}

# A failed build: a clear message, no Qt in the cache; the next run resumes.
: >"$STUB_FAIL_BUILD"
run
check "a failed Qt build ends with an error" [ "$status" -ne 0 ]
check "which says so" said 'the Qt build failed'
check "and shows the compiler's complaint" said 'out of memory'
check "and leaves no Qt folder in the cache" [ "$(qt_folders)" -eq 0 ]
rm "$STUB_FAIL_BUILD"
run
check "the next run resumes the build" said 'resuming the interrupted build'
check "and gives the Qt folder" [ "$status" -eq 0 ]
check "with Qt in it" [ -f "$out/lib/libQt6Widgets.a" ]
check "marked whole" [ -f "$out/.complete" ]
prefix=$out

# A whole Qt is taken as it is.
run
check "a built Qt is taken from the cache" [ "$out" = "$prefix" ]
check "without configuring or building anything" [ ! -s "$calls" ]

# A folder of that name without its mark (a run that died as it moved the
# staged Qt into place) is built again, never taken.
rm "$prefix/.complete"
run
check "a Qt folder without its mark is built again" called build
check "and then marked whole" [ -f "$prefix/.complete" ]

# Another host version: another key, another Qt beside the first; a source
# of the old version is fetched again.
STUB_HOST_VERSION=6.4.2+dfsg-11 STUB_SOURCE_VERSION=6.4.2+dfsg-11
run
check "the host's tools of another version build a Qt of their own" [ -f "$out/.complete" ]
check "beside the first" [ "$out" != "$prefix" ]
check "which stays" [ -f "$prefix/.complete" ]
check "from a source fetched again" called "apt-get source"

# apt offers a source that does not match the host's tools: refused.
STUB_HOST_VERSION=6.4.2+dfsg-12
run
check "a source of another version than the host's tools is refused" [ "$status" -ne 0 ]
check "saying what to do" said 'apt-get upgrade'
check "and nothing is built from it" [ "$(count_of build)" -eq 0 ]

# Two runs at once: one builds, the other waits and takes its Qt.
STUB_HOST_VERSION=6.4.2+dfsg-13 STUB_SOURCE_VERSION=6.4.2+dfsg-13
: >"$STUB_SLOW_BUILD"
: >"$calls"
"$scripts/build-qt-windows" "$cache" >"$work/first" 2>/dev/null &
"$scripts/build-qt-windows" "$cache" >"$work/second" 2>/dev/null
wait
check "two runs at once build once" [ "$(count_of build)" -eq 1 ]
first=$(tail -n 1 "$work/first")
check "and both give the same, whole Qt" [ -f "$first/.complete" ]
check "to both" [ "$first" = "$(tail -n 1 "$work/second")" ]

checks_done
