#!/usr/bin/env bash
# Makes the Debian package from the build folder, checks it with lintian and its binaries with
# hardening-check, unpacks it into a scratch root and runs the command from there, as a user
# runs it after installing: it finds its plug-in and sample image relative to its own folder
# and reads a corpus JPEG (when the corpus is there).
# Usage: deb.sh BUILD_DIR VERSION CORPUS_DIR
set -uo pipefail
build=$1 version=$2 corpus=$3
source "$(dirname "$0")/scratch.sh"

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; exit 1; }
package="$work/out/pixelfold_${version}_amd64.deb"
[ -f "$package" ] || { echo "no $package"; ls "$work/out"; exit 1; }
fields=$(dpkg-deb --field "$package" Package Version Architecture Depends)
for field in "Package: pixelfold" "Version: $version" "Architecture: amd64" "Depends: libc6"; do
    [[ $fields == *"$field"* ]] || fail "control fields lack \"$field\": $fields"
done

# Debian's own checks: lintian finds no error and no warning (an override in the package
# carries its reason), and the packaged ELF files are hardened.
lintian_out=$(lintian "$package" 2>/dev/null)
if grep -q '^[EW]: ' <<<"$lintian_out"; then
    fail "lintian:
$(grep '^[EW]: ' <<<"$lintian_out")"
fi
[ -z "$(dpkg-deb --ctrl-tarfile "$package" | tar -t | grep -E 'post|pre')" ] ||
    fail "the package has maintainer scripts"

root="$work/root"
dpkg-deb -x "$package" "$root"
for binary in usr/bin/pixelfold usr/lib/pixelfold/libpixelfold.so; do
    # Every line "yes"; a shared library is no executable, and the stack clash check can only
    # say "unknown" of code without large stack frames.
    weak=$(hardening-check "$root/$binary" | tail -n +2 |
        grep -v -e ': yes' -e 'regular shared library (ignored)' \
            -e 'Stack clash protection: unknown')
    [ -z "$weak" ] || fail "hardening-check $binary:
$weak"
done
for file in usr/bin/pixelfold usr/lib/pixelfold/libpixelfold.so usr/share/man/man1/pixelfold.1.gz \
    usr/share/pixelfold/sample.jpg usr/share/doc/pixelfold/LICENSE \
    usr/share/doc/pixelfold/THIRD-PARTY.md usr/share/doc/pixelfold/copyright \
    usr/share/doc/pixelfold/changelog.gz usr/share/doc/pixelfold/names.md \
    usr/share/doc/pixelfold/host-api.md usr/share/doc/pixelfold/examples/read_image.cpp \
    usr/include/pixelfold/pixelfold.h usr/include/pixelfold/host.hpp; do
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

# A host of one's own, built against the installed headers alone and loading the installed
# plug-in by its path.
example="$work/read_image"
g++ -std=c++17 -I "$root/usr/include" -o "$example" "$root/usr/share/doc/pixelfold/examples/read_image.cpp" \
    2>"$work/example.log" || fail "the example does not build against the installed headers:
$(cat "$work/example.log")"
out=$("$example" "$root/usr/lib/pixelfold/libpixelfold.so" "$root/usr/share/pixelfold/sample.jpg" 2>&1)
[ "$out" = "Width: 16
PropertyTagDateTime: 2021-07-14 09:05:33" ] || fail "the example built against the package: $out"

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
