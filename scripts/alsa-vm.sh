#!/usr/bin/env bash
# Runs programs against a real ALSA sequencer, on machines without a sound device: a throw-away
# QEMU guest (no KVM needed) boots Debian's own kernel with snd-seq-dummy ("Midi Through") and
# snd-virmidi (four "VirMIDI 0-N" ports backed by /dev/snd/midiC0D0..3), sees this machine's
# root read-only over 9p, and runs each command chrooted there, one after the other.
#
# Usage: scripts/alsa-vm.sh [-c CACHE] COMMAND...
#   Each COMMAND is one shell command line run in the guest (quote it as one argument).
#   CACHE (default: build/alsa-vm) keeps the unpacked kernel package, so only the first run
#   downloads it. The exit status is the first non-zero status of the commands, 0 if all
#   passed, and 125 when the guest could not run them (1 under CI=true: there a test that
#   could not run has failed).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cache="$root/build/alsa-vm"
if [ "${1:-}" = "-c" ]; then
    cache="$2"
    shift 2
fi
[ $# -gt 0 ] || { echo "usage: $0 [-c CACHE] COMMAND..." >&2; exit 2; }
mkdir -p "$cache"
cache="$(cd "$cache" && pwd)"

fail() {
    echo "alsa-vm: $*" >&2
    [ "${CI:-}" = true ] && exit 1
    exit 125
}

for tool in qemu-system-x86_64 busybox apt-get dpkg-deb; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done

# The kernel: whatever linux-image-amd64 depends on, downloaded and unpacked, never installed.
# Concurrent runs (ctest -j) share the cache, so only one of them fetches it.
exec 9>"$cache/lock"
flock 9
package="$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[^ ]*\)$/\1/p' | head -n1)"
if [ -z "$package" ]; then
    package="$(cd "$cache" && ls -d linux-image-* 2>/dev/null | head -n1 || true)"
fi
[ -n "$package" ] || fail "cannot tell which kernel package linux-image-amd64 stands for"
kernel_root="$cache/$package"
if [ ! -e "$kernel_root/.unpacked" ]; then
    echo "alsa-vm: fetching $package (once; kept in $cache)" >&2
    rm -rf "$kernel_root" "$cache/download"
    mkdir -p "$cache/download"
    (cd "$cache/download" && apt-get download "$package" >/dev/null 2>&1) || fail "apt-get download $package failed"
    dpkg-deb -x "$cache"/download/*.deb "$kernel_root"
    rm -rf "$cache/download"
    touch "$kernel_root/.unpacked"
fi
version="$(ls "$kernel_root/lib/modules" | head -n1)"
vmlinuz="$kernel_root/boot/vmlinuz-$version"
[ -f "$vmlinuz" ] || fail "no kernel image in $kernel_root"

# The initramfs: busybox, the modules the guest needs and an init that mounts this machine's
# root, runs the commands there and passes their status out on the serial console.
initrd="$cache/initrd-$version.cpio"
if [ ! -f "$initrd" ] || [ "$0" -nt "$initrd" ]; then
    stage="$cache/initrd-stage"
    rm -rf "$stage"
    mkdir -p "$stage"/{bin,dev,proc,sys,host} "$stage/lib/modules/$version/kernel"
    cp "$(command -v busybox)" "$stage/bin/busybox"
    for applet in sh mount mkdir modprobe chroot poweroff sed cat echo sleep; do
        ln -s busybox "$stage/bin/$applet"
    done
    for dir in sound fs/9p fs/netfs fs/fscache net/9p drivers/virtio; do
        if [ -d "$kernel_root/lib/modules/$version/kernel/$dir" ]; then
            mkdir -p "$stage/lib/modules/$version/kernel/$dir"
            cp -r "$kernel_root/lib/modules/$version/kernel/$dir/." "$stage/lib/modules/$version/kernel/$dir/"
        fi
    done
    cp "$kernel_root/lib/modules/$version"/modules.{order,builtin} "$stage/lib/modules/$version/"
    busybox depmod -b "$stage" "$version"
    cat >"$stage/init" <<'EOF'
#!/bin/sh
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
modprobe -a virtio_pci 9pnet_virtio 9p snd-seq-dummy snd-virmidi
run="$(sed -n 's/.*alsavm\.run=\([^ ]*\).*/\1/p' /proc/cmdline)"
status=125
if mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /host; then
    for dir in dev proc sys; do
        mount --bind "/$dir" "/host/$dir"
    done
    mount -t tmpfs tmpfs /host/run
    mount -t tmpfs tmpfs /host/root
    chroot /host /bin/sh "$run"
    status=$?
fi
echo
echo "alsa-vm: exit status $status"
poweroff -f
EOF
    chmod +x "$stage/init"
    (cd "$stage" && find . | busybox cpio -o -H newc >"$initrd.tmp" 2>/dev/null)
    mv "$initrd.tmp" "$initrd"
    rm -rf "$stage"
fi
flock -u 9

# The commands, run by the guest's /bin/sh chrooted in this machine's root. The root is
# read-only there; /run and /root are the guest's own scratch space.
script="$(mktemp "$cache/run-XXXXXX.sh")"
log="${script%.sh}.log"
trap 'rm -f "$script" "$log"' EXIT
{
    echo 'export HOME=/root XDG_CONFIG_HOME=/root/.config XDG_RUNTIME_DIR=/run TMPDIR=/run'
    echo 'export QT_QPA_PLATFORM=offscreen TULVAR_MIDI_BACKEND=alsa'
    # Sanitizer builds run their tests in the guest too, with the same options.
    for name in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS TSAN_OPTIONS; do
        if [ -n "${!name:-}" ]; then
            printf 'export %s=%q\n' "$name" "${!name}"
        fi
    done
    echo 'cd /run'
    echo 'status=0'
    for command in "$@"; do
        printf 'echo %q\n' "alsa-vm: running $command"
        printf '%s\n' "$command"
        echo 'code=$?; [ $code -ne 0 ] && echo "alsa-vm: status $code" && [ $status -eq 0 ] && status=$code'
    done
    echo 'exit $status'
} >"$script"
chmod 644 "$script"

timeout 900 qemu-system-x86_64 -nodefaults -no-user-config -display none -no-reboot \
    -machine pc -cpu max -accel tcg,thread=multi -smp 2 -m 1024 \
    -kernel "$vmlinuz" -initrd "$initrd" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 alsavm.run=$script" \
    -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
    -serial stdio -monitor none </dev/null | tr -d '\r' | tee "$log"  || true
status="$(sed -n 's/^.*alsa-vm: exit status \([0-9]*\)$/\1/p' "$log" | tail -n1)"
[ -n "$status" ] || fail "the guest ended without reporting a status"
exit "$status"
