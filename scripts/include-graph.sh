#!/usr/bin/env bash
# Prints which top-level folders include headers from which others: one line per pair,
# "from -> to (N includes)", drawn from the project's own #include "..." lines (tests and
# benchmarks left out unless given: include-graph.sh [FOLDER...]).
set -euo pipefail
cd "$(dirname "$0")/.."
folders=("$@")
if ((${#folders[@]} == 0)); then
    folders=(common include platform bytes probe metadata plugin module tools fuzz)
fi
for folder in "${folders[@]}"; do
    [[ -d "$folder" ]] || continue
    grep -rHo --include='*.h' --include='*.cpp' --include='*.c' '^#include "[^"]*"' "$folder"
done | awk -F: '{
    split($1, from, "/"); include = $2
    sub(/^#include "/, "", include); sub(/"$/, "", include)
    split(include, to, "/")
    if (to[2] == "") next                  # a generated header beside the source
    if (to[1] == "pixelfold") to[1] = "include"  # the public headers
    if (to[1] != from[1]) count[from[1] " -> " to[1]]++
}
END { for (pair in count) printf "%s (%d includes)\n", pair, count[pair] }' | sort
