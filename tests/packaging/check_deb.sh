#!/usr/bin/env bash
# Checks a built Debian package as a user gets it: lintian accepts it (no
# error, no warning), `apt-get install ./vikora_*.deb` installs it, and the
# program starts from its menu entry on a private X screen (Xvfb), shows its
# splash and writes its files when the session ends it.
# usage (as root, changes the system's packages): check_deb.sh DEB [ARTIFACTS]
set -euo pipefail
deb=$(realpath "$1")
artifacts=${2:-$(mktemp -d)}
mkdir -p "$artifacts"
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in lintian apt-get Xvfb xdotool gio import; do
    command -v "$tool" >/dev/null || { echo "$tool not installed"; exit 77; }
done
[ "$(id -u)" = 0 ] || { echo "installing a package needs root"; exit 77; }

echo "== lintian"
lintian --info --display-info --pedantic "$deb" | tee "$artifacts/lintian.txt"
if grep -E '^(E|W): ' "$artifacts/lintian.txt"; then fail "lintian reports errors or warnings"; fi

echo "== apt-get install"
apt-get install -y "$deb" >"$artifacts/apt-get.log" 2>&1 || fail "apt-get install: $(tail -5 "$artifacts/apt-get.log")"
dpkg -s vikora | grep -q '^Status: install ok installed' || fail "vikora is not installed"
launcher=/usr/share/applications/vikora.desktop
[ -f "$launcher" ] || fail "no menu entry"
[ -f /usr/share/doc/vikora/copyright ] || fail "no copyright file"

echo "== start from the menu entry"
home=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$home/display" 2>"$artifacts/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$home/display" ] && break; sleep 0.1; done
[ -s "$home/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$home/display")"
mkdir -m 700 "$home/runtime"
env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
    XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" LC_ALL=C.UTF-8 \
    VIKORA_INSTANCE_KEY="check-deb-$$" gio launch "$launcher" >"$artifacts/program.log" 2>&1
window=$(timeout 30 xdotool search --sync --onlyvisible --class vikora | head -1) ||
    fail "no window of the program within 30 s: $(tail -5 "$artifacts/program.log")"
import -window root "$artifacts/installed-splash.png"
pid=$(xdotool getwindowpid "$window")
[ "$(readlink "/proc/$pid/exe")" = /usr/bin/vikora ] || fail "the window is not /usr/bin/vikora's"
# The launcher's child is not ours to wait for: an ended program may stay a
# zombie until whoever adopted it reaps it.
running() { [ -e "/proc/$pid" ] && ! grep -q '^[^)]*) Z' "/proc/$pid/stat" 2>/dev/null; }
kill -TERM "$pid"
for _ in $(seq 600); do running || break; sleep 0.1; done
running && fail "the program did not end at SIGTERM"
[ -f "$home/data/Vikora/Vikora.ini" ] || fail "no Vikora.ini written"
echo "package checked: installed, started from $launcher, ended cleanly"
