#!/usr/bin/env bash
# Installs what is needed, builds the player and starts it.
# Any arguments are passed to the player. Without arguments a small folder
# of sample recordings is made (build/samples) and passed instead.
# The player runs in the folder the script was started from, so relative
# paths name what they name there.
set -euo pipefail
caller_dir="$PWD"
repo="$(cd "$(dirname "$0")/.." && pwd)"
cd "$repo"

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMIVEX_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target lumivex kvxwrite

if [ $# -eq 0 ]; then
  samples=build/samples
  if ! ls "$samples"/*.kvx >/dev/null 2>&1; then
    mkdir -p "$samples"
    start="$(date -d 'today 08:00:00' '+%Y-%m-%d %H:%M:%S')"
    for ch in 1 2; do
      build/release/tools/KvxWriter/kvxwrite --name Demo --channel "$ch" --start "$start" \
        --seconds 60 --count 3 "$samples" >/dev/null
    done
    build/release/tools/KvxWriter/kvxwrite --name Demo --channel 1 --stream extra1 --start "$start" \
      --seconds 60 --size 352x288 --codec h265 --audio aac "$samples" >/dev/null
  fi
  set -- "$repo/$samples"
fi

cd "$caller_dir"
exec "$repo/build/release/src/App/lumivex" "$@"
