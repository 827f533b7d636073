#!/usr/bin/env bash
# Checks that the release packages are reproducible: clones the current commit twice into
# temporary folders of different names, runs scripts/package.sh in each (the second a minute
# of wall-clock time later, with another umask), and compares the two SHA256SUMS. When they
# differ it shows what differs, with diffoscope when it is installed. Not part of the tests (two
# release builds of both targets take a while). Run as root on Debian 12.
# Usage: check-reproducible.sh [KEEP_DIR]   (keeps both clones there when given)
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$source" rev-parse HEAD)
work=${1:-$(mktemp -d)}
mkdir -p "$work"
[ -n "${1:-}" ] || trap 'rm -rf "$work"' EXIT

build() {
    local clone=$1 mask=$2
    git clone --quiet "$source" "$clone"
    git -C "$clone" checkout --quiet "$commit"
    (cd "$clone" && umask "$mask" && unset SOURCE_DATE_EPOCH &&
        bash scripts/package.sh >"$clone.log" 2>&1) ||
        { tail -40 "$clone.log"; exit 1; }
}

echo "building $commit in $work/first"
build "$work/first" 022
sleep 60
echo "building $commit in $work/second-build"
build "$work/second-build" 002

echo "first:"
cat "$work/first/dist/SHA256SUMS"
echo "second:"
cat "$work/second-build/dist/SHA256SUMS"
if cmp -s "$work/first/dist/SHA256SUMS" "$work/second-build/dist/SHA256SUMS"; then
    echo "reproducible: the two builds are byte for byte the same"
    exit 0
fi
echo "NOT reproducible:"
while read -r _ file; do
    a="$work/first/dist/$file" b="$work/second-build/dist/$file"
    cmp -s "$a" "$b" && continue
    if command -v diffoscope >/dev/null; then
        diffoscope --text - "$a" "$b" | head -200 || true
    else
        echo "$file differs (install diffoscope to see how)"
    fi
done <"$work/first/dist/SHA256SUMS"
exit 1
