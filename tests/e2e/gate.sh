#!/usr/bin/env bash
# Start-up, the gate and password changes, one run after another; the security log keeps one line
# per check, in order.
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

e2e_step "the right passwords, then both changed"
e2e_start
e2e_pass_gate journal diary >/dev/null
e2e_menu t h "Change passwords" >/dev/null
# The focus starts in Pass #1; Enter moves on to Pass #2; Alt+O is Continue.
e2e_type "Quill 1"
e2e_key Return
e2e_focused "Change passwords" "Pass #2"
e2e_type "ink&2"
e2e_key alt+o
e2e_file_is orvpass1.txt $'Vznqq%6\r\n' # "Quill 1", every code raised by 5
e2e_file_is orvpass2.txt $'nsp+7\r\n'   # "ink&2"
e2e_alive "the program after Continue"
e2e_stop

e2e_step "the next start refuses the old passwords (no main window, Exit ends it), takes the new"
e2e_start
e2e_check_passwords journal diary
e2e_wait_log_lines 2
e2e_log_line_is 2 unauthorized
e2e_shown "Main screen" && e2e_fail "the main window is shown after a wrong password"
e2e_key alt+x
e2e_expect_clean_exit "Exit"
e2e_start
e2e_pass_gate "Quill 1" "ink&2" >/dev/null
e2e_stop
[ "$(e2e_log_lines)" = 3 ] || e2e_fail "a log line was written without a check"
e2e_log_line_is 1 authorized
echo "gate: all passed"
