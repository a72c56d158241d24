#!/usr/bin/env bash
# Builds and runs the program. Without a supported device plugged in, the virtual devices are
# started (vx-emulator) and the program finds them; without a display, it runs under Xvfb.
# Usage: scripts/run.sh [program arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_WITH_QT=ON -DVX_TSAN=OFF >/dev/null
cmake --build "$top/build" -j "$(nproc)"

# A supported device is present when a hidraw node carries one of the supported USB identities.
real_device_present() {
    local ids="0000320F:00005055 0000320F:00005001 0000320F:0000221C 0000320F:0000221D 0000320F:00001004 00000C76:00001630"
    local f id
    for f in /sys/class/hidraw/hidraw*/device/uevent; do
        [ -r "$f" ] || continue
        for id in $ids; do
            grep -qi "HID_ID=0003:$id" "$f" && return 0
        done
    done
    return 1
}

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT INT TERM

if [ -z "${VX_VIRTUAL_HID_DIR:-}" ] && ! real_device_present; then
    export VX_VIRTUAL_HID_DIR="${XDG_RUNTIME_DIR:-/tmp}/vexor-virtual-hid-$(id -u)"
    mkdir -p "$VX_VIRTUAL_HID_DIR"
    echo "No supported device found: starting the virtual devices in $VX_VIRTUAL_HID_DIR"
    # The emulator reads control commands on stdin; keep it open and idle.
    tail -f /dev/null | "$top/build/emulator/vx-emulator" --dir "$VX_VIRTUAL_HID_DIR" &
    pids+=($!)
    for _ in $(seq 50); do ls "$VX_VIRTUAL_HID_DIR"/*.node >/dev/null 2>&1 && break; sleep 0.1; done
fi

# The devices found (real or virtual) and their capability records, before the window opens.
"$top/build/tools/list-devices/vx-list-devices" || true

program="$top/build/src/app/VexorUmbrelControlCenter"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running under a virtual X display (xvfb-run)"
    exec_prefix=(xvfb-run -a -s "-screen 0 1600x1000x24")
else
    exec_prefix=()
fi
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    exec_prefix=(dbus-run-session -- "${exec_prefix[@]}")
fi
"${exec_prefix[@]}" "$program" "$@"
