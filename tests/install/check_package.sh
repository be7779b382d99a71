#!/usr/bin/env bash
# Makes the Debian package from the build and checks it: files under /usr only, run-time
# dependencies computed from the binary, and a clean install and removal in a throw-away dpkg
# root (never on this machine).
# Usage: check_package.sh <build folder>
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp/package" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; fail "cpack"; }
deb="$(ls "$tmp"/package/tulvar-midi_*.deb)"
echo "package: $(basename "$deb")"

files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
echo "$files" | grep -v -E '^\./(usr/)?$' | grep -v '^\./usr/' && fail "files outside /usr"
for f in ./usr/bin/tulvar-midi ./usr/share/applications/com.keldanworks.TulvarMIDI.desktop \
         ./usr/share/tulvar-midi/OpenSourceLicense.txt ./usr/share/man/man1/tulvar-midi.1.gz; do
    echo "$files" | grep -qx "$f" || fail "$f is not in the package"
done
depends="$(dpkg-deb -f "$deb" Depends)"
echo "depends: $depends"
for library in libqt5widgets5 libqt5gui5 libqt5core5a libasound2 'libjack'; do
    echo "$depends" | grep -q "$library" || fail "Depends lacks $library"
done

root="$tmp/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# The empty root has none of the libraries, so only the dependency check is forced.
dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" >"$tmp/dpkg.log" 2>&1 ||
    { cat "$tmp/dpkg.log"; fail "dpkg -i"; }
[ -x "$root/usr/bin/tulvar-midi" ] || fail "not installed"
dpkg --root="$root" -s tulvar-midi | grep -q '^Status: install ok installed' || fail "dpkg status"
dpkg --root="$root" --force-depends --force-script-chrootless --purge tulvar-midi >"$tmp/dpkg.log" 2>&1 ||
    { cat "$tmp/dpkg.log"; fail "dpkg --purge"; }
left="$(find "$root" -mindepth 1 -not -path "$root/var/lib/dpkg*" -type f)"
[ -z "$left" ] || fail "files left after removal: $left"
echo "package: installs and removes cleanly"
