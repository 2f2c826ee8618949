# Images of the main window shell: frame, tool bar, tab bar, pop-ups,
# settings page and the program icon. Sourced by scripts/draw-skin.sh.

accent='#3b82f6'
ink='#d7dce3'
dim='#6b7380'

# Main frame: as Frame.png, with an 8-pixel top edge (the tool bar is the title).
convert -size 148x140 "xc:$body" \
  -fill '#2a2f37' -draw "rectangle 0,0 147,7" \
  -fill "$border" -draw "rectangle 0,0 147,0" -draw "rectangle 0,0 0,139" \
  -draw "rectangle 147,0 147,139" -draw "rectangle 0,139 147,139" "PNG32:$out/FrameMain.png"

# Bars and their backgrounds.
convert -size 64x62 gradient:'#3a414c'-'#262b33' "PNG32:$out/bg_toolbar.png"
# Tab bar, also the file-list panel's background.
convert -size 64x256 gradient:'#2a3038'-'#1c2026' "PNG32:$out/bg_tabbar.png"
convert -size 226x25 xc:none -fill '#343b46' -draw "roundrectangle 0,0 225,24 4,4" "PNG32:$out/bg_filelisttitle.png"
convert -size 400x24 xc:'#eef0f3' -fill none -stroke '#8b939e' -draw "rectangle 0,0 399,23" "PNG32:$out/bg_edit.png"

# Program icon and logos.
convert -size 64x64 xc:none -fill "$accent" -draw "roundrectangle 2,2 61,61 12,12" \
  -fill white -draw "polygon 24,17 24,47 48,32" "PNG32:$out/Lumivex.png"
for lang in 0 1; do
  convert -size 168x46 xc:none -fill "$accent" -draw "roundrectangle 0,7 31,38 7,7" \
    -fill white -draw "polygon 11,14 11,31 25,22.5" \
    -fill white -font DejaVu-Sans-Bold -pointsize 20 -draw "text 40,31 'Lumivex'" "PNG32:$out/logo_$lang.png"
done
convert -size 83x33 xc:none -fill "$dim" -font DejaVu-Sans -pointsize 13 -draw "text 8,21 'Player'" \
  "PNG32:$out/logoRight.png"
convert -size 360x80 gradient:'#2563c9'-'#1f232a' -fill white -draw "polygon 30,22 30,58 60,40" \
  -font DejaVu-Sans-Bold -pointsize 24 -draw "text 78,50 'Lumivex Player'" "PNG32:$out/AboutPic.png"

# Page buttons of the tool bar, 49 x 62: normal, hover, pressed, disabled.
pagebtn() { # stem draw...
  stem=$1; shift
  for state in nor over down dis; do
    case $state in
      nor) bg=none; fg="$ink" ;;
      over) bg='#454d59'; fg=white ;;
      down) bg="$accent"; fg=white ;;
      dis) bg=none; fg='#4a515c' ;;
    esac
    convert -size 49x62 xc:none -fill "$bg" -draw "roundrectangle 2,4 46,57 5,5" \
      -fill none -stroke "$fg" -strokewidth 2.5 "$@" "PNG32:$out/${stem}${state}.png"
  done
}
pagebtn btn_addfile -draw "rectangle 12,22 36,42" -draw "line 12,22 20,17" -draw "line 20,17 26,22" \
  -draw "line 24,32 32,32" -draw "line 28,28 28,36"
pagebtn btn_search -draw "circle 22,27 22,36" -draw "line 28,34 36,43"
pagebtn btn_preview -draw "rectangle 10,20 38,42" -draw "line 19,20 19,42" -draw "line 29,20 29,42"
pagebtn btn_ouput -draw "rectangle 11,24 31,42" -draw "line 22,32 39,18" -draw "line 31,17 39,18" \
  -draw "line 39,18 38,26"
pagebtn btn_fullscreen -draw "polyline 11,26 11,19 18,19" -draw "polyline 31,19 38,19 38,26" \
  -draw "polyline 38,36 38,43 31,43" -draw "polyline 18,43 11,43 11,36"
pagebtn btn_watermark -draw "polygon 24,16 36,22 34,38 24,45 14,38 12,22" -draw "polyline 19,31 23,35 30,26"
pagebtn btn_config -draw "circle 24,31 24,36" -draw "line 24,17 24,21" -draw "line 24,41 24,45" \
  -draw "line 10,31 14,31" -draw "line 34,31 38,31" -draw "line 14,21 17,24" -draw "line 31,38 34,41" \
  -draw "line 34,21 31,24" -draw "line 17,38 14,41"
pagebtn btn_frameselect -draw "rectangle 11,19 37,43" -draw "line 24,25 24,37" -draw "line 18,31 30,31"
pagebtn btn_drag -draw "line 24,17 24,45" -draw "line 10,31 38,31" -draw "polyline 20,21 24,17 28,21" \
  -draw "polyline 20,41 24,45 28,41" -draw "polyline 14,27 10,31 14,35" -draw "polyline 34,27 38,31 34,35"
pagebtn btn_select -draw "rectangle 10,20 22,30" -draw "rectangle 26,32 38,42" -draw "polyline 26,25 33,25 33,29" \
  -draw "polyline 22,37 15,37 15,33"
convert -size 2x55 xc:'#1b1f25' -fill '#4a515c' -draw "line 1,0 1,54" "PNG32:$out/btn_seperater.png"

