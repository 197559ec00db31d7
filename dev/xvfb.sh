#!/bin/sh
# Sourced by the scripts that need a virtual X display.
#   start_xvfb XVFB_ARGS...   starts Xvfb on a display number the server
#                             picks itself (-displayfd), so that runs side by
#                             side never take the same one; sets
#                             $xvfb_display (":N") and $xvfb_pid once the
#                             server takes connections, or fails saying why.
start_xvfb() {
    xvfb_number=$(mktemp)
    # -noreset: by default the server resets when its last client leaves,
    # and a client connecting just then (twm, after one test's programs
    # ended) is refused with "unable to open display".
    Xvfb -displayfd 3 -nolisten tcp -noreset "$@" 3>"$xvfb_number" >/dev/null 2>&1 &
    xvfb_pid=$!
    xvfb_waited=0
    # The number is written, with its newline, once the server is ready.
    until [ "$(wc -l <"$xvfb_number")" -ge 1 ]; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "Xvfb $*: the server ended before it was ready" >&2
            rm -f "$xvfb_number"
            return 1
        fi
        if [ $xvfb_waited -ge 600 ]; then
            echo "Xvfb $*: no display after 60 s" >&2
            kill "$xvfb_pid" 2>/dev/null || true
            rm -f "$xvfb_number"
            return 1
        fi
        sleep 0.1
        xvfb_waited=$((xvfb_waited + 1))
    done
    # shellcheck disable=SC2034 # read by the script that sources this
    xvfb_display=":$(cat "$xvfb_number")"
    rm -f "$xvfb_number"
}
