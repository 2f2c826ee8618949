# File-list panel of the main page (sourced by scripts/draw-skin.sh).

# The panel's background "bg_tabbar.png" is the tab bar's (scripts/skin/shell.sh).

# Tree icons, 16 x 16: recorder, day, main and extra stream.
cell group.png '#2e333c' -fill none -stroke '#d7dce3' -strokewidth 1.2 \
  -draw "roundrectangle 2,5 13,12 1,1" -draw "line 5,3 10,3" -fill '#3b82f6' -stroke none -draw "circle 11,8.5 11,10"
cell date.png '#2e333c' -fill '#f2f4f7' -draw "rectangle 3,4 12,13" -fill "$red" -draw "rectangle 3,4 12,6" \
  -fill '#5b636e' -draw "rectangle 5,8 6,9" -draw "rectangle 9,8 10,9" -draw "rectangle 5,11 6,12"
cell main.png '#2563c9' -fill none -stroke white -strokewidth 1.2 -draw "rectangle 3,5 10,11" \
  -fill white -stroke none -draw "polygon 10,8 13,5 13,11"
cell extra.png '#7c4dcc' -fill none -stroke white -strokewidth 1.2 -draw "rectangle 4,6 9,10" \
  -fill white -stroke none -draw "polygon 9,8 12,6 12,10" -draw "rectangle 2,2 5,3"

# Single files by type: a page with a coloured band.
filetype() { # name band-colour
  convert -size 16x16 xc:none -fill '#e9ecf1' -draw "polygon 3,1 10,1 13,4 13,14 3,14" \
    -fill '#b8bec8' -draw "polygon 10,1 10,4 13,4" -fill "$2" -draw "rectangle 3,8 13,12" "PNG32:$out/$1"
}
filetype kvx.png '#3b82f6'
filetype avi.png '#e5484d'
filetype mp4.png '#30a46c'
filetype ps.png '#f5a524'
filetype ts.png '#8e4ec6'

# Fold and unfold buttons on the panel's right edge, 15 x 100.
fold() { # name arrow-polygon
  convert -size 15x100 xc:none -fill '#2e333c' -draw "roundrectangle 0,0 14,99 4,4" \
    -fill '#d7dce3' -draw "polygon $2" "PNG32:$out/$1"
}
fold btn_listContract.png "10,42 10,58 4,50"
fold btn_listExpend.png "4,42 4,58 10,50"
