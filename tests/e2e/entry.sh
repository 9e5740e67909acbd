#!/usr/bin/env bash
# Entry files through the real file dialogs: a typed line saved with File, Save is an RTF file in
# which pandoc reads the line back; a word-processor file of the corpus opened with File, Open and
# saved again under a new name reads the same in pandoc, formatting included. Then File, Exit and
# Yes end the program cleanly. The security log keeps its one line all along.
# Usage: entry.sh <built application folder>
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"

corpus=${QUILLORY_CORPUS:-$(dirname "$0")/../../../shared/corpus}
original=$corpus/rtf/tika/testRTFBoldItalic.rtf # Word 2010: bold, italic and both, nested
[ -f "$original" ] || e2e_fail "no corpus file $original"
original=$(realpath "$original")
original_sum=$(sha256sum <"$original")

# Plain text as pandoc reads it, runs of white space made one space.
plain_of() { pandoc -f rtf -t plain "$1" | tr -s ' \t\r\n' ' ' | sed 's/^ //; s/ $//'; }

e2e_start
e2e_step "through the gate"
main=$(e2e_pass_gate journal diary)

e2e_step "a line typed into the entry, saved with File, Save"
e2e_focus "$main"
line="Dear diary, the rain stopped at noon."
e2e_type "$line"
e2e_menu f v "Save file" >/dev/null
e2e_choose_file "Save file" "$E2E_DIR/first.rtf"
e2e_alive "the program after saving"
[ -s "$E2E_DIR/first.rtf" ] || e2e_fail "Save wrote no file"
[ "$(head -c 5 "$E2E_DIR/first.rtf")" = '{\rtf' ] ||
    e2e_fail "the saved file does not begin with {\\rtf: $(head -c 40 "$E2E_DIR/first.rtf")"
read_back=$(plain_of "$E2E_DIR/first.rtf")
[ "$read_back" = "$line" ] || e2e_fail "pandoc reads '$read_back' from the saved file"
e2e_shown "File error!" && e2e_fail "Save showed the file error window"
e2e_wait_log_lines 1

e2e_step "a corpus file opened with File, Open and saved under a new name"
e2e_focus "$main"
e2e_menu f o "Open file" >/dev/null
e2e_choose_file "Open file" "$original"
e2e_alive "the program after opening"
e2e_shown "File error!" && e2e_fail "Open showed the file error window"
e2e_focus "$main"
e2e_menu f v "Save file" >/dev/null
e2e_choose_file "Save file" "$E2E_DIR/resaved.rtf"
e2e_alive "the program after saving again"
[ -s "$E2E_DIR/resaved.rtf" ] || e2e_fail "the second Save wrote no file"
[ "$(plain_of "$E2E_DIR/resaved.rtf")" = "$(plain_of "$original")" ] ||
    e2e_fail "pandoc reads the re-saved file differently: $(diff <(plain_of "$original") \
        <(plain_of "$E2E_DIR/resaved.rtf") | head -n 10)"
# Its bold and italic runs survive too.
html_of() { pandoc -f rtf -t html "$1" | tr -s ' \n' ' '; }
[ "$(html_of "$E2E_DIR/resaved.rtf")" = "$(html_of "$original")" ] ||
    e2e_fail "the re-saved file's formatting differs: $(html_of "$E2E_DIR/resaved.rtf" | head -c 400)"
[ "$(sha256sum <"$original")" = "$original_sum" ] || e2e_fail "the opened file was changed"
e2e_shown "File error!" && e2e_fail "the second Save showed the file error window"
e2e_wait_log_lines 1

e2e_step "File, Exit, then Yes"
e2e_focus "$main"
e2e_quit
e2e_expect_clean_exit "Yes in the quit window"
e2e_log_line_is 1 authorized
e2e_wait_log_lines 1
e2e_no_warnings
echo "entry: all passed"
