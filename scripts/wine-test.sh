#!/usr/bin/env bash
# The Windows build of the core and its tests: cross-compiled with MinGW-w64
# and run under Wine, headless. The serial tests open COM7, which Wine maps to
# a link to a pseudo-terminal played by velmora-wine-device (a Linux program
# of the Linux build). Installs what is missing first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh" windows

# The device driver comes from the Linux test build (the same configuration
# as scripts/test.sh, so nothing is built twice).
native="$here/build-test"
cmake -S "$here" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=OFF >/dev/null
cmake --build "$native" --target velmora-wine-device

build="$here/build-windows"
link="$build/velmora-com7"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" -DVELMORA_BUILD_UI=OFF \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/scripts/wine-run.sh" \
  -DVELMORA_WINE_DEVICE="$native/tests/serial/velmora-wine-device" \
  -DVELMORA_WINE_LINK="$link" -DVELMORA_WINE_COM_PORT=COM7 >/dev/null
cmake --build "$build" -j "$(nproc)"

# A prefix of our own, made once a run; no display, no Mono or Gecko.
export WINEPREFIX="$build/wine-prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX" "$build/wineserver.log" "$build/wineboot.log" "$build/wine-reg.log"
mkdir -p "$WINEPREFIX"
run="$here/scripts/wine-run.sh"

server_pid=""
# Waits until the server listens, so that no client starts a server of its
# own beside it: the server works in its socket's folder.
start_server() {
  wineserver --foreground --persistent >>"$build/wineserver.log" 2>&1 </dev/null &
  server_pid=$!
  local tries=0
  until [ -S "/proc/$server_pid/cwd/socket" ]; do
    if ! kill -0 "$server_pid" 2>/dev/null || [ $tries -ge 300 ]; then
      echo "wine-test: the Wine server did not come up; its log:"
      cat "$build/wineserver.log"
      exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
  done
}
stop_server() {
  [ -n "$server_pid" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 tail --pid="$server_pid" -f /dev/null || kill "$server_pid" 2>/dev/null || true
  server_pid=""
}
trap stop_server EXIT

# One step of the prefix's set-up, its output kept in LOG. A step that fails
# is run once more; if it fails again, its output is shown and the run ends.
setup_step() {
  local log=$1
  shift
  "$run" "$@" >>"$log" 2>&1 && return 0
  echo "wine-test: '$*' failed; once more"
  "$run" "$@" >>"$log" 2>&1 && return 0
  echo "wine-test: '$*' failed twice; its output:"
  cat "$log"
  exit 1
}

start_server
VELMORA_WINE_TIMEOUT=600 setup_step "$build/wineboot.log" wineboot --init
setup_step "$build/wine-reg.log" reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$link" /f
# The port mapping is read when the server starts its devices.
stop_server
start_server
setup_step "$build/wine-reg.log" reg query 'HKLM\Software\Wine\Ports'

# A program that fails is run once more, as the set-up's steps are.
ctest --test-dir "$build" --output-on-failure -j 2 --timeout 300 --repeat until-pass:2
