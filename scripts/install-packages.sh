#!/usr/bin/env bash
# Installs whichever of the named Debian packages are missing (with sudo when not root).
# apt-get's output is kept in a log and shown when it fails.
# Usage: scripts/install-packages.sh [--no-recommends] package...
set -euo pipefail
VX_SCRIPT=install-packages.sh
. "$(dirname "$0")/lib.sh"
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
vx_step "apt-get update" $SUDO apt-get update -q
vx_step "apt-get install ${missing[*]}" $SUDO env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q "${options[@]}" "${missing[@]}"
