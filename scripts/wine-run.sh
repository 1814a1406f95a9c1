#!/usr/bin/env bash
# Runs one Windows program under Wine with a time-out (the cross build's
# CMAKE_CROSSCOMPILING_EMULATOR). Wine's output goes to a file that is shown
# when the program has ended: a Wine child may hold a pipe open long after,
# so nothing waits for a pipe of Wine's to close.
set -u
wine_bin=$(command -v wine64 || echo /usr/lib/wine/wine64)
log=$(mktemp /tmp/velmora-wine-run-XXXXXX)
timeout --kill-after=10 "${VELMORA_WINE_TIMEOUT:-240}" "$wine_bin" "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
if [ "$status" -eq 124 ]; then
  echo "wine-run: timed out after ${VELMORA_WINE_TIMEOUT:-240} s: $*"
elif [ "$status" -ne 0 ]; then
  echo "wine-run: exit status $status: $*"
fi
exit "$status"
