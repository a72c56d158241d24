#!/usr/bin/env bash
# Takes a screenshot of the running program under a virtual X display.
# Usage: scripts/screenshot.sh [output.png] [build-dir]      (defaults: screenshot.png, build)
# The program runs with its own private session bus and runtime folder, so that an instance
# already running on the desktop is not woken instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-screenshot.png}")
build=$(realpath -m "${2:-$top/build}")
program="$build/src/app/VexorUmbrelControlCenter"
[ -x "$program" ] || { echo "build the program first: cmake --build $build --target VexorUmbrelControlCenter" >&2; exit 1; }

work=$(mktemp -d)
chmod 700 "$work"
display=:$((90 + RANDOM % 100))
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb VX_SKIN_DIR="$top/skin/" \
    dbus-run-session -- "$program" --language "${VX_LANGUAGE:-lan_en.xml}" >/dev/null 2>&1 &
app=$!
sleep "${VX_SCREENSHOT_DELAY:-3}"
DISPLAY=$display import -window root "$out"
echo "$out"
