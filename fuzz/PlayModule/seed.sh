#!/bin/sh
# Writes small seed corpora for the play-module fuzz targets into
# ROOT/<target>: recordings made by kvxwrite and FFmpeg, a few KB each.
set -e
root=${1:?root folder}
kvxwrite=${2:?path of kvxwrite}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in fuzz_kvx_reader fuzz_playmodule_play fuzz_stream_mode fuzz_index_bytes fuzz_watermark_oracle \
    fuzz_avi_kept_clip fuzz_mp4_key_frames; do
  mkdir -p "$root/$target"
done

# The encoder library of H.265 keeps an allocation the leak check reports.
small="--seconds 0.4 --size 32x32 --fps 5 --gop 0.2"
ASAN_OPTIONS=detect_leaks=0 "$kvxwrite" $small --start "2016-01-02 03:04:05" --name Seed "$work/kvx" >/dev/null
ASAN_OPTIONS=detect_leaks=0 "$kvxwrite" $small --start "2016-01-02 03:04:05" --name Bare --unsigned \
  --no-overlay --audio none --codec h265 "$work/kvx" >/dev/null
i=0
for f in "$work"/kvx/*.kvx; do
  i=$((i + 1))
  cp "$f" "$root/fuzz_kvx_reader/kvx$i"
  cp "$f" "$root/fuzz_playmodule_play/kvx$i"
  # The stream target reads its block size from the first two bytes.
  { printf '\001\000'; cat "$f"; } > "$root/fuzz_stream_mode/kvx$i"
done

# A recording cut inside a record and another written on after it (a
# recorder that started again), and one followed by zeros.
size=$(wc -c < "$root/fuzz_kvx_reader/kvx1")
{ head -c $((size / 2 + 7)) "$root/fuzz_kvx_reader/kvx1"; cat "$root/fuzz_kvx_reader/kvx2"; } > "$root/fuzz_kvx_reader/resumed"
{ cat "$root/fuzz_kvx_reader/kvx2"; head -c 65536 /dev/zero; } > "$root/fuzz_kvx_reader/zeros"

if command -v ffmpeg >/dev/null; then
  for ext in mp4 ts avi ps; do
    format=$ext
    [ "$ext" = ps ] && format=mpeg
    [ "$ext" = ts ] && format=mpegts
    ffmpeg -v error -y -f lavfi -i testsrc2=size=32x32:rate=5 -t 0.4 -c:v libx264 -g 1 \
      -pix_fmt yuv420p -f "$format" "$work/seed.$ext"
    cp "$work/seed.$ext" "$root/fuzz_playmodule_play/$ext"
    { printf '\001\000'; cat "$work/seed.$ext"; } > "$root/fuzz_stream_mode/$ext"
  done
  # AVI clips whole, cut inside a chunk and joined; ".mp4" files with
  # B-frames in closed and in open groups.
  avi=$root/fuzz_avi_kept_clip
  cp "$work/seed.avi" "$avi/whole"
  head -c $(( $(wc -c < "$work/seed.avi") * 2 / 3 )) "$work/seed.avi" > "$avi/cut"
  cat "$work/seed.avi" "$work/seed.avi" > "$avi/joined"
  for open in 0 1; do
    ffmpeg -v error -y -f lavfi -i testsrc2=size=32x32:rate=5 -t 2 -c:v libx264 -g 4 -bf 2 \
      -x264-params open-gop=$open -pix_fmt yuv420p "$work/b$open.mp4"
    cp "$work/b$open.mp4" "$root/fuzz_mp4_key_frames/bframes-open$open"
  done
fi

# Index bytes: marker, version 1, container, flags, file size, start, end,
# one entry, then the CRC-32 of all that (gzip's trailer holds the same one).
printf 'KVXI\001\000\001\001\000\020\000\000\000\000\000\000\000\000\000\000\000\000\000\000\350\003\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\060\000\000\000\000\000\000\000' \
  > "$work/index"
{ cat "$work/index"; gzip -c "$work/index" | tail -c 8 | head -c 4; } > "$root/fuzz_index_bytes/one"

# Watermark oracle edits, 8 bytes each (operation, position, length,
# source, fill), a last byte whose bits 0 and 1 mend header and footer
# checksums: none; one byte overwritten; a record's worth removed; a range
# copied elsewhere; a byte of the footer overwritten.
oracle=$root/fuzz_watermark_oracle
printf '\000' > "$oracle/none"
printf '\001\000\020\000\000\000\000\001\001' > "$oracle/overwrite"
printf '\002\000\100\000\010\000\000\000\000' > "$oracle/remove"
printf '\003\000\200\000\020\000\100\000\001' > "$oracle/copy"
printf '\001\360\377\000\000\000\000\002\003' > "$oracle/footer"
# Footers forged to a plan (last byte bit 2): key frames cut off, shift
# in 16 bytes, dropped entries (bits), invented entries (count, how many
# 10 minutes earlier, spacing), first time theirs: the writer's own footer;
# the whole footer kept after a cut of the front; the first key frame
# dropped; a front cut claimed with two entries an hour earlier.
printf '\000\000\000\000\000\000\000\000\004' > "$oracle/plan-own"
printf '\001\000\000\000\000\000\000\000\004' > "$oracle/plan-front-cut"
printf '\000\000\001\000\000\000\000\000\004' > "$oracle/plan-first-dropped"
printf '\000\020\000\002\006\144\001\000\004' > "$oracle/plan-front-claimed"
