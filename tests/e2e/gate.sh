#!/usr/bin/env bash
# Start-up and the password gate as a user meets them: no display to show windows on, right and
# wrong passwords, Cancel, a missing file.
# Usage: gate.sh <built application folder>
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"

e2e_step "no display, or one nobody serves: one line that says so, status 1, no core dump"
for run in "-u QT_QPA_PLATFORM -u DISPLAY" "-u DISPLAY QT_QPA_PLATFORM=xcb" \
    "-u QT_QPA_PLATFORM DISPLAY=:1999"; do
    status=0
    # shellcheck disable=SC2086 # the options and settings of env, one a word
    said=$(cd "$E2E_DIR" && env -u WAYLAND_DISPLAY $run timeout 20 "$E2E_APP/quillory" 2>&1) ||
        status=$?
    [ "$status:$said" = "1:Quillory needs a graphical desktop: no display found" ] ||
        e2e_fail "env $run: status $status, printed: $said"
done

e2e_step "right passwords: one 'authorized' line and the main window"
e2e_start
e2e_pass_gate journal diary >/dev/null
[ "$(e2e_log_lines)" = 1 ] || e2e_fail "expected one log line"
e2e_stop

e2e_step "a wrong password: one 'unauthorized' line, no main window, and Exit ends the program"
e2e_start
e2e_check_passwords journal Diary
e2e_wait_log_lines 2
e2e_log_line_is 2 unauthorized
e2e_shown "Main screen" && e2e_fail "the main window is shown after a wrong password"
e2e_key alt+x
e2e_expect_clean_exit "Exit"

e2e_step "Cancel: no line, and the program ends"
e2e_start
e2e_window "Password entry" 30 >/dev/null
e2e_type journal
e2e_key alt+c
e2e_expect_clean_exit "Cancel"
[ "$(e2e_log_lines)" = 2 ] || e2e_fail "Cancel wrote a log line"

e2e_step "a missing second password file: the program ends at Check with no line"
rm "$E2E_APP/orvpass2.txt"
e2e_start
e2e_check_passwords journal diary
# The standard error message waits for the user.
e2e_window "Quillory" >/dev/null
e2e_key Return
status=0
e2e_wait_exit || status=$?
[ "$status" != 0 ] || e2e_fail "an unreadable password file must end the run with an error status"
[ "$(e2e_log_lines)" = 2 ] || e2e_fail "a log line was written without a check"
echo "gate: all passed"
