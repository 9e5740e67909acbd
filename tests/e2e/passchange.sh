#!/usr/bin/env bash
# Changing both passwords as a user would. Run 1 gets in with the first passwords and changes
# both through Tools > Change password; run 2 is refused with the old ones; run 3 is let in with
# the new ones. The security log keeps one line per run, in order.
# Usage: passchange.sh <folder of the built program>
set -euo pipefail

built=${1:?usage: passchange.sh <folder of the built program>}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
app=$work/app
pid=
xvfb=

cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$work/out.log" ]; then
        sed 's/^/  program: /' "$work/out.log" >&2
    fi
    if [ -f "$app/orvlog.txt" ]; then
        sed 's/^/  log: /' "$app/orvlog.txt" | cat -A >&2
    fi
    exit 1
}

export CANBERRA_DRIVER=none # no sound from tests
export QT_QPA_PLATFORM=xcb
# The log lines below are in United States form.
unset LC_ALL LC_TIME LC_NUMERIC LANGUAGE
export LANG=en_US.UTF-8
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

# A display of our own unless one is given, so the test never types into a desktop.
if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=:$(head -n 1 "$work/display")
fi

# The application folder: the program, its cues and the first password files.
[ -x "$built/quillory" ] || fail "no program at $built/quillory"
mkdir -p "$app"
cp "$built/quillory" "$app/"
cp -r "$built/graphics" "$app/"
cp "$here/../../assets/first-passwords/orvpass1.txt" "$here/../../assets/first-passwords/orvpass2.txt" "$app/"

start() {
    : >"$work/out.log"
    "$app/quillory" >>"$work/out.log" 2>&1 &
    pid=$!
}

stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
}

# Waits until the program has ended by itself; fails if it has not after 10 seconds or ended
# with an error status.
wait_exit() {
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "$1: the program is still running"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" = 0 ] || fail "$1: the program ended with status $status"
}

# Waits for a visible window with exactly this title and gives it the keyboard.
window() {
    local id
    id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) || true
    [ -n "$id" ] || fail "the window '$1' did not appear"
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
    sleep 0.2
}

type_text() { xdotool type --delay 40 -- "$1"; }

key() {
    xdotool key --delay 100 "$@"
    sleep 0.3
}

log_lines() {
    if [ -f "$app/orvlog.txt" ]; then
        grep -c '' "$app/orvlog.txt"
    else
        echo 0
    fi
}

# Waits until the log holds this many lines.
wait_log_lines() {
    for _ in $(seq 50); do
        [ "$(log_lines)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "expected $1 log lines, found $(log_lines)"
}

# The gate: Pass #1, Enter (to Pass #2), Pass #2, Check.
check_passwords() {
    window "Password entry"
    type_text "$1"
    key Return
    type_text "$2"
    key alt+h
}

file_is() {
    local expected=$2 actual
    actual=$(od -An -c "$app/$1" | tr -s ' ')
    [ "$actual" = "$(printf "$expected" | od -An -c | tr -s ' ')" ] ||
        fail "$1 holds:$actual"
}

stamp='[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} [AP]M'

echo "run 1: in with the first passwords, change both"
start
check_passwords journal diary
wait_log_lines 1
key Return # Continue has the focus after an accepted check
window "Main screen"
key alt+t
key h
window "Change passwords"
# The focus starts in Pass #1; Enter moves on to Pass #2; Alt+O is Continue.
type_text "Quill 1"
key Return
type_text "ink&2"
key alt+o
for _ in $(seq 50); do
    grep -q '^Vznqq' "$app/orvpass1.txt" && grep -q '^nsp' "$app/orvpass2.txt" && break
    sleep 0.1
done
file_is orvpass1.txt 'Vznqq%%6\r\n' # "Quill 1", every code raised by 5
file_is orvpass2.txt 'nsp+7\r\n'    # "ink&2"
kill -0 "$pid" 2>/dev/null || fail "run 1: the program ended after Continue"
stop

echo "run 2: the old passwords are refused"
start
check_passwords journal diary
wait_log_lines 2
key alt+x # Exit
wait_exit "run 2"

echo "run 3: the new passwords are accepted"
start
check_passwords "Quill 1" "ink&2"
wait_log_lines 3
key Return
window "Main screen"
stop

grep -qaE "^authorized $stamp"$'\r$' <(sed -n 1p "$app/orvlog.txt") || fail "line 1 of the log"
grep -qaE "^unauthorized $stamp"$'\r$' <(sed -n 2p "$app/orvlog.txt") || fail "line 2 of the log"
grep -qaE "^authorized $stamp"$'\r$' <(sed -n 3p "$app/orvlog.txt") || fail "line 3 of the log"
echo "passchange: all passed"
