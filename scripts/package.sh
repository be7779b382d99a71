#!/usr/bin/env bash
# Builds a Release tree and makes the Debian package from it; prints the path of the .deb.
# Installs what is missing first, as scripts/test.sh does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
build="$root/build-package"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTULVAR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tulvar-midi manual-pages >&2
cd "$build"
cpack -G DEB -B "$build/package" >&2
ls -t "$build"/package/tulvar-midi_*.deb | head -n 1
