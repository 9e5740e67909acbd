#!/usr/bin/env bash
# A working session through the real windows and dialogs, its files read back by pandoc.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"

corpus=${QUILLORY_CORPUS:-$(dirname "$0")/../../../shared/corpus}
original=$corpus/rtf/tika/testRTFBoldItalic.rtf # Word 2010: bold, italic and both, nested
[ -f "$original" ] || e2e_fail "no corpus file $original"
original=$(realpath "$original")
original_sum=$(sha256sum <"$original")

# What pandoc reads, text and formatting, runs of white space made one space.
html_of() { pandoc -f rtf -t html "$1" | tr -s ' \n' ' '; }

e2e_start
e2e_step "through the gate"
main=$(e2e_pass_gate journal diary)

e2e_step "three words, the last one bold, then the date on a new line"
e2e_focus "$main"
e2e_type "Today was quiet"
e2e_key shift+ctrl+Left
# Format shares its access key F with File, which Alt+F opens: Format is reached from the Insert
# menu beside it.
e2e_menu_keys i Right b
e2e_key End Return
before=$(date +%-m/%-d/%Y)
e2e_menu_keys i e
after=$(date +%-m/%-d/%Y)

e2e_step "saved with File, Save; pandoc reads the bold word and the date"
e2e_menu f v "Save file" >/dev/null
saved=$E2E_DIR/edited.rtf
e2e_choose_file "Save file" "$saved"
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

e2e_step "a corpus file opened with File, Open and saved under a new name"
e2e_focus "$main"
e2e_menu f o "Open file" >/dev/null
e2e_choose_file "Open file" "$original"
e2e_focus "$main"
e2e_menu f v "Save file" >/dev/null
e2e_choose_file "Save file" "$E2E_DIR/resaved.rtf"
[ "$(html_of "$E2E_DIR/resaved.rtf")" = "$(html_of "$original")" ] ||
    e2e_fail "pandoc reads the re-saved file differently: $(html_of "$E2E_DIR/resaved.rtf" | head -c 400)"
[ "$(sha256sum <"$original")" = "$original_sum" ] || e2e_fail "the opened file was changed"
e2e_shown "File error!" && e2e_fail "a save or open showed the file error window"

e2e_step "Help, Contents, closed again"
e2e_focus "$main"
e2e_menu h c "Help Topics: Quillory Help" >/dev/null
e2e_key Escape
e2e_gone "Help Topics: Quillory Help"

e2e_step "File, Exit, then Yes"
e2e_focus "$main"
e2e_menu f x "Quit program?" >/dev/null
e2e_click "Quit program?" Yes
e2e_expect_clean_exit "Yes in the quit window"
e2e_wait_log_lines 1
e2e_log_line_is 1 authorized
e2e_no_warnings
echo "entry: all passed"
