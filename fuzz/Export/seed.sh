#!/bin/sh
# Writes a small seed corpus for fuzz_kvx_cut_point into ROOT/fuzz_kvx_cut_point:
# recordings made by kvxwrite, without their key-frame footers (a copy ends
# where its records end).
set -e
root=${1:?root folder}
kvxwrite=${2:?path of kvxwrite}
dir=$root/fuzz_kvx_cut_point
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$dir"
small="--seconds 0.6 --size 32x32 --fps 5 --gop 0.2"
ASAN_OPTIONS=detect_leaks=0 "$kvxwrite" $small --start "2016-01-02 03:04:05" --name Cut "$work/kvx" >/dev/null
ASAN_OPTIONS=detect_leaks=0 "$kvxwrite" $small --start "2016-01-02 03:04:05" --name Bare --unsigned \
  --no-overlay --audio none "$work/kvx" >/dev/null
i=0
for f in "$work"/kvx/*.kvx; do
  i=$((i + 1))
  # The trailer's first 8 bytes: where the footer starts (little-endian).
  records=$(tail -c 48 "$f" | head -c 8 | od -An -tu8 | tr -d ' ')
  head -c "$records" "$f" > "$dir/kvx$i"
done
