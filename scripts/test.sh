#!/bin/sh
# Installs what is missing, builds with warnings as errors, and runs every test, the
# layering and formatting checks among them; then builds the tests again with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/) and runs them, and runs each
# fuzz target for PAVELORA_FUZZ_SECONDS (default 60) on the seed corpus. Exits non-zero
# when a test fails, a sanitizer reports or the fuzzer finds a failing input.
# PAVELORA_QUICK=1 runs the ordinary build's tests only.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PAVELORA_BUILD_DIR:-$root/build}
jobs=${PAVELORA_JOBS:-2}
"$root/scripts/install-deps.sh" --fuzz
PAVELORA_WERROR=ON "$root/scripts/build.sh"
# Widget tests run without a display.
export QT_QPA_PLATFORM=offscreen
(cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600)
[ "${PAVELORA_QUICK:-0}" = 1 ] && exit 0

cd "$root"
echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan-ubsan >/dev/null
cmake --build --preset asan-ubsan -j "$jobs"
# Every single-byte change of a document (300,000 opens) ran above; under the sanitizers the
# fuzz targets below go through the same reader.
ctest --preset asan-ubsan -j "$jobs" --timeout 1200 -E 'DamagedFiles.EverySingleByteChange'

seconds=${PAVELORA_FUZZ_SECONDS:-60}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for target in document editing; do
    echo "== Fuzzing: $target, $seconds seconds"
    if ! "$root/fuzz/run.sh" "$target" "$seconds" >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "fuzz: 0 passed, 1 failed"
        exit 1
    fi
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true
done
echo "fuzz: 2 passed, 0 failed"
