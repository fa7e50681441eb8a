#!/usr/bin/env bash
# Installs what building and testing Brindlemax needs, from Debian's packages. Idempotent: when
# everything is there it only checks and returns.
set -euo pipefail

need_packages=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

for p in cmake make python3 g++-mingw-w64-i686 wine wine32:i386 wine32-preloader:i386 fonts-wine \
         xvfb xauth imagemagick x11-apps; do
    have "$p" || need_packages+=("$p")
done

# 32-bit Linux programs (Wine's loader and server) need the kernel's IA-32 emulation. Where the
# kernel has none, they run under QEMU's user-mode emulator instead, registered with binfmt_misc.
native_ia32=yes
if [ -x /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    native_ia32=no
elif ! grep -qs 'ia32_emulation\|IA-32 emulation off' /proc/cmdline && [ -r /proc/config.gz ] &&
     zcat /proc/config.gz 2>/dev/null | grep -q '^# CONFIG_IA32_EMULATION is not set'; then
    native_ia32=no
fi
if dmesg 2>/dev/null | grep -q 'IA-32 emulation off' ||
   [ -e /proc/sys/fs/binfmt_misc/brindlemax-i386 ]; then
    native_ia32=no
fi

backports=/etc/apt/sources.list.d/brindlemax-backports.list
if [ "$native_ia32" = no ]; then
    # QEMU 10 from the backports runs Wine's 32-bit processes reliably; bookworm's 7.2 is slower.
    if ! qemu-i386 --version 2>/dev/null | grep -q 'version \(9\|1[0-9]\)\.'; then
        need_packages+=("qemu-user/bookworm-backports")
    fi
fi

if [ ${#need_packages[@]} -gt 0 ]; then
    echo "setup: installing ${need_packages[*]}"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    if [ "$native_ia32" = no ] && . /etc/os-release && [ "${VERSION_CODENAME:-}" = bookworm ] &&
       [ ! -f "$backports" ]; then
        echo "deb http://deb.debian.org/debian bookworm-backports main" > "$backports"
    fi
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${need_packages[@]}"
    dpkg --configure -a
fi

if [ "$native_ia32" = no ]; then
    binfmt=/proc/sys/fs/binfmt_misc
    mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"
    if [ ! -e "$binfmt/brindlemax-i386" ]; then
        # ELF, 32-bit, little endian, executable or shared object, Intel 80386.
        echo ':brindlemax-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' \
            > "$binfmt/register"
    fi
fi
