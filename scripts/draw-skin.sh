#!/bin/sh
# Draws the flat skin images of resources/Skin with ImageMagick.
# Run from the repository root: scripts/draw-skin.sh
set -eu
out=resources/Skin
mkdir -p "$out"

chrome='#eef0f3'   # title bar
line='#c5cad3'     # title bar rule
border='#8b939e'   # outer border
body='#1f232a'     # window body
glyph='#5b636e'
red='#e5484d'
darkred='#b8343a'
hover='#dde1e7'
pressed='#c9ced6'

# Frame.png, 148 x 140: corners 10 wide, edges 1 wide, title 27 high,
# bottom 10 high; title-bar button looks (23 x 14) at y 41 (close),
# 60 (maximize) and 79 (minimize), x 11 normal, 41 hover, 71 pressed.
convert -size 148x140 "xc:$body" \
  -fill "$chrome" -draw "rectangle 0,0 147,26" \
  -fill "$line" -draw "rectangle 0,26 147,26" \
  -fill "$border" -draw "rectangle 0,0 147,0" -draw "rectangle 0,0 0,139" \
  -draw "rectangle 147,0 147,139" -draw "rectangle 0,139 147,139" \
  -fill "$chrome" -draw "rectangle 11,41 33,54" \
  -fill none -stroke "$glyph" -strokewidth 1.4 \
  -draw "line 18,44 27,52" -draw "line 27,44 18,52" \
  -stroke none -fill "$red" -draw "roundrectangle 41,41 63,54 3,3" \
  -stroke white -strokewidth 1.4 -draw "line 48,44 57,52" -draw "line 57,44 48,52" \
  -stroke none -fill "$darkred" -draw "roundrectangle 71,41 93,54 3,3" \
  -stroke white -strokewidth 1.4 -draw "line 78,44 87,52" -draw "line 87,44 78,52" \
  -stroke none -fill "$chrome" -draw "rectangle 11,60 33,73" \
  -fill "$hover" -draw "roundrectangle 41,60 63,73 3,3" \
  -fill "$pressed" -draw "roundrectangle 71,60 93,73 3,3" \
  -fill none -stroke "$glyph" -strokewidth 1.2 \
  -draw "rectangle 18,63 27,71" -draw "rectangle 48,63 57,71" -draw "rectangle 78,63 87,71" \
  -stroke none -fill "$chrome" -draw "rectangle 11,79 33,92" \
  -fill "$hover" -draw "roundrectangle 41,79 63,92 3,3" \
  -fill "$pressed" -draw "roundrectangle 71,79 93,92 3,3" \
  -fill "$glyph" -draw "rectangle 18,86 27,87" -draw "rectangle 48,86 57,87" -draw "rectangle 78,86 87,87" \
  "PNG32:$out/Frame.png"

# Window body: a quiet vertical gradient.
convert -size 64x256 gradient:'#262b33'-'#181b20' "PNG32:$out/bg_monitor.png"

# Prompt button, normal and pressed.
convert -size 80x26 xc:none -fill '#3b82f6' -draw "roundrectangle 0,0 79,25 4,4" "PNG32:$out/btn_commongnor_short.png"
convert -size 80x26 xc:none -fill '#2563c9' -draw "roundrectangle 0,0 79,25 4,4" "PNG32:$out/btn_commondown_short.png"

# One-window layout button, checked and unchecked.
convert -size 24x24 xc:none -fill '#3b82f6' -draw "roundrectangle 0,0 23,23 3,3" \
  -fill none -stroke white -strokewidth 1.5 -draw "rectangle 6,6 17,17" "PNG32:$out/btn_win1check.png"
convert -size 24x24 xc:none -fill '#2e333c' -draw "roundrectangle 0,0 23,23 3,3" \
  -fill none -stroke '#aab2bd' -strokewidth 1.5 -draw "rectangle 6,6 17,17" "PNG32:$out/btn_win1uncheck.png"

