#!/usr/bin/env bash
# Builds the release packages into dist/ from fresh optimised builds:
#   pixelfold-X.Y.Z-x64.msi     the Windows installer
#   pixelfold-X.Y.Z-win64.zip   the DLL, pixelfold.exe, type library, IDL, public headers, documents
#   pixelfold_X.Y.Z_amd64.deb   the plug-in and the pixelfold command for Debian
#   SHA256SUMS                  of the three
# and, beside them, the debug information of every shipped binary (<file>.debug), which the
# stripped binaries name. Run as root on Debian 12 (it installs what it needs).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

version=$(sed -n 's/^project(pixelfold VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
dist=$PWD/dist
rm -rf "$dist" build/release-linux build/release-windows
mkdir -p "$dist"

for preset in release-linux release-windows; do
    echo "==== ${preset}"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    (cd "build/$preset" && cpack -B "$dist/.cpack-$preset" >/dev/null)
    mv "$dist/.cpack-$preset"/pixelfold[-_]"$version"* "$dist/"
    rm -rf "$dist/.cpack-$preset"
done
cp "build/release-windows/pixelfold-$version-x64.msi" "$dist/"
cp build/release-linux/libpixelfold.so.debug build/release-linux/pixelfold.debug \
    build/release-windows/pixelfold.dll.debug build/release-windows/pixelfold.exe.debug "$dist/"

cd "$dist"
sha256sum "pixelfold-$version-x64.msi" "pixelfold-$version-win64.zip" \
    "pixelfold_${version}_amd64.deb" >SHA256SUMS
ls -l "$dist"
