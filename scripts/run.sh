#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the reference host `pixelfold` for Linux and
# for Windows, and reads the sample image through the Linux build. Run as root on Debian 12.
# Arguments are passed on to `pixelfold` (for example: --json some/folder).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

for preset in native windows; do
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}" --target pixelfold pixelfold_host >/dev/null
done

echo "Built:"
echo "  Linux:   $(pwd)/build/native/libpixelfold.so and build/native/pixelfold"
echo "  Windows: $(pwd)/build/windows/pixelfold.dll and build/windows/pixelfold.exe"
echo
build/native/pixelfold "$@"
