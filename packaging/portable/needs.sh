#!/usr/bin/env bash
# Prints the shared libraries PROGRAM still asks of the system, each with the symbol versions it wants from
# it (readelf's version needs), and fails if any wants a glibc newer than MAX (e.g. 2.31).
# Usage: needs.sh PROGRAM MAX
set -euo pipefail
program=$1
max=$2
echo "Libraries $program needs from the system, with the newest symbol version wanted from each:"
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
versions=$(readelf -V -W "$program" | awk '{ for (i = 1; i < NF; i++) { if ($i == "File:") file = $(i + 1); if ($i == "Name:" && file) print file, $(i + 1) } }')
for lib in $needed; do
  newest=$(awk -v lib="$lib" '$1 == lib { print $2 }' <<<"$versions" | sort -V | tail -1)
  printf '  %-28s %s\n' "$lib" "${newest:-(no versioned symbols)}"
done
newest=$(grep -o 'GLIBC_[0-9][0-9.]*' <<<"$versions" | sed 's/GLIBC_//' | sort -u -V | tail -1)
echo "Newest glibc version wanted: ${newest:-none} (at most $max allowed)"
[ "$(printf '%s\n%s\n' "${newest:-0}" "$max" | sort -V | tail -1)" = "$max" ]
