#!/bin/sh
# Writes a small seed corpus for fuzz_layout_text into ROOT/fuzz_layout_text.
set -e
dir=${1:?root folder}/fuzz_layout_text
mkdir -p "$dir"
printf '1/1/1/400:300//0:0:400:300' > "$dir/one"
printf '2/2/4/400:300//0:0:400:300\r\n' > "$dir/four"
