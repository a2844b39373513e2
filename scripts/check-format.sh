#!/bin/sh
# Checks that every C++ source of the project is formatted as .clang-format says.
# Prints the places that differ and exits non-zero when there are any.
# Usage: check-format.sh [ROOT]
set -eu
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
