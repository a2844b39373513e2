#!/bin/sh
# Builds a fuzz target with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer,
# then fuzzes for SECONDS (default 60) from the seed corpus fuzz/corpus/.
# Usage: fuzz/run.sh [document|editing] [SECONDS] [extra libFuzzer options]
#   document  the reader and the open checks (the default)
#   editing   an opened document edited through the editor
# New inputs go to build-fuzz/corpus-TARGET/ (never into fuzz/corpus/), failing inputs to
# build-fuzz/artifacts-TARGET/. Exits non-zero when the fuzzer finds a failure.
# To see which step of a failing editing input goes wrong, run the target on it alone with
# PAVELORA_FUZZ_TRACE=1: build-fuzz/fuzz/editing_fuzz build-fuzz/artifacts-editing/crash-...
# PAVELORA_FUZZ_SANITIZERS=off builds the targets without the sanitizers (build-fuzz-plain/):
# only the targets' own checks then find faults, but the editing target runs five times as
# many inputs, for long runs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
target=document
case "${1:-}" in
document | editing)
    target=$1
    shift
    ;;
esac
seconds=${1:-60}
[ $# -gt 0 ] && shift
preset=fuzz
[ "${PAVELORA_FUZZ_SANITIZERS:-on}" = off ] && preset=fuzz-plain
build=$root/build-$preset
jobs=${PAVELORA_JOBS:-2}

"$root/scripts/install-deps.sh" --fuzz
cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$jobs" --target "${target}_fuzz"

# Editing inputs redraw whole boards under the sanitizers: give them longer.
timeout=10
[ "$target" = editing ] && timeout=60
# One corpus for both builds.
corpus=$root/build-fuzz/corpus-$target
artifacts=$build/artifacts-$target
mkdir -p "$corpus" "$artifacts"
# A small quarantine: freed board pictures of megabytes would otherwise keep it full and the
# process over a gigabyte (and twice as slow), with freed memory still kept back for a while.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=32}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Saves are atomic and synced to disk: in memory they take a third less of an input's time.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
# libFuzzer adds new inputs to the first folder only; the seeds are read from the second.
exec "$build/fuzz/${target}_fuzz" "$corpus" "$root/fuzz/corpus" \
    -dict="$root/fuzz/document.dict" -max_len=8192 -timeout="$timeout" -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" "$@"
