#!/usr/bin/env bash
# Installs the Debian packages listed in .ci/apt.d/*.txt. Does nothing when all are present,
# so that the build and run scripts can call it every time without root.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mapfile -t pkgs < <(cat "$top"/.ci/apt.d/*.txt | sed -e 's/#.*//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
