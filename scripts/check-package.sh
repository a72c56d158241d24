#!/usr/bin/env bash
# Checks a Debian package of the program as a user receives it: the files it carries, the
# validators of the desktop entry and AppStream data it installs, and the installed program
# starting with its virtual devices from an empty home, finding its skin and factory data from
# its own prefix. The package is unpacked into a scratch folder; nothing is installed.
# Usage: scripts/check-package.sh path/to/package.deb
set -euo pipefail
deb=$(realpath "$1")
scratch=$(mktemp -d)
program_pid=
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then kill -KILL "$program_pid"; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
failed=0
fail() { echo "package check: $*" >&2; failed=1; }

app_id=com.vexorumbrel.ControlCenter
expected=(
  usr/bin/VexorUmbrelControlCenter
  usr/bin/VexorUmbrelControlCenterAudioRecord
  usr/lib/udev/rules.d/70-vexor-umbrel.rules
  usr/lib/vexor-umbrel/libvxconf-pulse.so
  usr/lib/vexor-umbrel/libvxconf-memory.so
  usr/share/vexor-umbrel/skin/res.xml
  usr/share/vexor-umbrel/DefaultData/keyboard.Json
  usr/share/applications/$app_id.desktop
  usr/share/metainfo/$app_id.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/$app_id.svg
  usr/share/man/man1/VexorUmbrelControlCenter.1.gz
)
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for f in "${expected[@]}"; do
  grep -qxF "./$f" <<<"$listing" || fail "the package does not carry $f"
done

root=$scratch/root
dpkg-deb -x "$deb" "$root"

# The validators see the files exactly as the package installs them.
for entry in "$root"/usr/share/applications/*.desktop; do
  # It exits 0 on hints and warnings too; only a clean report passes.
  out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate $(basename "$entry"): $out"
done
for meta in "$root"/usr/share/metainfo/*.xml; do
  out=$(appstreamcli validate --no-net --pedantic "$meta" 2>&1) || fail "appstreamcli validate $(basename "$meta"): $out"
  if grep -qE '^[EW]: ' <<<"$out"; then fail "appstreamcli validate $(basename "$meta"): $out"; fi
done

# The installed program from an empty home: fresh data, state, configuration and runtime folders,
# no session bus, no display. Diagnostics (VX_DEBUG) tell where it found its skin and which devices
# it bound.
home=$scratch/home
mkdir -p "$home" "$scratch/runtime"
chmod 700 "$scratch/runtime"
log=$scratch/program.log
env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  XDG_DATA_HOME="$home/.local/share" XDG_STATE_HOME="$home/.local/state" \
  XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$scratch/runtime" \
  DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/runtime/no-bus" VX_DEBUG=1 \
  "$root/usr/bin/VexorUmbrelControlCenter" --virtual-devices >"$log" 2>&1 &
program_pid=$!
seen() { grep -qF -- "$1" "$log"; }
for _ in $(seq 1 150); do
  seen "添加一个键盘设备" && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
sleep 2  # let the connection sequences run
if ! kill -0 "$program_pid" 2>/dev/null; then
  wait "$program_pid" || true
  program_pid=
  fail "the installed program ended on its own: $(tail -n 20 "$log")"
else
  seen "skin: $root/usr/share/vexor-umbrel/skin/" || fail "the installed program did not take its installed skin"
  seen "添加一个键盘设备" || fail "the installed program bound no virtual keyboard"
  ! seen "could not be read" || fail "the installed program could not read a file: $(grep -F 'could not be read' "$log")"
  profiles=$(find "$home/.local/share" -name '*.Json' 2>/dev/null | wc -l)
  [ "$profiles" -gt 0 ] || fail "the installed program made no profile from its factory data"
  # SIGTERM closes the program as its "exit" menu item does.
  kill -TERM "$program_pid"
  for _ in $(seq 1 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$program_pid" 2>/dev/null; then
    fail "the installed program did not end within 5 s of SIGTERM"
  else
    code=0
    wait "$program_pid" || code=$?
    program_pid=
    [ "$code" -eq 0 ] || fail "the installed program ended with status $code after SIGTERM"
  fi
fi
if [ "$failed" -eq 0 ]; then
  echo "package check: $(basename "$deb"): ${#expected[@]} files present, desktop entry and AppStream data valid," \
       "the installed program ran from its prefix with virtual devices and ended on SIGTERM"
else
  echo "--- program output" >&2
  cat "$log" >&2 || true
fi
exit "$failed"
