#!/bin/sh
# Sourced by the build, test and run scripts: whether this machine executes
# 32-bit code. Some kernels switch that off; the 32-bit Wine loader, itself
# a 32-bit program, then fails with "Exec format error". Where binfmt_misc
# hands 32-bit programs to qemu's i386 emulation instead (as
# dev/i686-emulated.sh does for its own run), they start but run many times
# slower, too slow for the whole suite and its long runs: that counts as no.
can_run_32bit() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1 && ! emulates_32bit
}
emulates_32bit() {
    for entry in /proc/sys/fs/binfmt_misc/*; do
        [ "$(sed -n 1p "$entry" 2>/dev/null)" = enabled ] &&
            grep -q '^interpreter .*/qemu-i386' "$entry" 2>/dev/null && return 0
    done
    return 1
}
