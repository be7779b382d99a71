#!/usr/bin/env bash
# A project file opened from a file manager (xdg-open, as a file manager does) starts the
# installed program with that file. Runs under a virtual X server with private XDG folders.
# Usage: check_file_open.sh <build folder>
set -euo pipefail
build="$1"
for tool in xvfb-run xdg-open xdg-mime update-mime-database update-desktop-database; do
    if ! command -v "$tool" >/dev/null; then
        # On a developer machine without the desktop tools this is a skip; in CI, deps.sh
        # installs them, so their absence is a failure.
        [ -n "${CI:-}" ] && { echo "FAIL: $tool missing in CI" >&2; exit 1; }
        echo "skipped: $tool is not installed"
        exit 77
    fi
done
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >/dev/null
share="$tmp/root/usr/share"
update-mime-database "$share/mime" 2>/dev/null
update-desktop-database "$share/applications"

home="$tmp/home"
mkdir -p "$home/.config" "$home/.local/share" "$home/run"
chmod 700 "$home/run"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
       XDG_RUNTIME_DIR="$home/run" XDG_DATA_DIRS="$share:/usr/share" PATH="$tmp/root/usr/bin:$PATH" \
       TULVAR_MIDI_BACKEND=loopback
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID

# An empty workspace: the three identifiers, "WIND" and the main window's record.
song="$tmp/song.tulvarmidi"
zeros() { head -c "$1" /dev/zero; }
{ printf 'KELDAN WORKS'; zeros 4; printf 'Tulvar MIDI'; zeros 5; printf '1.5.0'; zeros 11; printf 'WIND'
  printf '\x00\x00\x00\x20\x00\x00\x00\x1c\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x00\x00\x00\x0a\x00\x00\x00\x14\x00\x00\x02\xa7\x00\x00\x02\x24\x00\x00\x00\x00'; } >"$song"
[ "$(stat -c %s "$song")" = 88 ] || fail "test project is not 88 bytes"

type="$(xdg-mime query filetype "$song")"
[ "$type" = application/x-tulvar-midi-project ] || fail "file type is '$type'"
handler="$(xdg-mime query default application/x-tulvar-midi-project)"
[ "$handler" = com.keldanworks.TulvarMIDI.desktop ] || fail "default handler is '$handler'"

xvfb-run -a sh -c '
    xdg-open "$1" &
    for i in $(seq 1 100); do
        for pid in $(pgrep -x tulvar-midi || true); do
            [ "$(readlink "/proc/$pid/exe")" = "$2" ] || continue
            if tr "\0" "\n" <"/proc/$pid/cmdline" | grep -qx "$1"; then
                echo "started: $(tr "\0" " " <"/proc/$pid/cmdline")"
                kill -TERM "$pid"
                exit 0
            fi
        done
        sleep 0.1
    done
    echo "FAIL: the program was not started with the project file" >&2
    exit 1
' check "$song" "$tmp/root/usr/bin/tulvar-midi"
