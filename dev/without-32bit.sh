#!/bin/sh
# Runs a command as on a machine whose kernel cannot execute 32-bit code:
# every 32-bit i386 program, the 32-bit Wine loader first, fails to start
# with "Exec format error", so dev/arch.sh says no and the scripts take
# their branch for such machines. For trying that branch where 32-bit code
# runs.
#   dev/without-32bit.sh COMMAND...
# e.g. dev/without-32bit.sh dev/check-reproducible.sh
# Needs Linux 6.7 or later, not root: as dev/i686-emulated.sh does, a
# binfmt_misc instance of the command's own (a user and mount namespace)
# hands 32-bit programs to an interpreter; here an empty file, which the
# kernel cannot execute either. Nothing outside the command is touched.
set -eu
fail() { echo "without-32bit: $*" >&2; exit 1; }
if [ -z "${ORB_NO32_NS:-}" ]; then
    [ $# -gt 0 ] || fail "usage: dev/without-32bit.sh COMMAND..."
    ORB_NO32_NS=1 exec unshare --user --map-root-user --mount --propagation private "$0" "$@"
fi
unset ORB_NO32_NS
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc ||
    fail "binfmt_misc cannot be mounted in a user namespace (Linux 6.7 or later needed)"
# F: the kernel opens the interpreter now, so the file can go at once.
nothing=$(mktemp)
chmod 755 "$nothing"
printf '%s' ":orbvue-no-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$nothing:F" \
    >/proc/sys/fs/binfmt_misc/register || fail "the binfmt_misc entry was refused"
rm -f "$nothing"
! /usr/lib/wine/wine --version >/dev/null 2>&1 || fail "the 32-bit Wine loader still starts"
exec "$@"
