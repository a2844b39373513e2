#!/bin/sh
# Installs what is missing, builds, and runs every test. Exits non-zero when a test fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PAVELORA_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
# Widget tests run without a display.
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "${PAVELORA_JOBS:-2}" --timeout 600
