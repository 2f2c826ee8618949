# Images of the export page, its small player and its time line (sourced by
# scripts/draw-skin.sh, which sets $out and the colours).
blue='#3b82f6'
deep='#2563c9'
panel='#2e333c'
light='#d7dce3'

# Page: tree parts, format combo, date and time pickers.
convert -size 12x64 xc:'#22262d' -fill '#4a515c' -draw "roundrectangle 2,4 9,59 3,3" "PNG32:$out/scrollbar.png"
convert -size 42x14 xc:none -fill none -stroke "$light" -draw "rectangle 1,1 12,12" \
  -draw "rectangle 15,1 26,12" -stroke "$blue" -strokewidth 2 -draw "line 17,7 20,10" -draw "line 20,10 25,3" \
  -stroke "$light" -strokewidth 1 -draw "rectangle 29,1 40,12" -fill "$light" -draw "rectangle 32,5 37,8" \
  "PNG32:$out/treeCheckbox.png"
convert -size 28x14 xc:none -fill "$light" -draw "polygon 4,3 4,11 10,7" -draw "polygon 17,4 25,4 21,10" \
  "PNG32:$out/treeState.png"
set --
for y in 0 24 48 72 96 120; do
  set -- "$@" -fill "$panel" -stroke '#4a515c' -draw "roundrectangle 0,$y 99,$((y + 22)) 3,3" \
    -stroke none -fill "$light" -draw "polygon 84,$((y + 9)) 92,$((y + 9)) 88,$((y + 14))"
done
convert -size 100x144 xc:none "$@" "PNG32:$out/ComboBox.png"
picker() { # name fill-of-the-four-cells
  convert -size 100x96 xc:none \
    -fill "$2" -stroke '#4a515c' -draw "roundrectangle 0,0 99,23 3,3" -draw "roundrectangle 0,24 99,47 3,3" \
    -fill "$deep" -draw "roundrectangle 0,48 99,71 3,3" -fill '#23272e' -draw "roundrectangle 0,72 99,95 3,3" \
    -stroke none -fill "$light" -draw "polygon 85,5 95,5 90,10" -draw "polygon 85,19 95,19 90,14" \
    "PNG32:$out/$1"
}
picker bg_time_noal.png "$panel"
convert -size 100x24 xc:none -fill '#262a31' -stroke '#3a404a' -draw "roundrectangle 0,0 99,23 3,3" \
  "PNG32:$out/bg_date_disable.png"

# Small player: background, play/pause, frame steps, speed, export row.
convert -size 64x256 gradient:'#1d2128'-'#13161a' "PNG32:$out/bg_simpleplayer.png"
round() { # name size fill draw...
  name=$1; size=$2; fill=$3; shift 3
  convert -size "$size" xc:none -fill "$fill" -draw "circle $(( ${size%x*} / 2 )),$(( ${size#*x} / 2 )) $(( ${size%x*} / 2 )),1" \
    "$@" "PNG32:$out/$name"
}
round btn_parsenor.png 46x47 "$panel" -fill "$light" -draw "rectangle 16,14 20,32" -draw "rectangle 26,14 30,32"
round btn_parseover.png 46x47 "$blue" -fill white -draw "rectangle 16,14 20,32" -draw "rectangle 26,14 30,32"
round btn_playunchchecknor.png 46x47 "$panel" -fill "$light" -draw "polygon 18,13 18,33 33,23"
round btn_playuncheckover.png 46x47 "$blue" -fill white -draw "polygon 18,13 18,33 33,23"
round btn_prevnor.png 30x30 "$panel" -fill "$light" -draw "rectangle 9,9 11,20" -draw "polygon 21,9 21,20 13,15"
round btn_prevover.png 30x30 "$blue" -fill white -draw "rectangle 9,9 11,20" -draw "polygon 21,9 21,20 13,15"
round btn_nextnor.png 30x30 "$panel" -fill "$light" -draw "rectangle 18,9 20,20" -draw "polygon 8,9 8,20 16,15"
round btn_nextover.png 30x30 "$blue" -fill white -draw "rectangle 18,9 20,20" -draw "polygon 8,9 8,20 16,15"
convert -size 320x20 xc:none -fill '#3a404a' -draw "roundrectangle 0,8 119,11 2,2" \
  -fill "$blue" -draw "roundrectangle 120,8 239,11 2,2" \
  -fill "$light" -draw "circle 250,10 250,3" -fill white -draw "circle 270,10 270,3" \
  -fill "$blue" -draw "circle 290,10 290,3" -fill '#5b636e' -draw "circle 310,10 310,3" \
  "PNG32:$out/slider_speedoutput.png"
