#!/bin/sh
# Builds the document fuzz target with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, then fuzzes for SECONDS (default 60) from the seed corpus.
# Usage: fuzz/run.sh [SECONDS] [extra libFuzzer options]
# New inputs go to the build folder's corpus; crashes to its artifacts/ folder. Exits
# non-zero when the fuzzer finds a failure.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
build=$root/build-fuzz
jobs=${PAVELORA_JOBS:-2}

"$root/scripts/install-deps.sh" --fuzz
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"

mkdir -p "$build/corpus" "$build/artifacts"
cp -n "$root"/fuzz/corpus/* "$build/corpus/" 2>/dev/null || true
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/fuzz/document_fuzz" "$build/corpus" "$root/fuzz/corpus" \
    -dict="$root/fuzz/document.dict" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$@"
