#!/bin/sh
# Runs a command with 32-bit x86 programs run by qemu's i386 user emulation:
# on a machine whose kernel cannot execute 32-bit code, Debian's 32-bit Wine
# loader and the i686 build's programs then start, slowly (docs/development.md).
#   dev/i686-emulated.sh COMMAND...
# e.g. dev/i686-emulated.sh build/i686/wine-run cmd /c exit 7
# Needs qemu-user-static and Linux 6.7 or later, not root. The kernel is told
# to hand 32-bit i386 programs to /usr/bin/qemu-i386-static through a
# binfmt_misc instance of the command's own, in a user and mount namespace
# made for it (since 6.7 each user namespace that mounts binfmt_misc gets
# entries of its own): nothing outside the command sees the entry, no other
# process on the machine starts emulating, and the entry is gone when the
# command's last process ends, however it ends.
set -eu
fail() { echo "i686-emulated: $*" >&2; exit 1; }
if [ -z "${ORB_EMULATION_NS:-}" ]; then
    [ $# -gt 0 ] || fail "usage: dev/i686-emulated.sh COMMAND..."
    [ -x /usr/bin/qemu-i386-static ] || fail "no /usr/bin/qemu-i386-static: apt-get install qemu-user-static"
    ORB_EMULATION_NS=1 exec unshare --user --map-root-user --mount --propagation private "$0" "$@"
fi
unset ORB_EMULATION_NS
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc ||
    fail "binfmt_misc cannot be mounted in a user namespace (Linux 6.7 or later needed)"
# A 32-bit little-endian ELF executable or shared object for the i386, as
# qemu's own qemu-binfmt-conf.sh matches it. F: the kernel opens the
# interpreter now, not from wherever a program runs.
printf '%s' ':orbvue-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    >/proc/sys/fs/binfmt_misc/register || fail "the binfmt_misc entry was refused"
# Wine maps its shared user data at a fixed address near the top of the
# 32-bit space; qemu keeps that range free only when told to reserve it.
export QEMU_RESERVED_VA=0xffff0000
/usr/lib/wine/wine --version >/dev/null 2>&1 || fail "the 32-bit Wine loader does not start under qemu-i386-static"
exec "$@"
