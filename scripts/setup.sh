#!/usr/bin/env bash
# Installs what building and testing Brindlemax needs, from Debian's packages. Idempotent: when
# everything is there it only checks and returns.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
install() {
    echo "setup: installing $*"
    apt-get update -q
    apt-get install -y -q --no-install-recommends "$@"
    dpkg --configure -a
}

missing=()
for p in cmake make python3 g++-mingw-w64-i686 wine wine32:i386 wine32-preloader:i386 fonts-wine \
         xvfb xauth imagemagick x11-apps libbenchmark-dev; do
    have "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    install "${missing[@]}"
fi

# Wine's loader and server are 32-bit Linux programs. Where the kernel cannot run those (no IA-32
# emulation), QEMU's user-mode emulator runs them, registered with binfmt_misc.
binfmt=/proc/sys/fs/binfmt_misc
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    # QEMU 9 or later: bookworm's 7.2 is markedly slower with Wine.
    if ! qemu-i386 --version 2>/dev/null | grep -qE 'version (9|[1-9][0-9])\.'; then
        . /etc/os-release
        if [ "${VERSION_CODENAME:-}" = bookworm ]; then
            echo "deb http://deb.debian.org/debian bookworm-backports main" \
                >/etc/apt/sources.list.d/brindlemax-backports.list
            install qemu-user/bookworm-backports
        else
            install qemu-user
        fi
    fi
    mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"
    if [ ! -e "$binfmt/brindlemax-i386" ]; then
        # ELF, 32-bit, little endian, executable or shared object, Intel 80386.
        echo ':brindlemax-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' \
            >"$binfmt/register"
    fi
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 ||
        { echo "setup: 32-bit programs still do not run" >&2; exit 1; }
fi
