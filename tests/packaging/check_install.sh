#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what the desktop finds
# there: the program, a valid launcher, valid AppStream metadata and the icon
# at every size. usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$prefix/bin/vikora" ] || fail "bin/vikora missing"
launcher=$prefix/share/applications/vikora.desktop
metainfo=$prefix/share/metainfo/example.zamolin.Vikora.metainfo.xml
[ -f "$launcher" ] || fail "launcher missing"
[ -f "$metainfo" ] || fail "AppStream metadata missing"
grep -qx 'Categories=Utility;' "$launcher" || fail "launcher without Categories=Utility;"
grep -qx 'Icon=vikora' "$launcher" || fail "launcher without the icon"
[ -f "$prefix/share/doc/vikora/copyright" ] || fail "copyright missing"
grep -qx 'License: GPL-3.0-or-later' "$prefix/share/doc/vikora/copyright" || fail "copyright without the licence"
gzip -t "$prefix/share/doc/vikora/changelog.gz" || fail "changelog.gz missing or broken"
gzip -t "$prefix/share/man/man1/vikora.1.gz" || fail "manual page missing or broken"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "metainfo without the licence"
[ -f "$prefix/share/icons/hicolor/scalable/apps/vikora.svg" ] || fail "scalable icon missing"
for side in 16 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${side}x${side}/apps/vikora.png
    [ -f "$png" ] || fail "$png missing"
    # Width and height from the PNG header.
    size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$size" = "${side}x${side}" ] || fail "$png is $size"
done

skipped=0
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$launcher" || fail "desktop-file-validate"
else
    echo "desktop-file-validate not installed (Debian: desktop-file-utils)"; skipped=1
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate"
else
    echo "appstreamcli not installed (Debian: appstream)"; skipped=1
fi
if [ "$skipped" = 1 ] && [ "${CI:-}" != true ]; then exit 77; fi
echo "install tree checked"
