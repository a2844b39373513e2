#!/bin/sh
# Configures and builds Pavelora into ./build (or $PAVELORA_BUILD_DIR).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PAVELORA_BUILD_DIR:-$root/build}
jobs=${PAVELORA_JOBS:-2}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"
