# Shared steps of the black-box tests: a private X display and session bus, a temporary
# application folder holding a copy of the built program, and a user typing and clicking with
# xdotool. Controls that only take the mouse are found through the accessibility tree.
# Source it, then call e2e_setup <built application folder>.
# shellcheck shell=bash
set -euo pipefail

E2E_NAME=$(basename "$0" .sh)
E2E_DIR=
E2E_XVFB=
E2E_BUS=
E2E_PID=

e2e_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

e2e_step() { echo "-- $*"; }

e2e_until() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

e2e_cleanup() {
    local status=$?
    if [ -n "$E2E_PID" ]; then
        [ "$status" = 0 ] || kill -0 "$E2E_PID" 2>/dev/null || echo "  the program had ended" >&2
        e2e_stop
    fi
    [ -n "$E2E_BUS" ] && kill "$E2E_BUS" 2>/dev/null
    if [ -n "$E2E_XVFB" ]; then
        kill "$E2E_XVFB" 2>/dev/null || true
        wait "$E2E_XVFB" 2>/dev/null || true
    fi
    if [ "$status" != 0 ] && [ -n "$E2E_DIR" ]; then
        [ -s "$E2E_DIR/out.log" ] && sed 's/^/  program: /' "$E2E_DIR/out.log" >&2
        [ -f "$E2E_DIR/app/orvlog.txt" ] && cat -A "$E2E_DIR/app/orvlog.txt" | sed 's/^/  log: /' >&2
    fi
    [ -n "$E2E_DIR" ] && rm -rf "$E2E_DIR"
    exit "$status"
}

