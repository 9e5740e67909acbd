#!/usr/bin/env bash
# The password gate as a user meets it: right and wrong passwords, Cancel, a missing file.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

echo "right passwords: one 'authorized' line and the main window"
e2e_start
e2e_check_passwords journal diary
sleep 0.5
[ "$(e2e_log_lines)" = 1 ] || e2e_fail "expected one log line"
grep -qaE $'^authorized [0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} [AP]M\r$' \
    "$E2E_APP/orvlog.txt" || e2e_fail "log line: $(cat -A "$E2E_APP/orvlog.txt")"
e2e_key Return # Continue has the focus
e2e_window "Main screen" >/dev/null
kill "$E2E_PID"
wait "$E2E_PID" 2>/dev/null || true
E2E_PID=

echo "a wrong password: one 'unauthorized' line, and Exit ends the program"
e2e_start
e2e_check_passwords journal Diary
sleep 0.5
[ "$(e2e_log_lines)" = 2 ] || e2e_fail "expected a second log line"
tail -n 1 "$E2E_APP/orvlog.txt" | grep -qa '^unauthorized ' || e2e_fail "second line"
e2e_key alt+x
e2e_wait_exit || e2e_fail "Exit ended the program with an error status"
xdotool search --onlyvisible --name "^Main screen\$" >/dev/null && e2e_fail "main window shown"

echo "Cancel: no line, and the program ends"
e2e_start
e2e_window "Password entry" >/dev/null
e2e_type journal
e2e_key alt+c
e2e_wait_exit || e2e_fail "Cancel ended the program with an error status"
[ "$(e2e_log_lines)" = 2 ] || e2e_fail "Cancel wrote a log line"

echo "a missing second password file: the program ends at Check with no line"
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
