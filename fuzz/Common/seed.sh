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
# A protected file: the MD5 of the cipher text, then the cipher text.
cipher=$(mktemp)
printf '\021\042\063\104\125\146\167\210\231\252\273\314\335\356\377\000' > "$cipher"
# The digest's hex digits as octal escapes for printf.
digest=$(md5sum "$cipher" | cut -c1-32 | awk '{
  h = "0123456789abcdef"
  for (i = 1; i < 32; i += 2)
    printf "\\%03o", (index(h, substr($0, i, 1)) - 1) * 16 + index(h, substr($0, i + 1, 1)) - 1 }')
{ printf "$digest"; cat "$cipher"; } > "$root/fuzz_protected_file/sealed"
rm -f "$cipher"
