#!/usr/bin/env bash
# Fails if any C++ file of the repository is not laid out as clang-format lays it out with .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in git clang-format; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done
files=$(git ls-files '*.cpp' '*.h')
[ -n "$files" ] || { echo "no C++ files found: is this a git checkout?" >&2; exit 2; }
mapfile -t files <<<"$files"
clang-format --dry-run --Werror "${files[@]}"
echo "formatting: ${#files[@]} files as clang-format $(clang-format --version | grep -o '[0-9][0-9.]*' | head -1) lays them out"
