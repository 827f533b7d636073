#!/usr/bin/env bash
# Builds the release packages into dist/ from fresh optimised builds:
#   pixelfold-X.Y.Z-x64.msi     the Windows installer
#   pixelfold-X.Y.Z-win64.zip   the DLL, pixelfold.exe, type library, IDL, public headers, documents
#   pixelfold_X.Y.Z_amd64.deb   the plug-in and the pixelfold command for Debian
#   SHA256SUMS                  of the three (and SHA256SUMS.asc when a GnuPG key is named)
# and, beside them, the debug information of every shipped binary (<file>.debug), which the
# stripped binaries name. Run as root on Debian 12 (it installs what it needs).
#
# The packages are reproducible: every time in them is SOURCE_DATE_EPOCH, taken from the last
# commit when it is not set, so two runs on the same commit give the same files.
#
# Signing (see scripts/sign.sh): with PIXELFOLD_SIGN_PKCS12 and PIXELFOLD_SIGN_PASSWORD set,
# pixelfold.dll and pixelfold.exe are signed before they go into the installer and the zip,
# and then the installer itself (time-stamped by PIXELFOLD_SIGN_TIMESTAMP_URL when set); with
# PIXELFOLD_GPG_KEY set, SHA256SUMS gets a detached signature.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8

version=$(sed -n 's/^project(pixelfold VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
dist=$PWD/dist
windows=build/release-windows
rm -rf "$dist" build/release-linux "$windows"
mkdir -p "$dist"

for preset in release-linux release-windows; do
    echo "==== ${preset}"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

if [ -n "${PIXELFOLD_SIGN_PKCS12:-}" ]; then
    echo "==== signing the Windows files"
    bash scripts/sign.sh authenticode "$windows/pixelfold.dll" "$windows/pixelfold.exe"
    # The installer again, from the signed DLL.
    rm "$windows/pixelfold-$version-x64.msi"
    cmake --build --preset release-windows --target pixelfold_msi
    bash scripts/sign.sh authenticode "$windows/pixelfold-$version-x64.msi"
else
    echo "unsigned: PIXELFOLD_SIGN_PKCS12 is not set, so the Windows files carry no signature"
fi

for preset in release-linux release-windows; do
    (cd "build/$preset" && cpack -B "$dist/.cpack-$preset" >/dev/null)
    mv "$dist/.cpack-$preset"/pixelfold[-_]"$version"* "$dist/"
    rm -rf "$dist/.cpack-$preset"
done
cp "$windows/pixelfold-$version-x64.msi" "$dist/"
cp build/release-linux/libpixelfold.so.debug build/release-linux/pixelfold.debug \
    "$windows/pixelfold.dll.debug" "$windows/pixelfold.exe.debug" "$dist/"

cd "$dist"
sha256sum "pixelfold-$version-x64.msi" "pixelfold-$version-win64.zip" \
    "pixelfold_${version}_amd64.deb" >SHA256SUMS
if [ -n "${PIXELFOLD_GPG_KEY:-}" ]; then
    bash ../scripts/sign.sh checksums SHA256SUMS
fi
ls -l "$dist"
