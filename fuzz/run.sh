#!/usr/bin/env bash
# Builds every fuzz target with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for MINUTES minutes (default 10),
# one after the other, starting from its seed corpus. New inputs go to a work
# corpus in the build folder, crashes to fuzz-artifacts/<target>/ there; the
# seeds in the repository are only read. Prints one line of figures a target.
#   bash fuzz/run.sh 10            # every target
#   bash fuzz/run.sh 2 encoder     # one target
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-10}
shift || true
build=${VELMORA_FUZZ_BUILD:-$here/build-fuzz}
cc=${CC:-clang-14}
cxx=${CXX:-clang++-14}
bash "$here/scripts/install-deps.sh"
# clang and its fuzzer runtime, only for this script: the tests and CI build
# with the normal compiler and replay the corpora without fuzzing.
missing=()
for p in clang-14 libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" "${launcher[@]}" \
  -DVELMORA_FUZZ=ON -DVELMORA_BUILD_UI=OFF >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(cfg_file old_cmd_file cmd_config_record encoder hex_console receive_lines port_list cp1251
    command_file)
fi
cmake --build "$build" --target "${targets[@]/#/fuzz_}" -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${targets[@]}"; do
  work="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts/$target"
  log="$build/fuzz-$target.log"
  mkdir -p "$work" "$artifacts"
  set +e
  "$build/fuzz/fuzz_$target" "$work" "$here/fuzz/corpus/$target" \
    -max_total_time=$((minutes * 60)) -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  crashes=$(find "$artifacts" -type f | wc -l)
  leaks=$(grep -c 'ERROR: LeakSanitizer' "$log" || true)
  printf '%-18s %3d min  %10s runs  %7s exec/s  %d crashes  %d leaks  exit %d\n' \
    "$target" "$minutes" "${runs:-0}" "${speed:-0}" "$crashes" "$leaks" "$rc"
  [ "$rc" -eq 0 ] && [ "$crashes" -eq 0 ] || status=1
done
exit $status
