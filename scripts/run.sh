#!/bin/sh
# Installs what is missing, builds, and starts the editor. Arguments go to the program.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "${PAVELORA_BUILD_DIR:-$root/build}/src/pavelora" "$@"