# Empty video cell.
convert -size 320x240 xc:'#14171c' -fill none -stroke '#3a404a' -strokewidth 3 \
  -draw "roundrectangle 130,90 190,150 8,8" -fill '#3a404a' -stroke none \
  -draw "polygon 152,105 152,135 175,120" "PNG32:$out/NoVideo.png"

# Cell buttons, 16 x 16: close, snapshot, properties, record.
cell() { # name background draw...
  name=$1; bg=$2; shift 2
  convert -size 16x16 xc:none -fill "$bg" -draw "roundrectangle 0,0 15,15 3,3" "$@" "PNG32:$out/$name"
}
cell btn_videoclose.png '#2e333c' -stroke '#d7dce3' -strokewidth 1.4 -draw "line 4,4 11,11" -draw "line 11,4 4,11"
cell btn_videoclosedown.png "$red" -stroke white -strokewidth 1.4 -draw "line 4,4 11,11" -draw "line 11,4 4,11"
cell btn_videosnap.png '#2e333c' -fill none -stroke '#d7dce3' -draw "rectangle 3,5 12,12" -draw "circle 7.5,8.5 7.5,10.5"
cell btn_videosnapdown.png '#3b82f6' -fill none -stroke white -draw "rectangle 3,5 12,12" -draw "circle 7.5,8.5 7.5,10.5"
cell btn_propertynor.png '#2e333c' -fill '#d7dce3' -draw "rectangle 7,7 8,12" -draw "rectangle 7,4 8,5"
cell btn_propertydown.png '#3b82f6' -fill white -draw "rectangle 7,7 8,12" -draw "rectangle 7,4 8,5"
cell btn_videorecord.png '#2e333c' -fill '#d7dce3' -draw "circle 7.5,7.5 7.5,11"
cell btn_videorecordcheck.png '#2e333c' -fill "$red" -draw "circle 7.5,7.5 7.5,11"

# Number spinner: box 80 x 24, buttons 21 x 12 (normal, pressed, disabled).
convert -size 80x24 xc:none -fill '#2e333c' -stroke '#4a515c' -draw "roundrectangle 0,0 79,23 3,3" \
  "PNG32:$out/spiner_time_normal.png"
arrow() { # name background arrow-colour polygon
  convert -size 21x12 xc:none -fill "$2" -draw "rectangle 0,0 20,11" -fill "$3" -draw "polygon $4" "PNG32:$out/$1"
}
arrow up_button_normal.png '#3a404a' '#d7dce3' "6,8 14,8 10,3"
arrow up_button_press.png '#3b82f6' white "6,8 14,8 10,3"
arrow up_button_disable.png '#2a2e35' '#5b636e' "6,8 14,8 10,3"
arrow down_button_normal.png '#3a404a' '#d7dce3' "6,3 14,3 10,8"
arrow down_button_press.png '#3b82f6' white "6,3 14,3 10,8"
arrow down_button_disable.png '#2a2e35' '#5b636e' "6,3 14,3 10,8"

# Row buttons of lists, 16 x 16: settings (a gear-like ring) and web login.
cell icon_set.png '#2e333c' -fill none -stroke '#d7dce3' -strokewidth 2 -draw "circle 7.5,7.5 7.5,11" \
  -draw "point 7,1" -draw "point 7,14" -draw "point 1,7" -draw "point 14,7"
cell icon_weblogin.png '#2e333c' -fill none -stroke '#d7dce3' -strokewidth 1.2 -draw "circle 7.5,7.5 7.5,13" \
  -draw "line 2,7.5 13,7.5" -draw "ellipse 7.5,7.5 2.5,5.5 0,360"

# Pointer over sliders, 24 x 24, hot spot (13, 7): a pointing hand.
convert -size 24x24 xc:none -fill white -stroke '#1f232a' -strokewidth 1 \
  -draw "roundrectangle 11,2 15,14 2,2" -draw "roundrectangle 7,11 21,22 3,3" "PNG32:$out/hand_pointing.png"

# Each page draws its own images in scripts/skin/<page>.sh, with the helpers
# and colours above.
for part in scripts/skin/*.sh; do
  [ -f "$part" ] && . "$part"
done
