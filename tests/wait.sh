#!/bin/sh
# Sourced by the shell tests, which define fail MESSAGE.
#   wait_until SECONDS MESSAGE COMMAND...   polls COMMAND until it succeeds;
#                                           fails with MESSAGE after SECONDS,
#                                           and with $wait_detail when the
#                                           command set it at its last try
#   shows SHOT PICTURE WINDOW X Y [PIXELS] [DRAW]
#       whether X window WINDOW ("root": the screen) shows PICTURE with its
#       corner at (X, Y) of the window, but for at most PIXELS pixels (0),
#       with DRAW (an ImageMagick drawing in PICTURE's coordinates) painted
#       black on both; leaves what was there in SHOT, the count of pixels
#       that differ in $differ, and says it in $wait_detail
wait_until() {
    wait_limit=$(($(date +%s) + $1)) wait_message=$2 wait_detail=""
    shift 2
    until "$@"; do
        [ "$(date +%s)" -lt $wait_limit ] || fail "$wait_message${wait_detail:+: $wait_detail}"
        sleep 0.2
    done
}
shows() {
    differ="" wait_detail="no screenshot of window $3"
    size=$(identify -format %wx%h "$2") && import -window "$3" -crop "$size+$4+$5" +repage "$1" 2>/dev/null || return 1
    convert "$2" ${7:+-fill black -draw "$7"} "$1.want.png" && convert "$1" ${7:+-fill black -draw "$7"} "$1.seen.png" || return 1
    differ=$(compare -metric AE "$1.want.png" "$1.seen.png" null: 2>&1) || true
    wait_detail="$differ pixels differ (see $1)"
    [ "$differ" -le "${6:-0}" ] 2>/dev/null
}
