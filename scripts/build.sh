#!/bin/sh
# Configures and builds Pavelora into ./build (or $PAVELORA_BUILD_DIR). With
# PAVELORA_WERROR=ON (as the test command sets it) compiler warnings are errors.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PAVELORA_BUILD_DIR:-$root/build}
jobs=${PAVELORA_JOBS:-2}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPAVELORA_WERROR="${PAVELORA_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j "$jobs"
