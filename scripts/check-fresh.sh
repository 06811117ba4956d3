#!/usr/bin/env bash
# Runs the README's two commands on a fresh Debian 12: a minimal root made by mmdebstrap
# from Debian's archive, the committed tree copied into it (git archive), then
# scripts/run-main.sh and scripts/run-tests.sh inside, as root, in mount and PID
# namespaces of their own (/proc, /sys, /dev, /dev/pts, /dev/shm and /tmp mounted
# fresh). Nothing of this machine's build folders or installed packages is visible
# inside, so a missing install step fails here. The root is removed on every exit.
# Usage: scripts/check-fresh.sh [commit]   (default: HEAD)
# VX_FRESH_MIRROR overrides the archive (default http://deb.debian.org/debian).
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=check-fresh.sh
. scripts/lib.sh
commit=${1:-HEAD}
mirror=${VX_FRESH_MIRROR:-http://deb.debian.org/debian}
start=$(date +%s)

vx_begin "install packages"
scripts/install-packages.sh mmdebstrap util-linux git
vx_require mmdebstrap:mmdebstrap util-linux:unshare util-linux:findmnt git:git
[ "$(id -u)" -eq 0 ] || { echo "check-fresh.sh: needs root (namespaces, chroot)" >&2; exit 1; }
vx_step "resolve $commit" git rev-parse --verify "$commit^{commit}"
commit=$(git rev-parse --verify "$commit^{commit}")

# On disk, not in memory: the root grows to several GB.
work=$(mktemp -d /var/tmp/vamex-fresh.XXXXXX)
root=$work/root
pid_file=$work/namespace.pid
cleanup() {
    # Killing the namespace's first process ends every process in it, and with the
    # last one its mounts go; only then is the root plain files to remove.
    if [ -s "$pid_file" ]; then
        kill -KILL "$(cat "$pid_file")" 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 "$(cat "$pid_file")" 2>/dev/null || break
            sleep 0.1
        done
    fi
    local mounts
    mounts=$(findmnt -rn -o TARGET)
    if grep -q "^$root" <<<"$mounts"; then
        echo "check-fresh.sh: mounts left under $root; not removing it" >&2
        return 1
    fi
    rm -rf --one-file-system "$work"
}
VX_CLEANUP=cleanup

echo "check-fresh: making a Debian 12 root in $root from $mirror"
vx_step "mmdebstrap" mmdebstrap --variant=apt --include=ca-certificates bookworm "$root" \
    "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
    "deb ${mirror%/debian}/debian-security bookworm-security main"
echo "check-fresh: root made in $(($(date +%s) - start)) s"

vx_step "copy the tree at ${commit:0:12}" bash -c \
    "mkdir -p '$root/root/vamex' && git archive '$commit' | tar -x -C '$root/root/vamex'"
cp /etc/resolv.conf "$root/etc/resolv.conf"

# Inside the namespaces: fresh kernel file systems, a /dev of a few nodes, then the two
# commands in a clean environment.
inner=$(cat <<'EOS'
set -euo pipefail
root=$1
mount -t proc proc "$root/proc"
mount -t sysfs -o ro sysfs "$root/sys"
mount -t tmpfs -o mode=755 dev "$root/dev"
for node in null zero full random urandom tty; do
    touch "$root/dev/$node"
    mount --bind "/dev/$node" "$root/dev/$node"
done
mkdir -p "$root/dev/pts" "$root/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
ln -s pts/ptmx "$root/dev/ptmx"
ln -s /proc/self/fd "$root/dev/fd"
ln -s /proc/self/fd/0 "$root/dev/stdin"
ln -s /proc/self/fd/1 "$root/dev/stdout"
ln -s /proc/self/fd/2 "$root/dev/stderr"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
mount -t tmpfs -o mode=1777 tmp "$root/tmp"
exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /root/vamex && scripts/run-main.sh && scripts/run-tests.sh'
EOS
)
vx_begin "the README's commands inside the fresh root"
echo "check-fresh: running scripts/run-main.sh and scripts/run-tests.sh inside"
# In the background so an interrupt reaches the trap at once; --kill-child ties the
# namespace's first process to unshare's life.
unshare --mount --propagation private --pid --fork --kill-child \
    bash -c "$inner" inner "$root" </dev/null &
echo $! >"$pid_file"
wait "$(cat "$pid_file")"
echo "check-fresh: the README's two commands passed on a fresh Debian 12 in $(($(date +%s) - start)) s"
