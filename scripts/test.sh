#!/usr/bin/env bash
# Installs what is needed, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test, then the thread-sanitizer
# run of the task framework, the benchmark smoke runs and the short fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

scripts/install-deps.sh

# Tests run in a home and temporary folder of their own, removed at the end,
# so they neither read nor write the user's settings and leave nothing behind.
scratch=$(mktemp -d)
chmod 700 "$scratch"
mkdir -p "$scratch/home" "$scratch/tmp" "$scratch/runtime"
chmod 700 "$scratch/runtime"
cleanup() {
  in_test_home pulseaudio --kill 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$scratch/runtime
in_test_home() {
  HOME=$scratch/home TMPDIR=$scratch/tmp XDG_CONFIG_HOME=$scratch/home/.config \
    XDG_DATA_HOME=$scratch/home/.local/share XDG_CACHE_HOME=$scratch/home/.cache "$@"
}
# One fixed time zone: results do not depend on the machine's, and glibc
# loads it once instead of re-reading /etc/localtime in every conversion.
export TZ=UTC
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# A sound server with a null sink, so the audio tests have a device.
if command -v pulseaudio >/dev/null; then
  in_test_home pulseaudio -D -n --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=nullsink" 2>/dev/null || true
fi

echo "== build with address and undefined-behaviour sanitizers"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMIVEX_SANITIZE=address,undefined
cmake --build build/test -j "$jobs"

echo "== thread-sanitizer build of the task framework"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMIVEX_SANITIZE=thread -DLUMIVEX_BENCH=OFF
tsan_targets=$(sed -n 's/^tsan_target: //p' tests/TSAN_TARGETS)
cmake --build build/tsan -j "$jobs" --target $tsan_targets
(cd build/tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
   in_test_home ctest -L tsan --output-on-failure -j "$jobs" --timeout 600)

echo "== benchmark smoke runs"
for b in build/test/bench/*/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  in_test_home "$b" --benchmark_min_time=0.01 >/dev/null
  echo "$(basename "$b") ran"
done

if command -v clang++ >/dev/null; then
  echo "== short fuzz runs"
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMIVEX_FUZZ=ON -DLUMIVEX_TESTS=OFF -DLUMIVEX_BENCH=OFF >/dev/null
  # Only the fuzz programs (their libraries are built with the fuzzer's
  # coverage hooks and the sanitizers, for them).
  fuzz_targets=$(ninja -C build/fuzz -t targets all | grep -o '^fuzz_[A-Za-z0-9_]*' | sort -u)
  cmake --build build/fuzz -j "$jobs" --target $fuzz_targets
  # Seed corpora, made now (recordings by kvxwrite and FFmpeg, a few KB).
  seeds=$scratch/seeds
  for s in fuzz/*/seed.sh; do
    in_test_home sh "$s" "$seeds" "$root/build/test/tools/KvxWriter/kvxwrite"
  done
  # A fixed seed keeps these runs repeatable; longer runs go by hand.
  # Undefined behaviour halts a run, as the fuzz build does not recover from it.
  for f in build/fuzz/fuzz/*/fuzz_*; do
    [ -f "$f" ] && [ -x "$f" ] || continue
    corpus=$(mktemp -d -p "$scratch/tmp")
    log=$(mktemp -p "$scratch/tmp")
    mkdir -p "$seeds/$(basename "$f")"
    if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 in_test_home "$f" -seed=1 -max_total_time=20 \
        -rss_limit_mb=2048 "$corpus" "$seeds/$(basename "$f")" >"$log" 2>&1; then
      echo "$f failed:"
      tail -n 60 "$log"
      exit 1
    fi
    tail -n 1 "$log"
  done
fi

echo "== all tests"
cd "$root/build/test"
in_test_home ctest --output-on-failure -j "$jobs" --timeout 900
