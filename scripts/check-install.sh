#!/bin/sh
# Installs the built program into a temporary prefix and checks what a desktop needs of it:
# a valid desktop entry and AppStream file, the document type found by name and by content,
# the icons and the help page; then builds the Debian package and checks its contents and
# dependencies. Usage: check-install.sh BUILD_DIR
set -eu
build=${1:?usage: check-install.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}

prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
for file in bin/pavelora share/applications/org.pavelora.Pavelora.desktop \
    share/metainfo/org.pavelora.Pavelora.metainfo.xml share/mime/packages/pavelora.xml \
    share/icons/hicolor/scalable/apps/org.pavelora.Pavelora.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-pavelora-document.svg \
    share/doc/Pavelora/pavelorahelp.html; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
desktop-file-validate --no-hints "$share/applications/org.pavelora.Pavelora.desktop" ||
    fail "desktop entry not valid"
appstreamcli validate --no-net "$share/metainfo/org.pavelora.Pavelora.metainfo.xml" >/dev/null ||
    fail "AppStream file not valid"

# The document type, as the desktop's MIME database sees it after installation.
update-mime-database "$share/mime" 2>/dev/null
grep -q '^[0-9]*:application/x-pavelora-document:\*\.pvd$' "$share/mime/globs2" ||
    fail "*.pvd is not application/x-pavelora-document"
grep -aq 'application/x-pavelora-document' "$share/mime/magic" &&
    grep -aq 'PVD.PAVELORAF' "$share/mime/magic" ||
    fail "no content rule for application/x-pavelora-document"
grep -q '^application/x-pavelora-document:application-x-pavelora-document$' \
    "$share/mime/icons" 2>/dev/null || grep -q 'application-x-pavelora-document' \
    "$share/mime/application/x-pavelora-document.xml" || fail "document type without icon"

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null) || fail "cpack failed"
deb=$(ls "$work"/package/pavelora_*.deb) || fail "no package built"
contents=$(dpkg-deb -c "$deb")
echo "$contents" | grep -q './usr/bin/pavelora$' || fail "package without the program"
echo "$contents" | grep -q './usr/share/applications/org.pavelora.Pavelora.desktop$' ||
    fail "package without the desktop entry"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6printsupport6 libqt6svg6 libjpeg62-turbo qt6-qpa-plugins \
    qt6-translations-l10n; do
    echo "$depends" | grep -q "$library" || fail "package does not depend on $library"
done
echo "installation and package checked"
