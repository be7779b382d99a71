#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop sees of it: the desktop
# entry, the AppStream data, the MIME package, the manual page, the program itself and the licence
# texts it finds from the installed layout.
# Usage: check_installed_tree.sh <build folder> <licence text test program>
set -euo pipefail
build="$1"
license_test="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >/dev/null
usr="$tmp/root/usr"
share="$usr/share"
id=com.keldanworks.TulvarMIDI

for f in bin/tulvar-midi share/tulvar-midi/OpenSourceLicense.txt share/tulvar-midi/TulvarMIDILicense.txt \
         "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" share/mime/packages/tulvar-midi.xml \
         share/man/man1/tulvar-midi.1.gz bin/tulvar-midi-cli share/man/man1/tulvar-midi-cli.1.gz; do
    [ -f "$usr/$f" ] || fail "not installed: /usr/$f"
done
for size in 16 22 24 32 48 64 128 256 512; do
    icon="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$icon" ] || fail "icon missing: $icon"
    file "$icon" | grep -q "PNG image data, $size x $size" || fail "icon is not ${size}x${size}: $(file "$icon")"
done

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
grep -qx 'Exec=tulvar-midi %f' "$share/applications/$id.desktop" || fail "desktop entry Exec"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "AppStream metainfo"
grep -q '<release version="1.4.1"' "$share/metainfo/$id.metainfo.xml" || fail "AppStream release"

xmllint --noout "$share/mime/packages/tulvar-midi.xml" || fail "MIME package is not well-formed"
update-mime-database "$share/mime" 2>/dev/null
grep -q ':application/x-tulvar-midi-project:\*\.tulvarmidi' "$share/mime/globs2" || fail "*.tulvarmidi not mapped"
grep -q ':text/x-tulvar-midi-messages:\*\.txt' "$share/mime/globs2" || fail "*.txt not mapped"
grep -q 'application/x-tulvar-midi-project' "$share/mime/magic" || fail "project identifier magic missing"

for page in tulvar-midi tulvar-midi-cli; do
    warnings="$(zcat "$usr/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -man -ww -z 2>&1)"
    [ -z "$warnings" ] || fail "manual page $page warnings: $warnings"
done
manual="$(zcat "$usr/share/man/man1/tulvar-midi.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 2>/dev/null | sed 's/.\x08//g; s/‐/-/g')"

program="$usr/bin/tulvar-midi"
version="$("$program" --version)"
[ "$version" = "Tulvar MIDI 1.4.1" ] || fail "--version printed '$version'"
echo "$manual" | grep -q "Tulvar MIDI 1.4.1" || fail "the manual page names another version"
# Every option the program lists is in the manual page.
options="$("$program" --help | grep -o -E '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,' | sort -u)"
[ -n "$options" ] || fail "--help lists no options"
for option in $options; do
    echo "$manual" | grep -q -e "$option" || fail "--help lists $option, the manual page does not"
done
echo "$manual" | grep -q TULVAR_MIDI_BACKEND || fail "the manual page does not name TULVAR_MIDI_BACKEND"

# The installed program starts and keeps running.
home="$tmp/home"
mkdir -p "$home/.config" "$home/run"
chmod 700 "$home/run"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen
"$program" --midi-backend=loopback >"$tmp/program.log" 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || { cat "$tmp/program.log"; fail "the installed program did not keep running"; }
kill -TERM "$pid"
wait "$pid" || true

# The licence viewers read the installed texts: the test program is run from the installed bin/,
# where the program's data-folder lookup starts.
cp "$license_test" "$usr/bin/"
"$usr/bin/$(basename "$license_test")" || fail "licence texts from the installed data folder"
echo "installed tree: all checks passed"
