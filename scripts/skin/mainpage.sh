# Main page: play bar, layout bar, custom-layout slots and time line
# (sourced by scripts/draw-skin.sh).

blue='#3b82f6'
deepblue='#2563c9'
dark='#2e333c'
light='#d7dce3'

# Round play-bar button: name size background glyph-draw...
pb() {
  name=$1; size=$2; bg=$3; shift 3
  last=$((size - 1))
  convert -size "${size}x${size}" xc:none -fill "$bg" -draw "circle $((size / 2)),$((size / 2)) $((size / 2)),$last" \
    "$@" "PNG32:$out/$name"
}

# Three looks of a 31 x 31 check button: checked, pressed, unchecked.
looks() { # checked-name pressed-name unchecked-name glyph-draw...
  checked=$1; pressed=$2; unchecked=$3; shift 3
  pb "$checked" 31 "$blue" -fill white -stroke white "$@"
  pb "$pressed" 31 "$deepblue" -fill white -stroke white "$@"
  pb "$unchecked" 31 "$dark" -fill "$light" -stroke "$light" "$@"
}

# Repeat One: a looped arrow with a "1".
looks btn_repeatover.png btn_repeatdown.png btn_repeatnor.png -strokewidth 2 -fill none \
  -draw "arc 8,9 23,22 200,520" -stroke none -fill white -draw "polygon 8,12 5,15 11,15"
convert "$out/btn_repeatnor.png" -fill "$light" -draw "polygon 8,12 5,15 11,15" "PNG32:$out/btn_repeatnor.png"
# Sync Play: two clocks joined.
looks btn_syncheck.png btn_syndown.png btn_synuncheck.png -strokewidth 1.5 -fill none \
  -draw "circle 10,15 10,20" -draw "circle 21,15 21,20" -draw "line 10,15 10,12" -draw "line 21,15 21,12"
# Reverse: a triangle pointing back.
looks btn_playbackcheck.png btn_playbackdown.png btn_playbackuncheck.png -stroke none \
  -draw "polygon 20,9 20,22 10,15.5"

# Play/Pause, 49 x 49: pause bars while playing, a triangle while paused.
pb btn_parsenor.png 49 "$blue" -fill white -draw "rectangle 17,15 21,34" -draw "rectangle 28,15 32,34"
pb btn_parseover.png 49 "$deepblue" -fill white -draw "rectangle 17,15 21,34" -draw "rectangle 28,15 32,34"
pb btn_playunchchecknor.png 49 "$dark" -fill "$light" -draw "polygon 19,14 19,35 35,24.5"
pb btn_playuncheckover.png 49 '#3a404a' -fill white -draw "polygon 19,14 19,35 35,24.5"

# Stop, previous and next: normal, hover (and disabled).
push() { # base-name glyph-draw...
  base=$1; shift
  pb "${base}nor.png" 31 "$dark" -fill "$light" "$@"
  pb "${base}over.png" 31 "$blue" -fill white "$@"
}
push btn_stop -draw "rectangle 10,10 20,20"
push btn_prev -draw "rectangle 9,9 11,21" -draw "polygon 22,9 22,21 12,15"
push btn_next -draw "rectangle 20,9 22,21" -draw "polygon 9,9 9,21 19,15"
pb btn_prevdis.png 31 '#23272e' -fill '#5b636e' -draw "rectangle 9,9 11,21" -draw "polygon 22,9 22,21 12,15"
pb btn_nextdis.png 31 '#23272e' -fill '#5b636e' -draw "rectangle 20,9 22,21" -draw "polygon 9,9 9,21 19,15"

# Sound on (a speaker with waves) and muted (a speaker with a cross).
speaker="polygon 7,12 11,12 16,8 16,23 11,19 7,19"
pb btn_volumenor.png 31 "$dark" -fill "$light" -draw "$speaker" -fill none -stroke "$light" -strokewidth 1.5 \
  -draw "arc 14,11 22,20 -60,60" -draw "arc 14,8 26,23 -60,60"
pb btn_volumeover.png 31 "$blue" -fill white -draw "$speaker" -fill none -stroke white -strokewidth 1.5 \
  -draw "arc 14,11 22,20 -60,60" -draw "arc 14,8 26,23 -60,60"
pb btn_silencenor.png 31 "$dark" -fill "$light" -draw "$speaker" -stroke "$red" -strokewidth 2 \
  -draw "line 19,12 25,19" -draw "line 25,12 19,19"
pb btn_silenceover.png 31 "$blue" -fill white -draw "$speaker" -stroke "$red" -strokewidth 2 \
  -draw "line 19,12 25,19" -draw "line 25,12 19,19"

# Sliders: the track left of the thumb (filled), the track right of it, then
# four thumb looks of 20 x 20.
slider() { # name track-width
  w=$2
  convert -size "$((2 * w + 80))x20" xc:none \
    -fill "$blue" -draw "roundrectangle 0,8 $((w - 1)),11 2,2" \
    -fill '#3a404a' -draw "roundrectangle $w,8 $((2 * w - 1)),11 2,2" \
    -fill "$light" -draw "circle $((2 * w + 10)),10 $((2 * w + 10)),3" \
    -fill white -draw "circle $((2 * w + 30)),10 $((2 * w + 30)),3" \
    -fill "$blue" -draw "circle $((2 * w + 50)),10 $((2 * w + 50)),3" \
    -fill '#5b636e' -draw "circle $((2 * w + 70)),10 $((2 * w + 70)),3" "PNG32:$out/$1"
}
slider slider_speed.png 115
slider slider_volume.png 80
slider slider_speedoutput.png 120