e2e_setup() {
    E2E_BUILT=${1:?usage: $E2E_NAME.sh <built application folder>}
    [ -x "$E2E_BUILT/quillory" ] || e2e_fail "no program at $E2E_BUILT/quillory"
    E2E_DIR=$(mktemp -d)
    E2E_APP=$E2E_DIR/app
    trap e2e_cleanup EXIT
    export CANBERRA_DRIVER=none # no sound from tests
    export QT_QPA_PLATFORM=xcb
    # The log checks expect United States dates and times.
    unset LC_ALL LC_TIME LC_NUMERIC LANGUAGE
    export LANG=en_US.UTF-8
    export XDG_RUNTIME_DIR=$E2E_DIR/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # The file dialogs keep their history in the user's settings: keep it in the test's folder.
    export XDG_CONFIG_HOME=$E2E_DIR/config XDG_CACHE_HOME=$E2E_DIR/cache XDG_DATA_HOME=$E2E_DIR/data
    # A display of our own, so the test never types into a desktop.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$E2E_DIR/display" >/dev/null 2>&1 &
    E2E_XVFB=$!
    e2e_until test -s "$E2E_DIR/display" || e2e_fail "Xvfb did not start"
    DISPLAY=:$(head -n 1 "$E2E_DIR/display")
    export DISPLAY
    # A session bus of our own, where the program's accessibility bridge answers.
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$E2E_DIR/bus" 4>"$E2E_DIR/bus.pid"
    E2E_BUS=$(cat "$E2E_DIR/bus.pid")
    DBUS_SESSION_BUS_ADDRESS=$(cat "$E2E_DIR/bus")
    export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    # The first passwords (journal, diary), whatever the build folder's password files hold now.
    mkdir -p "$E2E_APP"
    cp "$E2E_BUILT/quillory" "$E2E_APP/"
    cp -r "$E2E_BUILT/graphics" "$E2E_APP/"
    compgen -G "$E2E_BUILT/*.hlp" >/dev/null || e2e_fail "no help file in $E2E_BUILT"
    cp "$E2E_BUILT"/*.hlp "$E2E_APP/"
    printf 'otzwsfq\r\n' >"$E2E_APP/orvpass1.txt"
    printf 'infw~\r\n' >"$E2E_APP/orvpass2.txt"
}

# Starts the program with the arguments $@ from a folder other than the application folder: it
# must find its files by its own location. E2E_PROGRAM, when set, is the command that starts it.
e2e_start() {
    mkdir -p "$E2E_DIR/elsewhere"
    # shellcheck disable=SC2086 # E2E_PROGRAM is a command and its arguments
    (cd "$E2E_DIR/elsewhere" && exec ${E2E_PROGRAM:-"$E2E_APP/quillory"} "$@") >"$E2E_DIR/out.log" 2>&1 &
    E2E_PID=$!
}

e2e_stop() {
    kill "$E2E_PID" 2>/dev/null || true
    wait "$E2E_PID" 2>/dev/null || true
    E2E_PID=
}

e2e_alive() { kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "${1:-the program} ended unexpectedly"; }

e2e_ended() { ! kill -0 "$E2E_PID" 2>/dev/null; }

e2e_expect_clean_exit() {
    local status=0
    e2e_until e2e_ended || e2e_fail "$1: the program is still running after 10 s"
    wait "$E2E_PID" || status=$?
    E2E_PID=
    [ "$status" = 0 ] || e2e_fail "$1: the program ended with status $status"
}

e2e_no_warnings() {
    if grep -Eq 'QWidget|QObject|Segmentation|Aborted|ASSERT' "$E2E_DIR/out.log"; then
        e2e_fail "the program reported problems: $(head -n 5 "$E2E_DIR/out.log")"
    fi
}

e2e_title_pattern() { printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\\.*^$?+(){}|]/\\&/g')"; }

# Waits up to $2 s (20) for the visible window titled $1, gives it the keyboard (there may be no
# window manager to do it) and prints its id.
e2e_window() {
    local id
    id=$(timeout "${2:-20}" xdotool search --sync --onlyvisible --name "$(e2e_title_pattern "$1")" 2>/dev/null |
        head -n 1) || true
    [ -n "$id" ] || e2e_fail "the window '$1' did not appear"
    e2e_focus "$id"
    echo "$id"
}

e2e_shown() { xdotool search --onlyvisible --name "$(e2e_title_pattern "$1")" >/dev/null 2>&1; }
e2e_hidden() { ! e2e_shown "$1"; }

e2e_gone() { e2e_until e2e_hidden "$1" || e2e_fail "the window '$1' is still shown"; }

e2e_focus() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null ||
        xdotool windowfocus "$1"
}

e2e_where() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/screenreader.py" where "$@"; }

# Clicks the control named $2 in the window titled $1 where the accessibility tree places it.
e2e_click() {
    local at
    at=$(e2e_where "$1" "$2") || e2e_fail "no '$2' in '$1'"
    # shellcheck disable=SC2086 # x and y, two words
    xdotool mousemove $at click 1
}

e2e_focused() { e2e_where "$1" "$2" focused || e2e_fail "'$2' in '$1' has no focus"; }

e2e_type() { xdotool type --delay 40 -- "$1"; }

e2e_key() { xdotool key --delay 50 "$@"; }

# Whether one of the program's menus is open: a window of its own that the window manager
# leaves alone.
e2e_menu_open() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}

e2e_menu_keys() {
    xdotool key "alt+$1"
    e2e_until e2e_menu_open || e2e_fail "no menu opened"
    shift
    e2e_key "$@"
}

e2e_menu() {
    e2e_menu_keys "$1" "$2"
    e2e_window "$3"
}

# Types the full path $2 over the file name box of the file dialog $1; the dialog must close.
e2e_choose_file() {
    e2e_key ctrl+a
    e2e_type "$2"
    e2e_key Return
    e2e_gone "$1"
}

e2e_log_lines() { (cat "$E2E_APP/orvlog.txt" 2>/dev/null || true) | grep -c '' || true; }
e2e_log_holds() { [ "$(e2e_log_lines)" = "$1" ]; }

e2e_wait_log_lines() {
    e2e_until e2e_log_holds "$1" || e2e_fail "expected $1 log lines, found $(e2e_log_lines)"
}

# Line $1 of the security log is "$2 <date> <time>" in United States form, ended by CR LF.
e2e_log_line_is() {
    local stamp='[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} [AP]M'
    sed -n "$1p" "$E2E_APP/orvlog.txt" | grep -qaE "^$2 $stamp"$'\r$' ||
        e2e_fail "line $1 of the log is not '$2 <date> <time>'"
}

e2e_holds() { cmp -s <(printf '%s' "$2") "$E2E_APP/$1"; }

e2e_file_is() { e2e_until e2e_holds "$1" "$2" || e2e_fail "$1 holds: $(od -An -c "$E2E_APP/$1" | tr -s ' ')"; }

# At the gate: Pass #1, Enter (on to Pass #2), Pass #2, Check.
e2e_check_passwords() {
    e2e_window "Password entry" 30 >/dev/null
    e2e_type "$1"
    e2e_key Return
    e2e_focused "Password entry" "Pass #2"
    e2e_type "$2"
    e2e_key alt+h
}

# Through the gate with passwords that must be accepted; prints the main window's id.
e2e_pass_gate() {
    local lines
    lines=$(e2e_log_lines)
    e2e_check_passwords "$1" "$2"
    e2e_wait_log_lines $((lines + 1))
    e2e_log_line_is $((lines + 1)) authorized
    e2e_alive "the program at the gate"
    # The check's handler gives Continue the focus after logging, before it takes the next key.
    e2e_key Return
    local main
    main=$(e2e_window "Main screen")
    e2e_gone "Password entry"
    echo "$main"
}
