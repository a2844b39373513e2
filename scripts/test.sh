#!/bin/sh
# Installs what is missing, builds with warnings as errors, and runs every test, the
# layering and formatting checks among them. Exits non-zero when a test fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PAVELORA_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
PAVELORA_WERROR=ON "$root/scripts/build.sh"
# Widget tests run without a display.
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "${PAVELORA_JOBS:-2}" --timeout 600