# Bar backgrounds.
convert -size 64x55 gradient:'#2b3038'-'#1c1f25' "PNG32:$out/bg_playbar.png"
convert -size 64x110 gradient:'#23272e'-'#16181c' "PNG32:$out/bg_timeline.png"

# Layout buttons, 53 x 42: the grid they give, checked and unchecked.
# grid rows columns [merged-first-row merged-first-column merged-size]
layout() { # count rows columns merge-row merge-column merge-size
  count=$1; rows=$2; cols=$3; mr=$4; mc=$5; ms=$6
  for state in check uncheck; do
    if [ $state = check ]; then bg=$blue; fg=white; else bg=$dark; fg=$light; fi
    args=""
    x0=12; y0=7; gw=29; gh=28
    r=0
    while [ $r -lt "$rows" ]; do
      c=0
      while [ $c -lt "$cols" ]; do
        inside=0
        if [ "$ms" -gt 0 ] && [ $r -ge "$mr" ] && [ $r -lt $((mr + ms)) ] && [ $c -ge "$mc" ] && [ $c -lt $((mc + ms)) ]; then
          inside=1
        fi
        if [ $inside = 0 ]; then
          l=$((x0 + c * gw / cols)); t=$((y0 + r * gh / rows))
          rr=$((x0 + (c + 1) * gw / cols - 2)); b=$((y0 + (r + 1) * gh / rows - 2))
          args="$args -draw \"rectangle $l,$t $rr,$b\""
        fi
        c=$((c + 1))
      done
      r=$((r + 1))
    done
    if [ "$ms" -gt 0 ]; then
      l=$((x0 + mc * gw / cols)); t=$((y0 + mr * gh / rows))
      rr=$((x0 + (mc + ms) * gw / cols - 2)); b=$((y0 + (mr + ms) * gh / rows - 2))
      args="$args -draw \"rectangle $l,$t $rr,$b\""
    fi
    eval convert -size 53x42 xc:none -fill "'$bg'" -draw "'roundrectangle 0,0 52,41 5,5'" -fill "'$fg'" $args \
      "PNG32:$out/btn_win${count}${state}.png"
  done
}
layout 1 1 1 0 0 0
layout 4 2 2 0 0 0
layout 6 3 3 0 0 2
layout 8 4 4 0 0 3
layout 9 3 3 0 0 0
layout 13 4 4 1 1 2
layout 16 4 4 0 0 0
layout 25 5 5 0 0 0
layout 36 6 6 0 0 0

# Custom layout: a grid with a pencil.
for state in check uncheck; do
  if [ $state = check ]; then bg=$blue; fg=white; else bg=$dark; fg=$light; fi
  convert -size 53x42 xc:none -fill "$bg" -draw "roundrectangle 0,0 52,41 5,5" \
    -fill none -stroke "$fg" -strokewidth 1.5 -draw "rectangle 11,8 33,33" -draw "line 11,20 33,20" -draw "line 22,8 22,33" \
    -stroke none -fill '#f5a524' -draw "polygon 36,30 44,13 47,15 39,32" -fill "$fg" -draw "polygon 36,30 39,32 35,34" \
    "PNG32:$out/btn_layout${state}.png"
done

# Time line: rows up and down (21 x 28), back and forward (15 x 30), the
# zoom slider's ground and the record marks.
tl() { # name w h background glyph-polygon
  convert -size "$2x$3" xc:none -fill "$4" -draw "roundrectangle 0,0 $(($2 - 1)),$(($3 - 1)) 3,3" \
    -fill "$light" -draw "polygon $5" "PNG32:$out/$1"
}
tl channel_up.png 21 28 "$dark" "5,17 16,17 10.5,10"
tl channel_down.png 21 28 "$dark" "5,11 16,11 10.5,18"
tl BackwardEnable.png 15 30 "$dark" "10,9 10,21 4,15"
tl ForwardEnable.png 15 30 "$dark" "5,9 5,21 11,15"
convert -size 15x30 xc:none -fill '#23272e' -draw "roundrectangle 0,0 14,29 3,3" \
  -fill '#5b636e' -draw "polygon 10,9 10,21 4,15" "PNG32:$out/BackwardDisable.png"
convert -size 15x30 xc:none -fill '#23272e' -draw "roundrectangle 0,0 14,29 3,3" \
  -fill '#5b636e' -draw "polygon 5,9 5,21 11,15" "PNG32:$out/ForwardDisable.png"
convert -size 129x21 xc:none -fill '#1f232a' -draw "roundrectangle 0,0 128,20 4,4" "PNG32:$out/ZoomBg.png"
convert -size 8x8 xc:none -fill "$red" -draw "circle 3.5,3.5 3.5,0" "PNG32:$out/videorecord.png"
convert -size 8x8 xc:none -fill '#f5a524' -draw "circle 3.5,3.5 3.5,0" "PNG32:$out/RozeridaRecord.png"
