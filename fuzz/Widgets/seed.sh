#!/bin/sh
# Writes a small seed corpus for fuzz_skin_strings into ROOT/fuzz_skin_strings.
set -e
dir=${1:?root folder}/fuzz_skin_strings
mkdir -p "$dir"
printf '10,20,110,220' > "$dir/rect"
printf '5,6' > "$dir/point"
printf '#1f2e3d' > "$dir/color"
