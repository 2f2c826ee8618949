# Skin images of the preview page (sourced by scripts/draw-skin.sh).

# Images other pages may draw too are drawn only when missing.
once() { # name convert-arguments...
  [ -f "$out/$1" ] || { name=$1; shift; convert "$@" "PNG32:$out/$name"; }
}

# Player area and file-list panel backgrounds.
convert -size 64x256 gradient:'#2a3039'-'#1c2026' "PNG32:$out/bg_simpleplayer.png"
once bg_tabbar.png -size 64x256 gradient:'#262b33'-'#20242b'
once bg_timeline.png -size 64x123 gradient:'#2b3038'-'#1f232a'

# Play toggle, 46 x 47: a pause sign while playing, a play triangle while paused.
toggle() { # name fill glyph-draw...
  name=$1; fill=$2; shift 2
  convert -size 46x47 xc:none -fill "$fill" -draw "circle 23,23 23,2" -fill white "$@" "PNG32:$out/$name"
}
toggle btn_parsenor.png '#3b82f6' -draw "rectangle 16,14 20,32" -draw "rectangle 26,14 30,32"
toggle btn_parseover.png '#5b9bff' -draw "rectangle 16,14 20,32" -draw "rectangle 26,14 30,32"
toggle btn_playunchchecknor.png '#3b82f6' -draw "polygon 18,13 18,33 34,23"
toggle btn_playuncheckover.png '#5b9bff' -draw "polygon 18,13 18,33 34,23"

# Previous frame, next frame and Stop, 30 x 30.
button() { # name fill glyph-draw...
  name=$1; fill=$2; shift 2
  convert -size 30x30 xc:none -fill "$fill" -draw "roundrectangle 0,0 29,29 6,6" -fill '#e6e9ee' "$@" \
    "PNG32:$out/$name"
}
button btn_prevnor.png '#2e333c' -draw "rectangle 8,9 10,21" -draw "polygon 21,9 21,21 12,15"
button btn_prevover.png '#3a4250' -draw "rectangle 8,9 10,21" -draw "polygon 21,9 21,21 12,15"
button btn_nextnor.png '#2e333c' -draw "polygon 9,9 9,21 18,15" -draw "rectangle 20,9 22,21"
button btn_nextover.png '#3a4250' -draw "polygon 9,9 9,21 18,15" -draw "rectangle 20,9 22,21"
button btn_stopnor.png "$darkred" -draw "rectangle 9,9 20,20"
button btn_stopover.png "$red" -draw "rectangle 9,9 20,20"

# "Slices:" combo box, 100 x 24 states stacked: normal, hover, pressed,
# disabled, the drop-down list and its selected item.
convert -size 100x144 xc:none \
  -fill '#2e333c' -stroke '#4a515c' -draw "roundrectangle 0,0 99,23 3,3" \
  -fill '#3a4250' -draw "roundrectangle 0,24 99,47 3,3" \
  -fill '#3b82f6' -draw "roundrectangle 0,48 99,71 3,3" \
  -fill '#23272e' -stroke '#3a404a' -draw "roundrectangle 0,72 99,95 3,3" \
  -stroke none -fill '#2e333c' -draw "rectangle 0,96 99,119" \
  -fill '#3b82f6' -draw "rectangle 0,120 99,143" \
  -fill '#d7dce3' -draw "polygon 84,9 94,9 89,15" -draw "polygon 84,33 94,33 89,39" \
  -fill white -draw "polygon 84,57 94,57 89,63" -fill '#5b636e' -draw "polygon 84,81 94,81 89,87" \
  "PNG32:$out/PreviewComboBox.png"

# File-list tree: check box (unchecked, checked) and state dot, scroll bar.
once treeCheckbox.png -size 32x16 xc:none -fill none -stroke '#aab2bd' -draw "rectangle 2,2 13,13" \
  -fill '#3b82f6' -stroke none -draw "rectangle 18,2 29,13" -stroke white -strokewidth 2 \
  -draw "polyline 20,8 23,11 28,4"
once treeStateRadio.png -size 32x16 xc:none -fill none -stroke '#aab2bd' -draw "circle 7.5,7.5 7.5,13" \
  -fill '#00ff00' -stroke none -draw "circle 23.5,7.5 23.5,12"
once scrollbar.png -size 12x64 xc:'#23272e' -fill '#4a515c' -draw "roundrectangle 2,8 9,55 3,3"

# Time line: row buttons, record marks, day arrows and zoom background.
rowbutton() { # name fill polygon
  convert -size 21x28 xc:none -fill "$2" -draw "roundrectangle 0,0 20,27 3,3" -fill '#e6e9ee' \
    -draw "polygon $3" "PNG32:$out/$1"
}
[ -f "$out/channel_up.png" ] || rowbutton channel_up.png '#2e333c' "5,17 15,17 10,10"
[ -f "$out/channel_down.png" ] || rowbutton channel_down.png '#2e333c' "5,11 15,11 10,18"
once videorecord.png -size 8x16 xc:'#3b82f6'
once RozeridaRecord.png -size 8x16 xc:'#e0a030'
dayarrow() { # name fill polygon
  convert -size 15x30 xc:none -fill "$2" -draw "polygon $3" "PNG32:$out/$1"
}
[ -f "$out/BackwardDisable.png" ] || dayarrow BackwardDisable.png '#4a515c' "12,6 12,24 3,15"
[ -f "$out/BackwardEnable.png" ] || dayarrow BackwardEnable.png '#d7dce3' "12,6 12,24 3,15"
[ -f "$out/ForwardDisable.png" ] || dayarrow ForwardDisable.png '#4a515c' "3,6 3,24 12,15"
[ -f "$out/ForwardEnable.png" ] || dayarrow ForwardEnable.png '#d7dce3' "3,6 3,24 12,15"
once ZoomBg.png -size 129x21 xc:none -fill '#23272e' -draw "roundrectangle 0,0 128,20 4,4"

# The time line's hidden pop-up: frame and body.
once FramePop.png -size 126x88 xc:'#f4f5f7' -fill none -stroke '#8b939e' -draw "rectangle 0,0 125,87"
once bg_timelinepopdlg.png -size 64x64 xc:'#f4f5f7'
