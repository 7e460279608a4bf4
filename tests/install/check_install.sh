#!/bin/sh
# Installs the build into a scratch root as a package would, and checks what
# the desktop reads there: the entry, the MIME type, the metainfo, the icons,
# and that both programs answer --version and --help without a display. Then
# builds the .deb (without installing it) and looks at what it holds.
# Usage: check_install.sh CMAKE CPACK BUILD_DIR APP_ID MIME_TYPE VERSION
set -eu
cmake=$1 cpack=$2 build=$3 id=$4 mime=$5 version=$6

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null
share=$root/usr/share
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}
# A validator passes only when it has nothing to say but hints.
quiet() {
    if ! out=$("$@" 2>&1) || { [ -n "$out" ] && echo "$out" | grep -qv ': hint: '; }; then
        fail "$*"
        echo "$out" >&2
    fi
}

entry=$share/applications/$id.desktop
# Its only hint: two main categories (Development and Game), as wanted.
quiet desktop-file-validate "$entry"
quiet xmllint --noout "$share/mime/packages/$id.xml"
# The metainfo with the desktop entry it launches; only pedantic remarks pass (the id's capitals).
if ! out=$(appstreamcli validate-tree --no-net --no-color "$root/usr" 2>&1) ||
    echo "$out" | grep -q '^ *[EWI]: '; then
    fail "appstreamcli validate-tree"
    echo "$out" >&2
fi

# A double click on a project: its name gives the MIME type, which the entry opens with the program.
quiet env XDG_DATA_DIRS="$share" update-mime-database "$share/mime"
grep -qx "[0-9]*:$mime:\*\.zproj" "$share/mime/globs2" || fail "*.zproj is not $mime"
grep -qx "MimeType=$mime;" "$entry" || fail "the desktop entry does not open $mime"
# By its installed path: the session's PATH may lack the prefix's bin folder.
grep -qx 'Exec="/usr/bin/zpakwizard" %f' "$entry" || fail "the desktop entry does not start /usr/bin/zpakwizard with a file"
DESTDIR=$root/elsewhere "$cmake" --install "$build" --prefix "/opt/zpak wizard" >/dev/null
grep -qx 'Exec="/opt/zpak wizard/bin/zpakwizard" %f' "$root/elsewhere/opt/zpak wizard/share/applications/$id.desktop" ||
    fail "the desktop entry does not follow the install prefix"
grep -qx "Icon=zpakwizard" "$entry" || fail "the desktop entry's icon is not zpakwizard"

for size in 16 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/zpakwizard.png
    # The width and height of a PNG: big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$dims" = "${size}x${size}" ] || fail "$png is ${dims:-missing}, not ${size}x${size}"
done
xmllint --noout "$share/icons/hicolor/scalable/apps/zpakwizard.svg" || fail "no scalable icon"
[ -s "$share/zpakwizard/user-guide.html" ] || fail "no user guide"
[ -s "$share/zpakwizard/demo-game/System/MKR.exe" ] && [ -s "$share/zpakwizard/frontier.zproj" ] ||
    fail "no demo game beside the user guide"

# No display, no Qt settings: only what a login shell would surely have.
for program in zpakwizard zpakbuild; do
    out=$(env -i PATH=/usr/bin:/bin HOME="$root" "$root/usr/bin/$program" --version 2>&1) || true
    [ "$out" = "$program $version" ] || fail "$program --version said: $out"
done
out=$(env -i PATH=/usr/bin:/bin HOME="$root" "$root/usr/bin/zpakwizard" --help 2>&1) || fail "zpakwizard --help failed"
case $out in
    "Usage: zpakwizard "*) ;;
    *) fail "zpakwizard --help said: $out" ;;
esac

"$cpack" --config "$build/CPackConfig.cmake" -B "$root/deb" >/dev/null
deb=$root/deb/zpakwizard_${version}_$(dpkg --print-architecture).deb
# Found by dpkg-shlibdeps, and the SVG plugins, which nothing links.
for package in libqt6widgets6 libminizip1 libqt6svg6; do
    dpkg-deb -f "$deb" Depends | grep -Eq "(^|, )$package( |,|$)" || fail "the .deb does not depend on $package"
done
files=$(dpkg-deb -c "$deb")
for path in bin/zpakwizard bin/zpakbuild "share/applications/$id.desktop" "share/mime/packages/$id.xml" \
    "share/metainfo/$id.metainfo.xml" share/icons/hicolor/48x48/apps/zpakwizard.png; do
    echo "$files" | grep -q " \./usr/$path\$" || fail "the .deb does not hold /usr/$path"
done
dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/applications/$id.desktop" |
    grep -qx 'Exec="/usr/bin/zpakwizard" %f' || fail "the .deb's desktop entry does not start /usr/bin/zpakwizard"
exit $status
