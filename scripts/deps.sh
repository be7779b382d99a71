#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the project needs, only when one is missing.
# Runs as root, or through sudo.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qtbase5-dev qtbase5-dev-tools
    libasound2-dev libjack-jackd2-dev jackd2
    libbenchmark-dev
    clang
    xvfb xauth fonts-dejavu-core
    qemu-system-x86 busybox-static
)

# libFuzzer ships in the clang runtime package of the distribution's default clang version.
clang_major="$(apt-cache depends clang 2>/dev/null | grep -o -m1 'clang-[0-9][0-9]*' | cut -d- -f2 || true)"
[ -n "$clang_major" ] && packages+=("libclang-rt-${clang_major}-dev")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if [ -z "$clang_major" ]; then
    clang_major="$(apt-cache depends clang | grep -o -m1 'clang-[0-9][0-9]*' | cut -d- -f2)"
    missing+=("libclang-rt-${clang_major}-dev")
fi
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
