#!/bin/sh
# Sourced by the shell tests, which define fail MESSAGE.
#   wait_until SECONDS MESSAGE COMMAND...   polls COMMAND until it succeeds;
#                                           fails with MESSAGE after SECONDS,
#                                           and with $wait_detail when the
#                                           command set it at its last try
wait_until() {
    wait_limit=$(($(date +%s) + $1)) wait_message=$2 wait_detail=""
    shift 2
    until "$@"; do
        [ "$(date +%s)" -lt $wait_limit ] || fail "$wait_message${wait_detail:+: $wait_detail}"
        sleep 0.2
    done
}
