#!/usr/bin/env bash
# The Debian package as a user meets it: built from this build, unpacked into a temporary root and
# run from there with its folder read-only and a home of its own.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_setup "${1:-}"
build=$(dirname "$E2E_BUILT")
root=$E2E_DIR/root
program=$root/usr/lib/quillory

e2e_step "the package, with every file where a desktop looks for it"
cpack -G DEB -B "$E2E_DIR/package" --config "$build/CPackConfig.cmake" >"$E2E_DIR/cpack.log" 2>&1 ||
    e2e_fail "cpack: $(tail -n 5 "$E2E_DIR/cpack.log")"
deb=$(echo "$E2E_DIR"/package/quillory_*.deb)
dpkg-deb -x "$deb" "$root"
for file in usr/bin/quillory usr/bin/quillory-rtftext usr/lib/quillory/orvquillory.hlp \
    usr/lib/quillory/graphics/s_hi!.wav usr/lib/quillory/first-passwords/orvpass2.txt \
    usr/share/applications/org.quillory.Quillory.desktop \
    usr/share/metainfo/org.quillory.Quillory.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/org.quillory.Quillory.svg \
    usr/share/icons/hicolor/16x16/apps/org.quillory.Quillory.png \
    usr/share/icons/hicolor/256x256/apps/org.quillory.Quillory.png \
    usr/share/man/man1/quillory.1.gz usr/share/man/man1/quillory-rtftext.1.gz; do
    [ -s "$root/$file" ] || e2e_fail "the package holds no $file"
done
# The RTF reader uses Qt's private text document API, which holds only for the Qt it was built on.
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *'qt6-base-abi (= '* ]] ||
    e2e_fail "the package does not depend on its exact Qt: $depends"
lintian --fail-on error,warning "$deb" >"$E2E_DIR/lintian.log" 2>&1 ||
    e2e_fail "lintian: $(grep -E '^[EW]:' "$E2E_DIR/lintian.log" | head -n 5)"

e2e_step "--version answers without a display; wrong command lines say so with status 2"
said=$(env -u DISPLAY "$root/usr/bin/quillory" --version) || e2e_fail "quillory --version failed"
[ "$said" = "Quillory 1.0" ] || e2e_fail "quillory --version printed '$said'"
said=$("$root/usr/bin/quillory-rtftext" --version) || e2e_fail "quillory-rtftext --version failed"
[ "$said" = "quillory-rtftext 1.0" ] || e2e_fail "quillory-rtftext --version printed '$said'"
for tool in quillory quillory-rtftext; do
    status=0
    said=$("$root/usr/bin/$tool" --bogus 2>&1) || status=$?
    if [ "$status" != 2 ] || [[ "$said" != *"--help"* ]]; then
        e2e_fail "$tool --bogus: status $status, '$said'"
    fi
done

e2e_step "first start: the user's folder made, the gate passed, the given entry shown"
export HOME=$E2E_DIR/home
mkdir -p "$HOME"
user=$XDG_DATA_HOME/Quillory
E2E_APP=$user # the log steps read the user's security log
# The program's folder read-only, in a mount namespace of the program's own.
cat >"$E2E_DIR/read-only" <<SCRIPT
mount --bind -o ro "$program" "$program" && exec "$root/usr/bin/quillory" "\$@"
SCRIPT
E2E_PROGRAM="unshare --mount --propagation private sh $E2E_DIR/read-only"
mkdir "$E2E_DIR/documents"
entry=$E2E_DIR/documents/holiday.rtf
printf '{\\rtf1\\ansi Dear diary, the sea was warm.\\par}' >"$entry"
e2e_start "$entry"
main=$(e2e_pass_gate journal diary)
[ "$(stat -c %a "$user")" = 700 ] || e2e_fail "the user's folder has mode $(stat -c %a "$user")"
for file in orvpass1.txt orvpass2.txt orvlog.txt; do
    [ "$(stat -c %a "$user/$file")" = 600 ] || e2e_fail "$file has mode $(stat -c %a "$user/$file")"
done
cmp -s "$user/orvpass1.txt" "$program/first-passwords/orvpass1.txt" ||
    e2e_fail "the user's first password file is not the package's"
[ -z "$(find "$program" -newer "$entry")" ] || e2e_fail "the program wrote into its own folder"
# What the entry holds is what a save writes.
e2e_focus "$main"
e2e_menu f v "Save file" >/dev/null
e2e_choose_file "Save file" "$E2E_DIR/saved.rtf"
said=$("$root/usr/bin/quillory-rtftext" "$E2E_DIR/saved.rtf")
[ "$said" = "Dear diary, the sea was warm." ] || e2e_fail "the entry held '$said'"
e2e_no_warnings
e2e_stop
echo "package: all passed"
