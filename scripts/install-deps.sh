#!/usr/bin/env bash
# Installs what building and testing need, only what is missing. Idempotent.
# `install-deps.sh windows` adds the Windows cross build and Wine.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libgtest-dev
  libgmock-dev fonts-dejavu-core fonts-dejavu-extra clang-format xvfb xauth)
if [ "${1:-}" = "windows" ]; then
  packages+=(mingw-w64 g++-mingw-w64-x86-64-posix googletest wine wine64)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  echo "installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
