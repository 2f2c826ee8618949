#!/bin/bash
# Makes one day of recordings for the screen measurement: 16 channels of one
# recorder, two one-minute files each. Every picture carries its frame index
# since the day's start (Gray code) and its channel number in black/white
# bands at the top, which bench/Screen/screencode.py reads back.
#   make_day.sh DAY_FOLDER [KVXWRITE]
set -euo pipefail
export TZ=UTC
day=${1:?usage: make_day.sh DAY_FOLDER [KVXWRITE]}
here=$(cd "$(dirname "$0")" && pwd)
kvxwrite=${2:-$here/../../build/release/tools/KvxWriter/kvxwrite}
start_day="2024-03-01 08:00:00"
fps=25
seconds=60
files=2

if [ -f "$day/.complete" ]; then
    echo "day already made in $day"
    exit 0
fi
mkdir -p "$day"
work=$(mktemp -d "${TMPDIR:-/tmp}/makeday.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The code picture is 16x3: column 0 white, columns 1..13 the bits (most
# significant first), column 14 even parity of them, column 15 black. Rows 0-1
# hold the frame index in Gray code, row 2 the channel number in binary.
code_expr() {  # $1 first frame index, $2 channel
    local n="(N+$1)" c="$2"
    local gray="mod(floor($n/pow(2,13-X))+floor($n/pow(2,14-X)),2)"
    local plain="mod(floor($c/pow(2,13-X)),2)"
    local gpar="mod(" cpar="mod(" k
    for k in $(seq 1 13); do
        gpar+="mod(floor($n/pow(2,13-$k))+floor($n/pow(2,14-$k)),2)+"
        cpar+="mod(floor($c/pow(2,13-$k)),2)+"
    done
    gpar+="0,2)"
    cpar+="0,2)"
    local bit="if(lt(Y,2),$gray,$plain)"
    local par="if(lt(Y,2),$gpar,$cpar)"
    echo "255*if(eq(X,0),1,if(eq(X,15),0,if(eq(X,14),$par,$bit)))"
}

for ch in $(seq 1 16); do
    if [ "$ch" -le 12 ]; then size=704x576; enc=libx264
    elif [ "$ch" -le 14 ]; then size=1920x1080; enc=libx264
    else size=1920x1080; enc=libx265
    fi
    w=${size%x*}; h=${size#*x}
    for f in $(seq 0 $((files - 1))); do
        first=$((f * seconds * fps))
        start=$(date -u -d "$start_day UTC + $((f * seconds)) seconds" "+%Y-%m-%d %H:%M:%S")
        src="$work/ch${ch}_$f.mp4"
        if [ "$enc" = libx264 ]; then
            codec=(-c:v libx264 -preset veryfast -crf 23 -x264-params "keyint=50:min-keyint=50:scenecut=0:bframes=0")
        else
            codec=(-c:v libx265 -preset ultrafast -crf 26 -x265-params "keyint=50:min-keyint=50:scenecut=0:bframes=0:log-level=error")
        fi
        ffmpeg -hide_banner -loglevel error -y -threads 3 \
            -f lavfi -i "testsrc2=s=${size}:r=${fps}:d=${seconds}" \
            -f lavfi -i "nullsrc=s=16x3:r=${fps}:d=${seconds},format=gray,geq=lum='$(code_expr "$first" "$ch")'" \
            -filter_complex "[1]scale=${w}:$((h / 4)):flags=neighbor,format=yuv420p[b];[0][b]overlay=0:0:shortest=1,format=yuv420p" \
            -r "$fps" "${codec[@]}" -an "$src"
        "$kvxwrite" --input "$src" --name Cam01 --channel "$ch" --start "$start" --seconds "$seconds" \
            --audio none --no-overlay --watermark "" "$day" >/dev/null
        rm -f "$src"
    done
    echo "channel $ch done"
done
touch "$day/.complete"
ls "$day"
