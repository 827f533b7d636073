#!/usr/bin/env bash
# Installs what is missing, builds the plug-in for Linux and for Windows, and says where the
# built libraries are. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

for preset in native windows; do
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}" --target pixelfold
done

echo
echo "Built plug-in libraries:"
echo "  Linux:   $(pwd)/build/native/libpixelfold.so"
echo "  Windows: $(pwd)/build/windows/pixelfold.dll"
