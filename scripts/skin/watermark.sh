# Images of the watermark page and its detail dialog (sourced by
# scripts/draw-skin.sh, whose helpers and colours it uses). Images that
# other pages name as well are drawn only when missing.
wm_once() { # name: true when the image is still to be drawn
  [ ! -f "$out/$1" ]
}

# Common text buttons, 100 x 28: normal, pressed, disabled.
wm_button() { # name top bottom border
  convert -size 100x28 gradient:"$2"-"$3" \( +clone -alpha extract -fill black -draw "rectangle 0,0 99,27" \
    -fill white -draw "roundrectangle 0,0 99,27 4,4" \) -alpha off -compose CopyOpacity -composite \
    -fill none -stroke "$4" -draw "roundrectangle 0,0 99,27 4,4" "PNG32:$out/$1"
}
wm_once btn_commongnor.png && wm_button btn_commongnor.png '#4b90f7' '#2f6fd6' '#1f4f9e'
wm_once btn_commondown.png && wm_button btn_commondown.png '#245bb3' '#2f6fd6' '#173f80'
wm_once btn_commondisable.png && wm_button btn_commondisable.png '#4a505a' '#3a3f47' '#30343b'

# Tree check boxes, 14 x 14 each: unchecked, checked, partly checked.
wm_once treeCheckbox.png && convert -size 42x14 xc:none -fill '#f4f6f9' -stroke '#8b939e' \
  -draw "rectangle 0,0 13,13" -draw "rectangle 14,0 27,13" -draw "rectangle 28,0 41,13" \
  -stroke '#2f6fd6' -strokewidth 2 -fill none -draw "polyline 17,7 20,10 25,3" \
  -stroke none -fill '#2f6fd6' -draw "rectangle 31,5 38,8" "PNG32:$out/treeCheckbox.png"

# Tree expand states, 14 x 14 each: collapsed, expanded.
wm_once treeState.png && convert -size 28x14 xc:none -fill '#d7dce3' \
  -draw "polygon 4,2 4,11 10,6.5" -draw "polygon 16,4 25,4 20.5,10" "PNG32:$out/treeState.png"

# Scroll bar pieces, 14 wide: track, thumb, and the two arrows.
wm_once scrollbar.png && convert -size 14x56 xc:'#2a2e35' -fill '#5b636e' -draw "roundrectangle 2,16 11,39 3,3" \
  -fill '#d7dce3' -draw "polygon 3,9 11,9 7,3" -draw "polygon 3,47 11,47 7,53" "PNG32:$out/scrollbar.png"

# Result list, 47 x 47: header pieces on top, the horizontal scroll bar
# at y 34, the vertical one at x 34, and their corner.
wm_once ListCtrlnew.png && convert -size 47x47 xc:'#5c6576' \
  -fill '#656e81' -draw "rectangle 0,0 33,26" -fill '#8b939e' -draw "rectangle 1,0 1,26" \
  -fill '#2a2e35' -draw "rectangle 0,34 33,46" -draw "rectangle 34,0 46,33" \
  -fill '#5b636e' -draw "roundrectangle 15,36 19,44 2,2" -draw "roundrectangle 36,15 44,19 2,2" \
  -fill '#d7dce3' -draw "polygon 4,40 9,36 9,44" -draw "polygon 30,40 25,36 25,44" \
  -draw "polygon 40,3 36,9 44,9" -draw "polygon 40,31 36,25 44,25" \
  -fill '#3a404a' -draw "rectangle 34,34 46,46" "PNG32:$out/ListCtrlnew.png"

# Strip along the bottom of pages, tiled.
wm_once bg_timeline.png && convert -size 64x100 gradient:'#2b3038'-'#1c1f24' \
  -fill '#3a404a' -draw "rectangle 0,0 63,0" "PNG32:$out/bg_timeline.png"
