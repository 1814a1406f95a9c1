#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything with
# warnings as errors and runs every test headless.
# VELMORA_SANITIZE=ON builds and runs under AddressSanitizer and UBSan.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/check-format.sh"
sanitize=${VELMORA_SANITIZE:-OFF}
build="$here/build-test"
[ "$sanitize" = "ON" ] && build="$here/build-sanitize"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE="$sanitize" >/dev/null
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j 2 --timeout 300
