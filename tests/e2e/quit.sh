#!/usr/bin/env bash
# The way out: through the password gate, a line typed into the entry, the Exit command from
# the File menu by its access keys, then Yes in the quit window; the program must end by itself.
# Usage: quit.sh <built application folder>
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"

e2e_start
e2e_step "through the gate"
main=$(e2e_pass_gate journal diary)

e2e_step "a line typed into the entry"
e2e_focus "$main"
e2e_type "Dear diary"
sleep 0.3
e2e_snap main

e2e_step "File, Exit, then Yes"
e2e_quit
e2e_expect_clean_exit "Yes in the quit window" 5
e2e_log_line_is 1 authorized
e2e_no_warnings
echo "quit: all passed"
