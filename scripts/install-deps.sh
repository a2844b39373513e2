#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Pavelora need.
# Idempotent: when every package is already installed it only checks and returns.
set -eu

PACKAGES="cmake g++ make pkg-config qt6-base-dev qt6-svg-dev qt6-qpa-plugins libqt6opengl6-dev libgl-dev \
libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev clang-format \
fonts-ipafont-gothic qt6-translations-l10n xvfb xauth x11-utils xdotool openbox imagemagick \
desktop-file-utils appstream shared-mime-info dpkg-dev"

# With --fuzz also what fuzz/run.sh needs: clang with libFuzzer and the sanitizers.
if [ "${1:-}" = "--fuzz" ]; then
    PACKAGES="$PACKAGES clang libclang-rt-14-dev"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
