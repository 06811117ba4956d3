#!/usr/bin/env bash
# Installs whichever of the named Debian packages are missing (with sudo when not root).
# Usage: scripts/install-packages.sh [--no-recommends] package...
set -euo pipefail
options=()
if [ "${1:-}" = "--no-recommends" ]; then
    options+=(--no-install-recommends)
    shift
fi
missing=()
for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${options[@]}" "${missing[@]}" >/dev/null
