#!/usr/bin/env bash
# Changing both passwords as a user would. Run 1 gets in with the first passwords and changes
# both through Tools > Change password; run 2 is refused with the old ones; run 3 is let in with
# the new ones. The security log keeps one line per run, in order.
# Usage: passchange.sh <built application folder>
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"

e2e_step "run 1: in with the first passwords, change both"
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
e2e_alive "run 1: the program after Continue"
e2e_stop

e2e_step "run 2: the old passwords are refused"
e2e_start
e2e_check_passwords journal diary
e2e_wait_log_lines 2
e2e_key alt+x # Exit
e2e_expect_clean_exit "run 2: Exit"

e2e_step "run 3: the new passwords are accepted"
e2e_start
e2e_pass_gate "Quill 1" "ink&2" >/dev/null
e2e_stop

e2e_log_line_is 1 authorized
e2e_log_line_is 2 unauthorized
e2e_log_line_is 3 authorized
echo "passchange: all passed"
