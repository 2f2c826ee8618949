# Images of the export page, its small player and its time line that no
# other page draws (sourced by scripts/draw-skin.sh, which sets $out and the
# colours). The player's buttons, the time line's background, rows and
# arrows, the tree parts and the pop-up come from the other pages' scripts.
export_blue='#3b82f6'
export_deep='#2563c9'
export_panel='#2e333c'
export_light='#d7dce3'

# Format combo: six looks of 100 x 23, 24 apart.
set --
for y in 0 24 48 72 96 120; do
  set -- "$@" -fill "$export_panel" -stroke '#4a515c' -draw "roundrectangle 0,$y 99,$((y + 22)) 3,3" \
    -stroke none -fill "$export_light" -draw "polygon 84,$((y + 9)) 92,$((y + 9)) 88,$((y + 14))"
done
convert -size 100x144 xc:none "$@" "PNG32:$out/ComboBox.png"
set --

# The date pickers, which only the cut marks set.
convert -size 100x24 xc:none -fill '#262a31' -stroke '#3a404a' -draw "roundrectangle 0,0 99,23 3,3" \
  "PNG32:$out/bg_date_disable.png"

# Ends of the export progress bar.
convert -size 6x11 xc:none -fill '#1d2128' -draw "rectangle 0,0 1,10" "PNG32:$out/progress_maskleft.png"
convert -size 6x11 xc:none -fill '#1d2128' -draw "rectangle 4,0 5,10" "PNG32:$out/progress_maskright.png"

# Time line: play cursor and its time, the two cut marks, row radios, header.
convert -size 9x70 xc:none -fill "$red" -draw "rectangle 4,0 4,69" -draw "polygon 0,0 8,0 4,6" "PNG32:$out/bg_curtime.png"
convert -size 60x16 xc:none -fill "$red" -draw "roundrectangle 0,0 59,15 3,3" "PNG32:$out/bg_curtime_text.png"
convert -size 9x70 xc:none -fill '#f5b942' -draw "rectangle 0,0 1,69" -draw "polygon 0,0 8,0 0,8" \
  -draw "polygon 0,69 8,69 0,61" "PNG32:$out/VedioCutLeft.png"
convert -size 9x70 xc:none -fill '#f5b942' -draw "rectangle 7,0 8,69" -draw "polygon 8,0 0,0 8,8" \
  -draw "polygon 8,69 0,69 8,61" "PNG32:$out/VedioCutRight.png"
convert -size 14x14 xc:none -fill none -stroke "$export_light" -draw "circle 7,7 7,2" "PNG32:$out/radio_uncheck_normal.png"
convert -size 14x14 xc:none -fill none -stroke "$export_light" -draw "circle 7,7 7,2" -fill "$export_blue" -stroke none \
  -draw "circle 7,7 7,4" "PNG32:$out/radio_check_normal.png"
convert -size 138x60 xc:'#23272e' -fill '#3a404a' -draw "rectangle 0,59 137,59" "PNG32:$out/timeline_header.png"

# Zoom and viewport bars of the time line: ends, middle and handle.
export_piece() { # name size fill
  convert -size "$2" xc:"$3" "PNG32:$out/$1"
}
export_piece zoom_in_out_left.png 4x6 '#4a515c'
export_piece zoom_in_out_center.png 8x6 '#3a404a'
export_piece zoom_in_out_right.png 4x6 '#4a515c'
export_piece viewport_left.png 4x8 '#4a515c'
export_piece viewport_center.png 8x8 '#3a404a'
export_piece viewport_right.png 4x8 '#4a515c'
convert -size 12x16 xc:none -fill "$export_light" -draw "roundrectangle 0,0 11,15 3,3" "PNG32:$out/zoom_in_out_slip.png"
convert -size 12x12 xc:none -fill "$export_deep" -draw "roundrectangle 0,0 11,11 3,3" "PNG32:$out/viewport_slip.png"
