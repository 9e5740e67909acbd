#!/usr/bin/env bash
# The tools: the real program passes the password gate, opens the calendar and the help viewer
# from the main window's menus, closes them, and quits through File, Exit and the quit window's
# "Yes", with no warnings from Qt on the way.
# Usage: tools.sh <built application folder>
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"

e2e_step "password gate"
e2e_start
main=$(e2e_pass_gate journal diary)

e2e_step "Tools, Calendar"
e2e_focus "$main"
e2e_menu t n "Calendar" >/dev/null
e2e_key alt+c
e2e_gone "Calendar"
e2e_alive "the program after closing the calendar"

e2e_step "Help, Contents"
e2e_focus "$main"
e2e_menu h c "Help Topics: Quillory Help" >/dev/null
e2e_key Escape
e2e_gone "Help Topics: Quillory Help"
e2e_alive "the program after closing the help viewer"

e2e_step "File, Exit, then Yes"
e2e_focus "$main"
e2e_quit

e2e_step "the program ends by itself"
e2e_expect_clean_exit "Yes in the quit window"
e2e_no_warnings
echo "tools: all passed"
