#!/bin/sh
# Writes small seed corpora for the Common fuzz targets into ROOT/<target>.
set -e
root=${1:?root folder}
mkdir -p "$root/fuzz_settings_xml" "$root/fuzz_protected_file"
printf '<?xml version="1.0"?><Setting><UIConfig><VideoLayout value="150"/><!-- x --></UIConfig></Setting>' \
  > "$root/fuzz_settings_xml/settings"
printf '<Setting><UIConfig><SnapPath value="/tmp/a b/"/></UIConfig><Play><Speed value="2.5"/></Play></Setting>' \
  > "$root/fuzz_settings_xml/groups"
printf '\001\002\003\004\005\006\007\010\011\012\013\014\015\016\017\020' > "$root/fuzz_protected_file/block"
