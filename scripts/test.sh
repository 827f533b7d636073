#!/usr/bin/env bash
# Installs what is missing, then configures, builds and tests both targets (Linux, and
# Windows under Wine) and the Linux sanitizer build. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

status=0
for preset in native windows sanitize; do
    echo "==== ${preset}"
    cmake --workflow --preset "${preset}" || status=1
done
exit "${status}"