# Window buttons, 13 x 13.
winbtn() { # name draw...
  name=$1; shift
  convert -size 13x13 xc:none -fill none -stroke "$ink" -strokewidth 1.5 "$@" "PNG32:$out/$name"
}
winbtn btn_close.png -draw "line 2,2 10,10" -draw "line 10,2 2,10"
winbtn btn_minimize.png -draw "line 2,10 10,10"
winbtn btn_maximize.png -draw "rectangle 2,2 10,10"
winbtn btn_restore.png -draw "rectangle 2,4 8,10" -draw "polyline 4,4 4,2 10,2 10,8 8,8"
winbtn btn_lock.png -draw "circle 6,6 6,0.5" -stroke none -fill "$ink" -draw "rectangle 5.5,5 6.5,9" \
  -draw "point 6,3"

# Page tabs, 101 x 25; closable tabs carry a close mark at 85..96, 3..14.
tab() { # name fill text-colour closable
  mark=""
  [ "$4" = 1 ] && mark="-stroke '$3' -strokewidth 1.5 -draw \"line 87,5 94,12\" -draw \"line 94,5 87,12\""
  eval convert -size 101x25 xc:none -fill "'$2'" -draw "'roundrectangle 0,0 100,30 6,6'" $mark "PNG32:$out/$1"
}
tab btn_tabSelect.png '#eef0f3' '#5b636e' 0
tab btn_tabSelectUncheck.png '#9aa3ae' '#4a515c' 0
tab btn_tabUnselectcheck.png '#eef0f3' '#5b636e' 1
tab btn_tabUnselect.png '#9aa3ae' '#3a404a' 1

# File-list header: select-all box and delete, 20 x 20.
box20() { # name fill draw...
  name=$1; fill=$2; shift 2
  convert -size 20x20 xc:none -fill "$fill" -stroke "$ink" -strokewidth 1.2 -draw "roundrectangle 3,3 16,16 2,2" \
    -fill none "$@" "PNG32:$out/$name"
}
box20 btn_selAllchecknor.png "$accent" -stroke white -strokewidth 2 -draw "polyline 6,10 9,13 14,6"
box20 btn_selAllcheckdown.png '#2563c9' -stroke white -strokewidth 2 -draw "polyline 6,10 9,13 14,6"
box20 btn_selAllunchecknor.png '#2e333c'
box20 btn_selAlluncheckdown.png '#454d59'
for state in nor down; do
  colour=$ink; [ $state = down ] && colour=$red
  convert -size 20x20 xc:none -fill none -stroke "$colour" -strokewidth 1.5 -draw "line 4,5 15,5" \
    -draw "rectangle 8,2 11,5" -draw "polyline 5,6 6,17 13,17 14,6" -draw "line 9,8 9,15" -draw "line 11,8 11,15" \
    "PNG32:$out/btn_del$state.png"
done

# Notification pop-up: pin (stay on top), unpin, clear, 20 x 20; list rows.
cell20() { # name background draw...
  name=$1; bg=$2; shift 2
  convert -size 20x20 xc:none -fill "$bg" -draw "roundrectangle 0,0 19,19 3,3" -fill none -stroke "$ink" \
    -strokewidth 1.5 "$@" "PNG32:$out/$name"
}
pin='-draw "line 10,11 10,17" -draw "rectangle 6,3 14,6" -draw "line 5,11 15,11" -draw "line 8,6 7,11" -draw "line 12,6 13,11"'
eval cell20 btn_settop_normal.png "'#2e333c'" "$pin"
eval cell20 btn_settop_over.png "'$accent'" "$pin"
eval cell20 btn_setHide_normal.png "'#2e333c'" "$pin" -draw "'line 3,17 17,3'"
eval cell20 btn_setHide_down.png "'$accent'" "$pin" -draw "'line 3,17 17,3'"
cell20 btn_clear_normal.png '#2e333c' -draw "line 5,5 15,15" -draw "line 15,5 5,15"
cell20 btn_clear_over.png "$red" -draw "line 5,5 15,15" -draw "line 15,5 5,15"
convert -size 48x48 xc:'#1b1f25' -fill '#2e333c' -draw "rectangle 0,0 47,26" -fill '#3b4350' \
  -draw "rectangle 34,0 47,47" -draw "rectangle 0,34 47,47" "PNG32:$out/ListCtrlnew.png"

# Settings page: combo box looks (six states, 23 high at y 0, 24, ... 120) and check boxes.
args=""
for y in 0 24 48 72 96 120; do
  args="$args -fill '#eef0f3' -stroke '#8b939e' -draw 'rectangle 0,$y 99,$((y + 22))' -fill '#3a404a' -stroke none -draw 'polygon 84,$((y + 9)) 94,$((y + 9)) 89,$((y + 15))'"
done
eval convert -size 100x143 xc:none $args "PNG32:$out/ComboBox.png"
convert -size 16x16 xc:none -fill "$accent" -draw "roundrectangle 1,1 14,14 2,2" -fill none -stroke white \
  -strokewidth 2 -draw "polyline 4,8 7,11 12,5" "PNG32:$out/Checkbox.png"
convert -size 16x16 xc:none -fill '#2e333c' -stroke "$ink" -draw "roundrectangle 1,1 14,14 2,2" \
  "PNG32:$out/Uncheckbox.png"
