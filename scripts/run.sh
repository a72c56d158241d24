#!/usr/bin/env bash
# Builds and runs the program. Without a supported device plugged in, the program starts its own
# virtual devices (--virtual-devices) and finds them; without a display, it runs under Xvfb.
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

program_args=()
if [ -z "${VX_VIRTUAL_HID_DIR:-}" ] && ! real_device_present; then
    echo "No supported device found: the program starts its own virtual devices (--virtual-devices)."
    echo "Plug, unplug, switch or drain them while it runs, e.g.:"
    echo "  $top/build/tools/emulator-ctl/vx-emulator-ctl connect mouse cable"
    echo "  $top/build/tools/emulator-ctl/vx-emulator-ctl battery mouse-receiver 15 1"
    echo "They keep their memory between runs; back to factory memory:"
    echo "  $top/build/tools/emulator-ctl/vx-emulator-ctl factory-reset all"
    program_args+=(--virtual-devices)
fi

# The devices found (real ones, or those of an emulator already running) and their capability
# records, before the window opens.
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
"${exec_prefix[@]}" "$program" "${program_args[@]}" "$@"
