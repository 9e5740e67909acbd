#!/usr/bin/env bash
# Editing by keyboard as a user would: a few words typed, a middle click into the entry while no
# program owns a selection (nothing is pasted, nothing crashes), the last word selected with
# Shift+Ctrl+Left and made bold through the Format menu, then on a new line the date from the Insert menu; saved
# through the real Save dialog. pandoc, reading the saved file, sees the bold word, the other
# words not bold, and a line holding today's date in United States short form.
# Usage: editing.sh <built application folder>
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"

e2e_start
e2e_step "through the gate"
main=$(e2e_pass_gate journal diary)

e2e_step "three words, the last one bold"
e2e_focus "$main"
e2e_type "Today was quiet"
sleep 0.3

e2e_step "a middle click below the text, with nothing selected anywhere on the display"
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((WIDTH / 2)) $((HEIGHT / 2)) click 2
sleep 0.5
e2e_alive "the program after a middle click"
e2e_key shift+ctrl+Left
# Format shares its access key F with File, so it is reached from the Insert menu beside it.
e2e_key alt+i Right b

e2e_step "a new line, then Insert, Date"
e2e_key End Return
before=$(date +%-m/%-d/%Y)
e2e_key alt+i e
after=$(date +%-m/%-d/%Y)

e2e_step "saved with File, Save"
e2e_menu f v "Save file" >/dev/null
saved=$E2E_DIR/edited.rtf
e2e_choose_file "Save file" "$saved"
e2e_alive "the program after saving"
[ -s "$saved" ] || e2e_fail "Save wrote no file"

e2e_step "pandoc reads the bold word and the date"
html=$(pandoc -f rtf -t html --wrap=none "$saved") # one paragraph a line
paragraphs=$(printf '%s\n' "$html" | sed '/^ *$/d')
first=$(printf '%s\n' "$paragraphs" | head -n 1)
[ "$first" = "<p>Today was <strong>quiet</strong></p>" ] ||
    e2e_fail "the first line reads '$first' (all of it: $html)"
second=$(printf '%s\n' "$paragraphs" | sed -n 2p | sed 's/<[^>]*>//g; s/^ *//; s/ *$//')
[ "$second" = "$before" ] || [ "$second" = "$after" ] ||
    e2e_fail "the second line reads '$second', not today's date $after (all of it: $html)"
# The date's line break ends the entry: nothing more than empty lines follows.
[ "$(printf '%s\n' "$paragraphs" | sed 1,2d | sed 's/<[^>]*>//g' | tr -d ' ')" = "" ] ||
    e2e_fail "more than two lines were saved: $html"
e2e_wait_log_lines 1

e2e_step "File, Exit, then Yes"
e2e_focus "$main"
# Alt+F would now open Format (the two menus take turns); Exit is reached from the Edit menu.
e2e_quit_by alt+e Left x
e2e_expect_clean_exit "Yes in the quit window"
e2e_log_line_is 1 authorized
e2e_no_warnings
echo "editing: all passed"
