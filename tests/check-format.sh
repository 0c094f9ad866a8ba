#!/usr/bin/env bash
# The C and C++ sources are laid out as .clang-format says: clang-format changes nothing in them.
#   tests/check-format.sh   (from anywhere in the repository)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is missing; run 'make deps'" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "check-format: run 'clang-format -i' on the files above" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files as .clang-format lays them out"
