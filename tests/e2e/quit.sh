#!/usr/bin/env bash
# Black-box test of the way out: through the password gate, a line typed into the entry, the
# Exit command from the File menu by its access keys, then Yes in the quit window; the program
# must end by itself.
# Usage: quit.sh <built application folder> [screenshot folder]
set -u

appSource=${1:?usage: quit.sh <application folder> [screenshot folder]}
shots=${2:-}
work=$(mktemp -d)
appPid=
xvfbPid=

cleanup() {
    [ -n "$appPid" ] && kill "$appPid" 2>/dev/null
    [ -n "$xvfbPid" ] && kill "$xvfbPid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A private application folder, so the run's security log lands in it.
mkdir -p "$work/app"
cp "$appSource/quillory" "$work/app/"
cp -r "$appSource/graphics" "$work/app/"
cp "$appSource/orvpass1.txt" "$appSource/orvpass2.txt" "$work/app/"

if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display itself and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfbPid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$work/display")"
fi

export CANBERRA_DRIVER=none
export QT_QPA_PLATFORM=xcb
export LANG=en_US.UTF-8
(cd "$work/app" && exec ./quillory) &
appPid=$!

# Waits for a visible window with exactly this caption and prints its id.
waitFor() {
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\\.*^$?+(){}|]/\\&/g')
    timeout 15 xdotool search --sync --onlyvisible --name "^$pattern\$" | head -n 1
}

snap() {
    [ -n "$shots" ] && import -window root "$shots/$1.png"
}

gate=$(waitFor "Password entry") || true
[ -n "$gate" ] || fail "the password gate did not appear"
xdotool windowfocus --sync "$gate"
xdotool type --delay 20 "journal"
xdotool key Tab
xdotool type --delay 20 "diary"
xdotool key alt+h # Check
# The check is logged before Continue appears with the focus.
for _ in $(seq 100); do
    grep -q "authorized" "$work/app/orvlog.txt" 2>/dev/null && break
    sleep 0.1
done
sleep 0.3
xdotool key Return

main=$(waitFor "Main screen") || true
[ -n "$main" ] || fail "the main window did not appear after the gate"
xdotool windowfocus --sync "$main"
sleep 0.3
xdotool type --delay 20 "Dear diary"
sleep 0.3
snap main

# File menu by its access key, then Exit by its own; a busy machine may need a second try.
quit=
for _ in 1 2 3; do
    xdotool key alt+f
    sleep 0.5
    xdotool key x
    quit=$(timeout 3 xdotool search --sync --onlyvisible --name '^Quit program\?$' | head -n 1) || true
    [ -n "$quit" ] && break
    xdotool key Escape
done
[ -n "$quit" ] || fail "Exit did not show the quit window"
sleep 0.3
snap quit
kill -0 "$appPid" 2>/dev/null || fail "the program ended before Yes was clicked"

# Find "Yes" by its colour: the two choices are the lowest blue text of the window, Yes the
# left one.
import -window "$quit" "$work/quit.png"
read -r yesX yesY < <(convert "$work/quit.png" -depth 8 txt:- | awk -F'[ ,:()]+' '
    NR > 1 {
        x = $1; y = $2; r = $3; g = $4; b = $5
        if (b >= 150 && r <= 80 && g <= 80) { n++; xs[n] = x; ys[n] = y; if (y > maxY) maxY = y }
    }
    END {
        # Pixels of the bottom line of blue text.
        for (i = 1; i <= n; i++) if (ys[i] >= maxY - 14) { m++; bx[m] = xs[i]; by[m] = ys[i] }
        # Sort by x and split the line at its widest gap: Yes lies left of it.
        for (i = 2; i <= m; i++) { v = bx[i]; w = by[i]; j = i - 1
            while (j > 0 && bx[j] > v) { bx[j + 1] = bx[j]; by[j + 1] = by[j]; j-- }
            bx[j + 1] = v; by[j + 1] = w }
        gap = 0; cut = m
        for (i = 1; i < m; i++) if (bx[i + 1] - bx[i] > gap) { gap = bx[i + 1] - bx[i]; cut = i }
        for (i = 1; i <= cut; i++) { sx += bx[i]; sy += by[i] }
        if (cut > 0) printf "%d %d\n", sx / cut, sy / cut
    }')
[ -n "${yesX:-}" ] || fail "could not find the Yes label in the quit window"

xdotool mousemove --window "$quit" "$yesX" "$yesY"
sleep 0.3
snap hover
xdotool click 1

for _ in $(seq 50); do
    kill -0 "$appPid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$appPid" 2>/dev/null; then
    fail "the program was still running 5 seconds after Yes"
fi
wait "$appPid"
status=$?
appPid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -q "authorized" "$work/app/orvlog.txt" || fail "the gate left no log line"
echo "PASS: the program ended after Yes in the quit window"
