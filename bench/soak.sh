#!/usr/bin/env bash
# The soak run: velmora-soak-bench (the real window, offscreen, against the
# simulated device) for MINUTES minutes, built with AddressSanitizer and
# UBSan, at a lower priority. Not part of the tests or of CI.
#
#   bash bench/soak.sh            # 30 minutes
#   bash bench/soak.sh 1          # the one-minute smoke run
#
# BUILD (default build-asan) is the build directory; VELMORA_SANITIZE=OFF
# with another BUILD measures a build without the sanitizers, and
# BUILD_TYPE (default Debug) picks the build type, e.g. Release for the
# resident-size curve of the program as shipped. The output
# goes to the screen and to soak-<date>.txt in the build directory; the run
# fails when the program fails or a sanitizer reported anything.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-30}
sanitize=${VELMORA_SANITIZE:-ON}
build=${BUILD:-$here/build-asan}
build_type=${BUILD_TYPE:-Debug}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" -DVELMORA_SANITIZE="$sanitize" \
  >/dev/null
cmake --build "$build" --target velmora-soak-bench -j 2
export QT_QPA_PLATFORM=offscreen
# A small quarantine: freed memory held back by the sanitizer would
# otherwise fill the resident-size curve for its first 256 MB.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=16
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
out="$build/soak-$(date +%Y%m%d-%H%M%S).txt"
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
echo "soak: $minutes min, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)" | tee "$out"
set +e
nice -n 5 "$build/bench/velmora-soak-bench" "$minutes" 2>"$errors" | tee -a "$out"
status=${PIPESTATUS[0]}
set -e
if grep -E -q 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$errors"; then
  echo "sanitizer reports:" | tee -a "$out"
  cat "$errors" | tee -a "$out"
  status=1
elif [ -s "$errors" ]; then
  echo "standard error (no sanitizer report):" | tee -a "$out"
  head -n 50 "$errors" | tee -a "$out"
fi
echo "load at the end $(cut -d' ' -f1-3 /proc/loadavg); exit status $status; output in $out" |
  tee -a "$out"
exit "$status"
