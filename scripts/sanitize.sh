#!/usr/bin/env bash
# The sanitizer and fuzzing runs of CI, each in a build folder of its own:
#   scripts/sanitize.sh address   libraries, engine and their tests under ASan + UBSan
#   scripts/sanitize.sh thread    the threaded code (port layer, engine) under TSan
#   scripts/sanitize.sh fuzz      every libFuzzer target from its corpus for FUZZ_SECONDS (60)
#                                 with a fixed seed; a single allocation above 64 MiB counts as
#                                 a failure. FUZZ_EXPLORE=600 fuzzes that long with a random seed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mode="${1:?usage: sanitize.sh address|thread|fuzz}"
jobs="$(nproc)"
"$root/scripts/deps.sh"

case "$mode" in
address)
    dir="$root/build-asan"
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DTULVAR_SANITIZE=address,undefined \
        -DTULVAR_BUILD_GUI=OFF -DTULVAR_BUILD_BENCH=OFF >/dev/null
    cmake --build "$dir" -j"$jobs"
    cd "$dir"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp" \
        ctest --output-on-failure -j"$jobs"
    ;;
thread)
    dir="$root/build-tsan"
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DTULVAR_SANITIZE=thread \
        -DTULVAR_BUILD_GUI=OFF -DTULVAR_BUILD_BENCH=OFF >/dev/null
    cmake --build "$dir" -j"$jobs"
    cd "$dir"
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/scripts/tsan.supp" \
        ctest --output-on-failure -j"$jobs" -L 'threads'
    ;;
fuzz)
    dir="$root/build-fuzz"
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DTULVAR_BUILD_FUZZ=ON \
        -DTULVAR_BUILD_GUI=OFF -DTULVAR_BUILD_BENCH=OFF \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
    cmake --build "$dir" -j"$jobs" --target fuzzers
    for target in "$dir"/fuzz/fuzz_*; do
        [ -f "$target" ] && [ -x "$target" ] || continue
        name="$(basename "$target")"
        # A fixed seed makes every run try the same inputs in the same order, so what one run
        # passed the next one passes too; a faster machine only gets further.
        if [ -n "${FUZZ_EXPLORE:-}" ]; then
            budget=(-max_total_time="$FUZZ_EXPLORE")
        else
            budget=(-seed=1 -max_total_time="${FUZZ_SECONDS:-60}")
        fi
        corpus="$(mktemp -d)"
        cp -r "$root/fuzz/corpus/$name/." "$corpus/" 2>/dev/null || true
        echo "Fuzzing $name (${budget[*]})"
        log="$corpus.log"
        if ! "$target" "${budget[@]}" -rss_limit_mb=2048 -malloc_limit_mb=64 -timeout=10 \
            -artifact_prefix="$dir/" "$corpus" >"$log" 2>&1; then
            tail -n 60 "$log"
            echo "$name failed; the input that failed is in $dir" >&2
            exit 1
        fi
        tail -n 1 "$log"
        rm -f "$log"
        rm -rf "$corpus"
    done
    ;;
*)
    echo "usage: sanitize.sh address|thread|fuzz" >&2; exit 2 ;;
esac
