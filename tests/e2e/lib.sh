# Shared steps of the black-box tests: a private X display, a temporary application folder
# holding a copy of the built program, and a user typing with xdotool.
# Source it, then call e2e_setup <built app folder>.
set -euo pipefail

e2e_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

e2e_cleanup() {
    [ -n "${E2E_PID:-}" ] && kill "$E2E_PID" 2>/dev/null || true
    [ -n "${E2E_XVFB:-}" ] && kill "$E2E_XVFB" 2>/dev/null || true
    [ -n "${E2E_DIR:-}" ] && rm -rf "$E2E_DIR"
    return 0
}

e2e_setup() {
    local built=$1
    E2E_BUILT=$built
    E2E_DIR=$(mktemp -d)
    trap e2e_cleanup EXIT
    export CANBERRA_DRIVER=none # no sound from tests
    export QT_QPA_PLATFORM=xcb
    export LANG=en_US.UTF-8 # the log checks expect United States dates and times
    export XDG_RUNTIME_DIR=$E2E_DIR/runtime
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    # A display of our own, so the test never types into a desktop.
    if true; then
        local n
        for n in $(seq 90 140); do
            [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
            Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            E2E_XVFB=$!
            export DISPLAY=:$n
            break
        done
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && break
            sleep 0.1
        done
        xdpyinfo >/dev/null 2>&1 || e2e_fail "no X display"
    fi
    E2E_APP=$E2E_DIR/app
    e2e_fresh_app_folder
}

# A clean application folder: the program, its cues and help, and the first password files.
e2e_fresh_app_folder() {
    rm -rf "$E2E_APP"
    mkdir -p "$E2E_APP"
    cp "$E2E_BUILT/quillory" "$E2E_APP/"
    cp -r "$E2E_BUILT/graphics" "$E2E_APP/"
    cp "$E2E_BUILT"/*.hlp "$E2E_APP/" 2>/dev/null || true
    printf 'otzwsfq\r\n' >"$E2E_APP/orvpass1.txt" # journal
    printf 'infw~\r\n' >"$E2E_APP/orvpass2.txt"   # diary
}

e2e_start() {
    "$E2E_APP/quillory" >"$E2E_DIR/out.log" 2>&1 &
    E2E_PID=$!
}

# Waits for a visible window with this exact title and gives it the keyboard.
e2e_window() {
    local title=$1 id
    id=$(timeout 15 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) ||
        e2e_fail "window '$title' did not appear"
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
    echo "$id"
}

e2e_type() { xdotool type --delay 30 -- "$1"; }

e2e_key() {
    xdotool key --delay 80 "$@"
    sleep 0.2
}

# Waits until the program has ended; returns its exit status.
e2e_wait_exit() {
    local status=0
    for _ in $(seq 100); do
        kill -0 "$E2E_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$E2E_PID" 2>/dev/null && e2e_fail "the program is still running"
    wait "$E2E_PID" || status=$?
    E2E_PID=
    return $status
}

e2e_log_lines() { [ -f "$E2E_APP/orvlog.txt" ] && grep -c $'\r$' "$E2E_APP/orvlog.txt" || echo 0; }

# Through the splash and the gate with the given passwords; leaves the gate after Check.
e2e_check_passwords() {
    e2e_window "Password entry" >/dev/null
    e2e_type "$1"
    e2e_key Return
    e2e_type "$2"
    e2e_key alt+h
}
