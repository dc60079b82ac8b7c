#!/usr/bin/env bash
# Fails if any C++ file of the repository is not laid out as clang-format lays it out with .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is missing: tools/install-deps.sh" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${files[@]}"
echo "formatting: ${#files[@]} files as clang-format $(clang-format --version | grep -o '[0-9][0-9.]*' | head -1) lays them out"