convert -size 100x30 xc:none -fill "$blue" -draw "roundrectangle 0,0 99,29 5,5" "PNG32:$out/btn_commongnor.png"
convert -size 100x30 xc:none -fill "$deep" -draw "roundrectangle 0,0 99,29 5,5" "PNG32:$out/btn_commondown.png"
convert -size 100x11 xc:none -fill '#46d17a' -draw "roundrectangle 0,0 99,10 5,5" "PNG32:$out/progress_active.png"
convert -size 100x11 xc:none -fill '#3a404a' -draw "roundrectangle 0,0 99,10 5,5" "PNG32:$out/progress_bg.png"
convert -size 6x11 xc:none -fill '#1d2128' -draw "rectangle 0,0 1,10" "PNG32:$out/progress_maskleft.png"
convert -size 6x11 xc:none -fill '#1d2128' -draw "rectangle 4,0 5,10" "PNG32:$out/progress_maskright.png"

# Time line: background, cursor, cut marks, rows, zoom and scrolling parts.
convert -size 64x150 gradient:'#2a2f37'-'#1b1e23' "PNG32:$out/bg_timeline.png"
convert -size 9x70 xc:none -fill "$red" -draw "rectangle 4,0 4,69" -draw "polygon 0,0 8,0 4,6" "PNG32:$out/bg_curtime.png"
convert -size 60x16 xc:none -fill "$red" -draw "roundrectangle 0,0 59,15 3,3" "PNG32:$out/bg_curtime_text.png"
convert -size 9x70 xc:none -fill '#f5b942' -draw "rectangle 0,0 1,69" -draw "polygon 0,0 8,0 0,8" \
  -draw "polygon 0,69 8,69 0,61" "PNG32:$out/VedioCutLeft.png"
convert -size 9x70 xc:none -fill '#f5b942' -draw "rectangle 7,0 8,69" -draw "polygon 8,0 0,0 8,8" \
  -draw "polygon 8,69 0,69 8,61" "PNG32:$out/VedioCutRight.png"
convert -size 14x14 xc:none -fill none -stroke "$light" -draw "circle 7,7 7,2" "PNG32:$out/radio_uncheck_normal.png"
convert -size 14x14 xc:none -fill none -stroke "$light" -draw "circle 7,7 7,2" -fill "$blue" -stroke none \
  -draw "circle 7,7 7,4" "PNG32:$out/radio_check_normal.png"
convert -size 21x28 xc:none -fill "$panel" -draw "roundrectangle 0,0 20,27 3,3" -fill "$light" \
  -draw "polygon 5,17 15,17 10,10" "PNG32:$out/channel_up.png"
convert -size 21x28 xc:none -fill "$panel" -draw "roundrectangle 0,0 20,27 3,3" -fill "$light" \
  -draw "polygon 5,11 15,11 10,18" "PNG32:$out/channel_down.png"
convert -size 138x60 xc:'#23272e' -fill '#3a404a' -draw "rectangle 0,59 137,59" "PNG32:$out/timeline_header.png"
piece() { # name size fill
  convert -size "$2" xc:"$3" "PNG32:$out/$1"
}
piece zoom_in_out_left.png 4x6 '#4a515c'
piece zoom_in_out_center.png 8x6 '#3a404a'
piece zoom_in_out_right.png 4x6 '#4a515c'
piece viewport_left.png 4x8 '#4a515c'
piece viewport_center.png 8x8 '#3a404a'
piece viewport_right.png 4x8 '#4a515c'
convert -size 12x16 xc:none -fill "$light" -draw "roundrectangle 0,0 11,15 3,3" "PNG32:$out/zoom_in_out_slip.png"
convert -size 12x12 xc:none -fill "$blue" -draw "roundrectangle 0,0 11,11 3,3" "PNG32:$out/viewport_slip.png"
piece videorecord.png 8x12 '#46d17a'
piece RozeridaRecord.png 8x12 '#f5b942'
side() { # name fill polygon
  convert -size 15x30 xc:none -fill "$panel" -draw "roundrectangle 0,0 14,29 3,3" -fill "$2" -draw "polygon $3" \
    "PNG32:$out/$1"
}
side BackwardEnable.png "$light" "10,8 10,22 4,15"
side BackwardDisable.png '#5b636e' "10,8 10,22 4,15"
side ForwardEnable.png "$light" "4,8 4,22 10,15"
side ForwardDisable.png '#5b636e' "4,8 4,22 10,15"
convert -size 129x21 xc:none -fill '#23272e' -draw "roundrectangle 0,0 128,20 4,4" -fill "$light" \
  -draw "rectangle 4,9 10,11" -draw "rectangle 118,9 124,11" -draw "rectangle 120,7 122,13" "PNG32:$out/ZoomBg.png"

# The time line's pop-up.
convert -size 126x88 xc:'#f4f5f7' -fill none -stroke '#8b939e' -draw "rectangle 0,0 125,87" "PNG32:$out/FramePop.png"
convert -size 138x100 xc:'#f4f5f7' "PNG32:$out/bg_timelinepopdlg.png"
