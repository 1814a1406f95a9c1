#!/usr/bin/env bash
# Installs what is missing, builds the terminal and starts it in the current
# working directory (where it keeps its files "Cfg", "CmdConfig", "OldCmd").
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build "$here/build" --target velmora
exec "$here/build/ui/velmora" "$@"
