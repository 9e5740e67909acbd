#!/usr/bin/env bash
# A screen-reader user's journey, driven over AT-SPI alone by screenreader.py in a session bus of
# its own.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"
driver=$(realpath "$(dirname "$0")/screenreader.py")
saved=$E2E_DIR/read-aloud.rtf

e2e_step "the journey over AT-SPI"
mkdir -p "$E2E_DIR/elsewhere"
status=0
(cd "$E2E_DIR/elsewhere" &&
    dbus-run-session -- /usr/bin/python3 "$driver" "$E2E_APP/quillory" "$saved" "$E2E_DIR/out.log" \
        2>"$E2E_DIR/bus.log") || status=$?
if [ "$status" != 0 ]; then
    grep -v '^dbus-daemon\|^SpiRegistry' "$E2E_DIR/bus.log" >&2 || true
    e2e_fail "the journey over AT-SPI failed"
fi

e2e_step "what it left on disk"
[ "$(head -c 5 "$saved")" = '{\rtf' ] || e2e_fail "the saved file is not RTF: $(head -c 40 "$saved")"
grep -q 'Dear diary, I heard every word.' "$saved" || e2e_fail "the saved file lacks the typed line"
e2e_wait_log_lines 1
e2e_log_line_is 1 authorized
e2e_no_warnings
echo "screenreader: all passed"
