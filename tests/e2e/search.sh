#!/usr/bin/env bash
# The search window with a real keyboard and real windows: the search window stays on top of every
# window, so the not-found window must show above it and beside it.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"

# "place x y width height" of the window $1 (an xdotool id); place counts from the top of the
# screen's stacking order, which with no window manager is the X server's own.
stacked() {
    xwininfo -root -children 2>/dev/null | awk -v id="$(printf '0x%x' "$1")" '
        $1 ~ /^0x/ { place++ }
        $1 == id && match($0, /[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+/) {
            split(substr($0, RSTART, RLENGTH), g, /[x+]/)
            print place, g[3], g[4], g[1], g[2]
        }'
}

e2e_start
e2e_step "through the gate, a line typed into the entry"
main=$(e2e_pass_gate journal diary)
e2e_focus "$main"
e2e_type "The cat sat"

e2e_step "Tools, Search: Find a word that is there"
search=$(e2e_menu t s "Search")
e2e_type "cat"
e2e_key alt+f
# A match brings the entry to the front with the keyboard.
entry_in_front() { [ "$(xdotool getwindowfocus)" = "$main" ]; }
e2e_until entry_in_front || e2e_fail "the entry did not come to the front"
e2e_shown "Not found!" && e2e_fail "'cat' was not found"

e2e_step "a click into the search box, a new word typed, Find again"
e2e_click "Search" "role:combo box" # named by its text once typed into
e2e_key ctrl+a
e2e_type "dog"
e2e_key alt+f
not_found=$(e2e_window "Not found!" 5)

e2e_step "the not-found window is above the search window and beside it"
read -r nf_place nf_x nf_y nf_w nf_h < <(stacked "$not_found")
read -r s_place s_x s_y s_w s_h < <(stacked "$search")
{ [ -n "$nf_place" ] && [ -n "$s_place" ]; } || e2e_fail "the windows are not in the stacking order"
((nf_place < s_place)) || e2e_fail "the not-found window is stacked under the search window"
# A window manager keeps a window above the one it is transient for.
xprop -id "$not_found" WM_TRANSIENT_FOR | grep -q "# $(printf '0x%x' "$search")\$" ||
    e2e_fail "the not-found window is not transient for the search window"
if ((nf_x < s_x + s_w && s_x < nf_x + nf_w && nf_y < s_y + s_h && s_y < nf_y + nf_h)); then
    e2e_fail "the search window (${s_w}x$s_h+$s_x+$s_y) covers part of the not-found window (${nf_w}x$nf_h+$nf_x+$nf_y)"
fi
((nf_x >= 0 && nf_y >= 0 && nf_x + nf_w <= 1280 && nf_y + nf_h <= 1024)) ||
    e2e_fail "the not-found window (${nf_w}x$nf_h+$nf_x+$nf_y) is partly off the screen"

e2e_alive "the program after the search"
e2e_no_warnings
echo "search: all passed"
