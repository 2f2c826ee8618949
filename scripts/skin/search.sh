# Search page images, sourced by scripts/draw-skin.sh (helpers and colours there).
# Names other pages use as well are drawn only when no such image exists yet.
stable='-define png:exclude-chunk=date,time'
# once NAME convert-arguments...: draws NAME unless it exists.
once() { name=$1; shift; [ -f "$out/$name" ] || convert "$@" $stable "PNG32:$out/$name"; }
accent='#3b82f6'
deep='#2563c9'
face='#2e333c'
light='#d7dce3'

# MD region toggle, 31 x 31: checked removes the region, unchecked sets one.
convert -size 31x31 xc:none -fill "$accent" -draw "roundrectangle 0,0 30,30 4,4" \
  -fill none -stroke white -strokewidth 1.5 -draw "rectangle 6,8 24,22" \
  -draw "line 11,15 19,15" $stable "PNG32:$out/btn_delregion.png"
convert -size 31x31 xc:none -fill "$face" -draw "roundrectangle 0,0 30,30 4,4" \
  -fill none -stroke "$light" -strokewidth 1.5 -draw "stroke-dasharray 3 2 rectangle 6,8 24,22" \
  -draw "line 15,11 15,19" -draw "line 11,15 19,15" \
  $stable "PNG32:$out/btn_setregion.png"

# Small player's background.
once bg_simpleplayer.png -size 64x64 gradient:'#2a2f38'-'#1d2026'

# Play toggle, 46 x 46: checked (playing) shows pause, unchecked shows play.
round46() { # name fill glyph-draw...
  name=$1; fill=$2; shift 2
  once "$name" -size 46x46 xc:none -fill "$fill" -draw "circle 22.5,22.5 22.5,1" "$@"
}
round46 btn_parsenor.png "$accent" -fill white -draw "rectangle 16,14 20,31" -draw "rectangle 26,14 30,31"
round46 btn_parseover.png "$deep" -fill white -draw "rectangle 16,14 20,31" -draw "rectangle 26,14 30,31"
round46 btn_playunchchecknor.png "$face" -fill "$light" -draw "polygon 18,13 18,33 33,23"
round46 btn_playuncheckover.png "$accent" -fill white -draw "polygon 18,13 18,33 33,23"

# Frame steps, 31 x 31: a bar and a triangle pointing back or ahead.
step31() { # name fill glyph-colour polygon bar
  once "$1" -size 31x31 xc:none -fill "$2" -draw "roundrectangle 0,0 30,30 4,4" \
    -fill "$3" -draw "polygon $4" -draw "rectangle $5"
}
step31 btn_prevnor.png "$face" "$light" "20,9 20,21 11,15" "9,9 10,21"
step31 btn_prevover.png "$accent" white "20,9 20,21 11,15" "9,9 10,21"
step31 btn_nextnor.png "$face" "$light" "10,9 10,21 19,15" "20,9 21,21"
step31 btn_nextover.png "$accent" white "10,9 10,21 19,15" "20,9 21,21"

# Text buttons, 100 x 28: light at rest (black text), deep blue pressed (white text).
once btn_commongnor.png -size 100x28 xc:none -fill "$light" -stroke '#8b939e' \
  -draw "roundrectangle 0,0 99,27 4,4"
once btn_commondown.png -size 100x28 xc:none -fill "$deep" -stroke '#1d4ea0' \
  -draw "roundrectangle 0,0 99,27 4,4"

# Search type option, 16 x 16: chosen and not chosen.
once Checkbox.png -size 16x16 xc:none -fill "$face" -stroke "$light" -strokewidth 1.2 \
  -draw "circle 7.5,7.5 7.5,1" -stroke none -fill "$accent" -draw "circle 7.5,7.5 7.5,4.5" \
 
once Uncheckbox.png -size 16x16 xc:none -fill "$face" -stroke "$light" -strokewidth 1.2 \
  -draw "circle 7.5,7.5 7.5,1"

# Date and time field, 100 x 24.
once bg_time_noal.png -size 100x24 xc:none -fill '#f7f8fa' -stroke '#8b939e' \
  -draw "roundrectangle 0,0 99,23 3,3"

# Progress bar: filled part and track.
once progress_active.png -size 16x11 xc:"$accent"
once progress_bg.png -size 16x11 xc:'#14171c'

# Time line: strip background, row buttons (21 x 28), day arrows (15 x 30),
# recorded spans, zoom slider background (129 x 21).
once bg_timeline.png -size 64x100 gradient:'#262b33'-'#1b1e24' \
  -fill '#3a404a' -draw "rectangle 0,0 63,0"
row21() { # name polygon
  once "$1" -size 21x28 xc:none -fill "$face" -draw "roundrectangle 0,0 20,27 3,3" \
    -fill "$light" -draw "polygon $2"
}
row21 channel_up.png "5,17 15,17 10,10"
row21 channel_down.png "5,11 15,11 10,18"
day15() { # name arrow-colour polygon
  once "$1" -size 15x30 xc:none -fill "$face" -draw "roundrectangle 0,0 14,29 3,3" \
    -fill "$2" -draw "polygon $3"
}
day15 BackwardDisable.png '#5b636e' "10,9 10,21 4,15"
day15 BackwardEnable.png "$light" "10,9 10,21 4,15"
day15 ForwardDisable.png '#5b636e' "4,9 4,21 10,15"
day15 ForwardEnable.png "$light" "4,9 4,21 10,15"
once videorecord.png -size 16x16 xc:'#22c55e'
once RozeridaRecord.png -size 16x16 xc:'#f59e0b'
once ZoomBg.png -size 129x21 xc:none -fill "$face" -draw "roundrectangle 0,0 128,20 4,4" \
 

# Time line pop-up: frame pieces and body.
once FramePop.png -size 126x88 xc:'#f7f8fa' -fill none -stroke '#8b939e' \
  -draw "rectangle 0,0 125,87"
once bg_timelinepopdlg.png -size 138x100 xc:'#f7f8fa'
