#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted with .clang-format.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
[ -n "$files" ] || exit 0
# shellcheck disable=SC2086
clang-format --dry-run --Werror $files
