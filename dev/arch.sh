#!/bin/sh
# Sourced by the build, test and run scripts: whether this machine executes
# 32-bit code. Some kernels switch that off; the 32-bit Wine loader, itself
# a 32-bit program, then fails with "Exec format error".
can_run_32bit() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
