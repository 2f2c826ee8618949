#!/bin/sh
# Writes a small seed corpus for fuzz_naming_rule into ROOT/fuzz_naming_rule.
set -e
dir=${1:?root folder}/fuzz_naming_rule
mkdir -p "$dir"
printf 'Cam01_ch3_main_20160102030405_20160102040506' > "$dir/main"
printf 'Cam01_ch3_extra2_20160102030405_20160102040506' > "$dir/extra"
printf 'Cam01_ch3_20160102030405_20160102040506_x' > "$dir/tail"
printf '\xe3\x82\xab_ch1_2016119235959_2016119235959x' > "$dir/short"
printf '2016-01-02' > "$dir/folder"
printf '.KVX_' > "$dir/ext"
