#!/bin/sh
# A session of the real program on an X server (Xvfb) with a window manager (openbox),
# driven by xdotool and watched through screen captures (ImageMagick) and the documents it
# saves, read back by pvdsummary:
#   - a new "Penrose No.3" document shows its palette's six cells at the palette's place,
#     every label inside the window, and still after a click on the board;
#   - F1 typed in the palette places a tile, and the board has the keys afterwards;
#   - after opening through the "開く" dialog a function key places a tile with no click.
# Usage: desktop-session.sh PAVELORA PVDSUMMARY. Exit 77 (skipped) only without Xvfb.
set -eu
program=$1
summary=$2

command -v Xvfb >/dev/null 2>&1 || {
    echo "Xvfb is not installed: skipped"
    exit 77
}
for tool in openbox xdotool xprop xwininfo import convert; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "FAIL: $tool is not installed (scripts/install-deps.sh installs it)"
        exit 1
    }
done

work=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
    echo "FAIL: $*"
    import -window root "desktop-session-failure.png" 2>/dev/null &&
        echo "screen saved in $(pwd)/desktop-session-failure.png"
    exit 1
}

# Runs "$@" every 50 ms until it succeeds; false when it has not after 10 seconds.
poll() {
    deadline=$(($(date +%s) + 10))
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# The first shown window whose name matches: its id once there is one (within ten
# seconds), else empty. Windows that go while xdotool looks make it fail; it is asked again.
shown_window() {
    id=""
    deadline=$(($(date +%s) + 10))
    while [ -z "$id" ] && [ "$(date +%s)" -lt "$deadline" ]; do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] || sleep 0.05
    done
    echo "$id"
}

# The geometry of a window's client area on the screen: X, Y, WIDTH, HEIGHT.
geometry() {
    [ -n "$1" ] || fail "no such window"
    eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ { print "X=" $4 }
        /Absolute upper-left Y/ { print "Y=" $4 } / Width:/ { print "WIDTH=" $2 }
        / Height:/ { print "HEIGHT=" $2 }')"
}

# The number of pixels of one colour in a rectangle of the screen capture.
count_colour() { # capture width height x y colour
    convert "$1" -crop "$2x$3+$4+$5" +repage -fill black +opaque "$6" -fill white -opaque "$6" \
        -format "%[fx:round(mean*w*h)]" info:
}

# Every one of the palette's six slots shows its grey square on the screen.
palette_on_screen() {
    import -window root "$work/screen.png"
    geometry "$palette"
    slot=$((HEIGHT / 6))
    for i in 0 1 2 3 4 5; do
        grey=$(count_colour "$work/screen.png" "$WIDTH" "$slot" "$X" $((Y + i * slot)) \
            "rgb(210,210,210)")
        [ "$grey" -ge 200 ] || return 1
    done
}

# On the last capture the palette's rightmost three columns show no text: every label ends
# inside the window.
labels_inside() {
    geometry "$palette"
    white=$(count_colour "$work/screen.png" 3 "$HEIGHT" $((X + WIDTH - 3)) "$Y" white)
    [ "$white" -eq $((3 * HEIGHT)) ]
}

# The document as the program saved it: "tiles N counts C1 .. C6".
saved() { # file expected
    [ "$("$summary" "$1" 2>/dev/null)" = "Penrose No.3 $2" ]
}

focused() { # window
    [ "$(xdotool getwindowfocus)" = "$1" ]
}

# The X server picks a free display and names it on descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids="$!"
poll test -s "$work/display" || fail "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
export DISPLAY
export HOME="$work" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
unset XDG_RUNTIME_DIR SESSION_MANAGER
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids="$pids $!"
poll sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start"

"$program" >"$work/pavelora.log" 2>&1 &
pids="$pids $!"
main=$(shown_window '^Pavelora$')
[ -n "$main" ] || fail "the main window did not show"

# A new "Penrose No.3" document on "Ａ４横".
xdotool key ctrl+n
[ -n "$(shown_window '^新規作成$')" ] || fail "no 新規作成 dialog"
xdotool key Down Down Return
palette=$(shown_window '^Penrose No.3$')
poll palette_on_screen || fail "the palette is not on the screen after 新規"
labels_inside || fail "a palette label reaches the window's right edge"
geometry "$palette"
palette_x=$X
geometry "$main"
[ $((palette_x - X)) -le 8 ] && [ $((X - palette_x)) -le 8 ] ||
    fail "the palette is not at the main window's left edge"
main_w=$WIDTH

# A click on the empty board, F6 there, saved through the dialog: still the palette on top.
file="$work/session.pvd"
xdotool mousemove $((X + main_w - 60)) $((Y + 200)) click 1
xdotool key F6 ctrl+a
[ -n "$(shown_window '^名前を付けて保存$')" ] || fail "no 名前を付けて保存 dialog"
xdotool type --delay 10 "$file"
xdotool key Return
poll saved "$file" "tiles 1 counts 0 0 0 0 0 1" || fail "F6 on the board placed no tile"
poll palette_on_screen || fail "a click on the board covered the palette"

# F1 in the palette, then F2 with no click: both place a tile.
geometry "$palette"
xdotool mousemove $((X + 4)) $((Y + HEIGHT - 4)) click 1
poll focused "$palette" || fail "a click on the palette did not give it the focus"
xdotool key F1
poll focused "$main" || fail "after F1 in the palette the main window has not the focus"
xdotool key F2 ctrl+s
poll saved "$file" "tiles 3 counts 1 1 0 0 0 1" ||
    fail "F1 in the palette and F2 after it placed $("$summary" "$file")"

# Closed, then opened through the "開く" dialog: F3 places a tile with no click first.
xdotool key ctrl+c
poll sh -c "! xdotool search --onlyvisible --name '^Penrose No.3$'" ||
    fail "the palette stayed after 閉じる"
xdotool key ctrl+o
[ -n "$(shown_window '^開く$')" ] || fail "no 開く dialog"
xdotool type --delay 10 "$file"
xdotool key Return
palette=$(shown_window '^Penrose No.3$')
poll focused "$main" || fail "after 開く the main window has not the focus"
xdotool key F3 ctrl+s
poll saved "$file" "tiles 4 counts 1 1 1 0 0 1" ||
    fail "F3 after 開く placed $("$summary" "$file")"
poll palette_on_screen || fail "the palette is not on the screen after 開く"

xdotool key ctrl+x
echo "desktop session passed"
