#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments go to the program
# (a project file, --midi-backend=alsa|jack|loopback|auto).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target tulvar-midi -j"$(nproc)"
exec "$root/build/app/tulvar-midi" "$@"
