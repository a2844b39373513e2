#!/bin/sh
# Checks the layering of the sources: every `#include "..."` of a file under SRC names a
# folder of its own layer or of a layer below it, and no file outside SRC/widgets/ includes
# a header of QtWidgets or QtPrintSupport (those found in the given Qt module folders).
# Prints file:line and the offending include for every violation; exits 1 when there is one.
# Usage: check-layers.sh SRC QT_MODULE_HEADER_DIR...
set -eu
src=${1:?usage: check-layers.sh SRC QT_MODULE_HEADER_DIR...}
shift

# Header names of the widget-only Qt modules, one per line ("QWidget", "qwidget.h", ...),
# each also as "Module/Name".
forbidden=$(mktemp)
trap 'rm -f "$forbidden"' EXIT
for dir in "$@"; do
    module=$(basename "$dir")
    for header in "$dir"/*; do
        name=$(basename "$header")
        printf '%s\n%s/%s\n' "$name" "$module" "$name"
    done
done >"$forbidden"

find "$src" -name '*.cpp' -o -name '*.h' | sort | awk -v src="$src/" -v forbidden="$forbidden" '
BEGIN {
    while ((getline name < forbidden) > 0) {
        widgetHeader[name] = 1
    }
    # The folders each layer may include, its own among them.
    allowed["core"] = " core "
    allowed["document"] = " core document "
    allowed["render"] = " core render "
    allowed["editor"] = " core document render editor "
    allowed["widgets"] = " core document render editor widgets "
    allowed["cli"] = " core document render editor cli "
    allowed["main.cpp"] = " widgets cli "
    failed = 0
}
{
    file = $0
    layer = substr(file, length(src) + 1)
    sub(/\/.*/, "", layer)
    if (!(layer in allowed)) {
        printf "%s: not in a layer folder\n", file
        failed = 1
        next
    }
    line = 0
    while ((getline text < file) > 0) {
        line++
        if (text !~ /^[ \t]*#[ \t]*include/) {
            continue
        }
        if (match(text, /"[^"]+"/)) {
            target = substr(text, RSTART + 1, RLENGTH - 2)
            folder = target
            sub(/\/.*/, "", folder)
            if (target !~ /\// || index(allowed[layer], " " folder " ") == 0) {
                printf "%s:%d: %s may not include \"%s\"\n", file, line, layer, target
                failed = 1
            }
        } else if (layer != "widgets" && match(text, /<[^>]+>/)) {
            target = substr(text, RSTART + 1, RLENGTH - 2)
            if (target in widgetHeader) {
                printf "%s:%d: only the widget layer may include <%s>\n", file, line, target
                failed = 1
            }
        }
    }
    close(file)
}
END { exit failed }
'
