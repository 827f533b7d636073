#!/usr/bin/env bash
# Installs what is missing, then configures, builds and tests both targets (Linux, and
# Windows under Wine), the Linux builds with clang and with the sanitizers (AddressSanitizer
# and UBSan under g++; ThreadSanitizer under clang) and the fuzz targets' replays. Run as root
# on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

status=0
for preset in native windows sanitize clang fuzz tsan; do
    echo "==== ${preset}"
    cmake --workflow --preset "${preset}" || status=1
done
exit "${status}"
