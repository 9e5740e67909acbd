#!/usr/bin/env bash
# Black-box test of the tools: the real program, under X, passes the password gate, opens the
# calendar and the help viewer from the main window's menus, closes them, and quits through
# File, Exit and the quit window's "Yes".
#
# Usage: tools.sh APP_FOLDER   (the built application folder: the program, graphics/, the
#                               password files and orvquillory.hlp)
# Needs: Xvfb (when DISPLAY is unset), xdotool, ImageMagick's import.
# E2E_KEEP=DIR keeps the picture of the quit window in which "Yes" is looked for.
set -euo pipefail

app_source=${1:?usage: tools.sh APP_FOLDER}
work=$(mktemp -d)
app_pid=
xvfb_pid=

finish() {
    local status=$?
    if [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if ((status != 0)) && [[ -s $work/stderr ]]; then
        echo "--- program's error output:" >&2
        cat "$work/stderr" >&2
    fi
    rm -rf "$work"
    exit "$status"
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

step() {
    echo "-- $*"
}

# A fresh application folder: the program and what it expects beside it.
app=$work/app
mkdir -p "$app"
cp "$app_source/quillory" "$app/"
cp -r "$app_source/graphics" "$app/" 2>/dev/null || mkdir -p "$app/graphics"
for file in orvpass1.txt orvpass2.txt orvquillory.hlp; do
    [[ -f $app_source/$file ]] || fail "$app_source/$file is missing"
    cp "$app_source/$file" "$app/"
done
# The first passwords, whatever the build folder's password files hold now.
printf 'otzwsfq\r\n' >"$app/orvpass1.txt"
printf 'infw~\r\n' >"$app/orvpass2.txt"

if [[ -z ${DISPLAY:-} ]]; then
    for number in $(seq 90 130); do
        [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
        Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=:$number
        break
    done
    [[ -n $xvfb_pid ]] || fail "no free display number for Xvfb"
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start"
fi

export CANBERRA_DRIVER=none
export QT_QPA_PLATFORM=xcb
export LANG=en_US.UTF-8

# The first visible window whose title is exactly $1, waiting up to $2 seconds.
wait_window() {
    local title=$1 seconds=${2:-20} id
    id=$(timeout "$seconds" xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null |
        head -n 1) || true
    [[ -n $id ]] || fail "no window \"$title\" within $seconds s"
    echo "$id"
}

# Waits until no visible window has the title $1.
wait_gone() {
    local title=$1
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window \"$title\" is still shown"
}

# Gives a window the keyboard focus (there may be no window manager to do it).
focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.3
}

keys() {
    xdotool key --delay 120 "$@"
}

alive() {
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended unexpectedly"
}

step "start the program in a folder of its own (not the application folder)"
mkdir -p "$work/elsewhere"
(cd "$work/elsewhere" && exec "$app/quillory" 2>"$work/stderr") &
app_pid=$!

step "password gate"
gate=$(wait_window "Password entry" 30)
focus "$gate"
xdotool type --delay 60 journal
keys Return
xdotool type --delay 60 diary
keys alt+h
sleep 0.5
alive
grep -q '^authorized ' "$app/orvlog.txt" || fail "no \"authorized\" line in the security log"
keys Return # Continue has the focus

main=$(wait_window "Main screen" 20)
wait_gone "Password entry"

step "Tools, Calendar"
focus "$main"
keys alt+t n
calendar=$(wait_window "Calendar" 10)
focus "$calendar"
keys alt+c
wait_gone "Calendar"
alive

step "Help, Contents"
focus "$main"
keys alt+h c
help=$(wait_window "Help Topics: Quillory Help" 10)
focus "$help"
keys Escape
wait_gone "Help Topics: Quillory Help"
alive

step "File, Exit, then Yes"
focus "$main"
keys alt+f x
quit=$(wait_window "Quit program[?]" 10)
sleep 0.5

# "Yes" and "No" are labels, reached only with the mouse: they are the lowest line of blue text
# in the window, "Yes" on the left. Find that line in a picture of the window.
eval "$(xdotool getwindowgeometry --shell "$quit")"
qx=$X qy=$Y qw=$WIDTH qh=$HEIGHT
import -silent -window "$quit" -depth 8 txt:- >"$work/quit.txt" ||
    fail "cannot take a picture of the quit window"
if [[ -n ${E2E_KEEP:-} ]]; then
    import -silent -window "$quit" "$E2E_KEEP/quit.png" || true
fi
# Pixels whose blue is strong and whose red and green are weak: the labels' blue text.
target=$(awk -F'[ ,:()]+' '
    /^[0-9]/ {
        x = $1; y = $2; r = $3; g = $4; b = $5
        if (b >= 150 && r <= 60 && g <= 60) { rows[y] = rows[y] " " x; if (y > low) low = y }
    }
    END {
        if (low == 0) exit 1
        # The band of rows that ends at the lowest blue row.
        top = low; while ((top - 1) in rows && low - top < 40) top--
        minx = 1e9; for (y = top; y <= low; y++) { n = split(rows[y], xs, " "); for (i = 1; i <= n; i++) if (xs[i] + 0 < minx) minx = xs[i] + 0 }
        # The leftmost word of that band: its columns end at the first gap wider than the
        # gaps between letters.
        split("", seen); for (y = top; y <= low; y++) { n = split(rows[y], xs, " "); for (i = 1; i <= n; i++) seen[xs[i] + 0] = 1 }
        maxx = minx; for (x = minx; x <= maxx + 4; x++) if (x in seen) maxx = x
        printf "%d %d\n", (minx + maxx) / 2, (top + low) / 2
    }' "$work/quit.txt") || fail "no blue label line found in the quit window"
read -r yes_x yes_y <<<"$target"
((yes_x > 0 && yes_x < qw && yes_y > 0 && yes_y < qh)) || fail "Yes found outside the window"
echo "   Yes at ($yes_x, $yes_y) of a ${qw}x${qh} window"
xdotool mousemove --sync $((qx + yes_x)) $((qy + yes_y))
sleep 0.3
xdotool click 1

step "the program ends by itself"
for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program is still running after Yes"
status=0
wait "$app_pid" || status=$?
app_pid=
((status == 0)) || fail "the program ended with status $status"
if grep -Eq 'QWidget|QObject|Segmentation|Aborted|ASSERT' "$work/stderr"; then
    fail "the program reported problems: $(head -n 5 "$work/stderr")"
fi
echo "1 passed, 0 failed"
