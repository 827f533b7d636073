#!/usr/bin/env bash
# Makes the Debian package from the build folder, unpacks it into a scratch root and runs the
# command from there, as a user runs it after installing: it finds its plug-in and sample image
# relative to its own folder and reads a corpus JPEG (when the corpus is there).
# Usage: deb.sh BUILD_DIR VERSION CORPUS_DIR
set -uo pipefail
build=$1 version=$2 corpus=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; exit 1; }
package="$work/out/pixelfold_${version}_amd64.deb"
[ -f "$package" ] || { echo "no $package"; ls "$work/out"; exit 1; }
fields=$(dpkg-deb --field "$package" Package Version Architecture Depends)
for field in "Package: pixelfold" "Version: $version" "Architecture: amd64" "Depends: libc6"; do
    [[ $fields == *"$field"* ]] || fail "control fields lack \"$field\": $fields"
done

root="$work/root"
dpkg-deb -x "$package" "$root"
for file in usr/bin/pixelfold usr/lib/pixelfold/libpixelfold.so usr/share/man/man1/pixelfold.1.gz \
    usr/share/pixelfold/sample.jpg usr/share/doc/pixelfold/LICENSE \
    usr/share/doc/pixelfold/THIRD-PARTY.md; do
    [ -f "$root/$file" ] || fail "$file is not in the package"
done
zcat "$root/usr/share/man/man1/pixelfold.1.gz" | grep -q "^\.TH PIXELFOLD 1 .*pixelfold $version" ||
    fail "the manual page does not name version $version"

command="$root/usr/bin/pixelfold"
out=$("$command" --version 2>&1)
expected="pixelfold $version
plug-in $(realpath "$root/usr/lib/pixelfold/libpixelfold.so") $version"
[ "$out" = "$expected" ] || fail "--version printed:
$out
expected:
$expected"
out=$("$command" --names Width 2>&1) || fail "reading the installed sample: $out"
[[ $out == *"sample.jpg"*"Width"*"16"* ]] || fail "the installed sample: $out"

jpeg="$corpus/exif-samples/jpg/Canon_40D.jpg"
if [ -f "$jpeg" ]; then
    out=$("$command" --json --names Width,Height,PropertyTagEquipMake "$jpeg" 2>&1) ||
        fail "reading $jpeg: $out"
    [[ $out == *'"Width":100,"Height":68,"PropertyTagEquipMake":"Canon"'* ]] ||
        fail "the corpus JPEG: $out"
else
    echo "the corpus is absent: only the sample was read"
fi
exit $((failures > 0))
