#!/usr/bin/env bash
# Fails when a C++ source of the repository differs from what clang-format makes of it.
cd "$(dirname "$0")/.." || exit 1
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null)
[ -n "$files" ] || files=$(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
# shellcheck disable=SC2086
clang-format --dry-run -Werror $files
