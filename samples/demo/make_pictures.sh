#!/bin/bash
# Draws every picture of the demo base: the skin (main.jpg, good.gif, bad.gif)
# and the question pictures. Run from anywhere; the outputs are committed so
# that a build needs no ImageMagick.
set -eu

cd "$(dirname "$0")"
mkdir -p Skin

FONT=Liberation-Sans
BOLD=Liberation-Sans-Bold

# A yellow warning triangle with a black lightning bolt, drawn around (x, y)
# as its top-left corner at the given size (the triangle is size x size).
triangle() {
    local x=$1 y=$2 s=$3
    p() { echo "$((x + $1 * s / 20)),$((y + $2 * s / 20))"; }
    echo "stroke black stroke-width $((s / 16 + 1)) fill '#ffd21f'" \
        "polygon $(p 10 0) $(p 20 17) $(p 0 17)" \
        "stroke none fill black" \
        "polygon $(p 11 5) $(p 7 11) $(p 10 11) $(p 8 16) $(p 13 9) $(p 10 9)"
}

jpeg() {
    local out=$1
    shift
    convert "$@" -strip -quality 88 "$out"
}

# Skin/main.jpg: the picture of the base on the base list and the main menu.
jpeg Skin/main.jpg -size 457x209 gradient:'#1d3c6e-#4f86c6' \
    -draw "$(triangle 18 40 136)" \
    -stroke '#ffd21f' -strokewidth 3 -draw "line 168,112 440,112" \
    -stroke none -fill white -font $BOLD -pointsize 24 \
    -draw "text 168,72 'Электробезопасность'" \
    -pointsize 22 -draw "text 168,100 'на рабочем месте'" \
    -font $FONT -pointsize 16 -fill '#e8eefc' \
    -draw "text 168,142 'Демонстрационная база билетов'" \
    -draw "text 168,164 '4 билета по 5 вопросов'"

# Skin/good.gif: a lamp that lights up, shown after a passed run.
good_frame() {
    rays=$1 glow=$2 out=$3
    convert -size 161x129 xc:'#f4f8ff' \
        -stroke '#7a7a7a' -strokewidth 2 -fill "$glow" -draw "circle 80,48 80,22" \
        -fill '#9a9a9a' -draw "rectangle 68,72 92,90" \
        -stroke '#555555' -draw "line 68,78 92,78" -draw "line 68,84 92,84" \
        -draw "$rays" \
        -stroke none -fill '#1f7a2e' -font $BOLD -pointsize 18 \
        -draw "text 36,116 'Отлично!'" "$out"
}
good_frame "stroke none" '#e6e6e6' /tmp/korvel_good1.gif
good_frame "stroke '#ffb000' stroke-width 3 line 80,14 80,4 line 112,48 124,48 line 48,48 36,48" \
    '#fff2a0' /tmp/korvel_good2.gif
good_frame "stroke '#ffb000' stroke-width 3 line 80,14 80,2 line 112,48 128,48 line 48,48 32,48 line 104,24 114,14 line 56,24 46,14 line 104,72 114,82 line 56,72 46,82" \
    '#ffe14d' /tmp/korvel_good3.gif
convert -dispose none -loop 0 \
    -delay 40 /tmp/korvel_good1.gif -delay 30 /tmp/korvel_good2.gif \
    -delay 80 /tmp/korvel_good3.gif -delay 30 /tmp/korvel_good2.gif \
Skin/good.gif

# Skin/bad.gif: a burnt-out fuse sparking, shown after a failed run.
bad_frame() {
    spark=$1 out=$2
    convert -size 161x129 xc:'#fff4f2' \
        -stroke '#555555' -strokewidth 2 -fill '#d9d9d9' -draw "roundrectangle 30,40 130,70 6,6" \
        -fill '#8a8a8a' -draw "rectangle 22,44 34,66" -draw "rectangle 126,44 138,66" \
        -stroke '#3a3a3a' -strokewidth 3 -draw "line 40,55 72,55" -draw "line 88,55 120,55" \
        -draw "$spark" \
        -stroke none -fill '#b3261e' -font $BOLD -pointsize 18 \
        -draw "text 44,112 'Увы...'" "$out"
}
bad_frame "stroke none" /tmp/korvel_bad1.gif
bad_frame "stroke none fill '#ff7a00' polygon 80,30 86,48 98,40 90,56 104,62 88,64 92,80 80,66 68,80 72,64 56,62 70,56 62,40 74,48" \
    /tmp/korvel_bad2.gif
bad_frame "stroke none fill '#ffd21f' polygon 80,38 84,50 92,46 87,56 96,60 86,61 88,72 80,63 72,72 74,61 64,60 73,56 68,46 76,50" \
    /tmp/korvel_bad3.gif
convert -dispose none -loop 0 \
    -delay 50 /tmp/korvel_bad1.gif -delay 15 /tmp/korvel_bad2.gif \
    -delay 15 /tmp/korvel_bad3.gif -delay 15 /tmp/korvel_bad2.gif \
Skin/bad.gif
rm -f /tmp/korvel_good?.gif /tmp/korvel_bad?.gif

# B1/2.jpg: the warning sign on the door of a switchboard.
jpeg B1/2.jpg -size 400x160 xc:'#eef1f4' \
    -stroke '#4a4a4a' -strokewidth 3 -fill '#b8c0c8' -draw "rectangle 40,10 200,150" \
    -fill '#4a4a4a' -draw "rectangle 186,70 192,92" \
    -draw "$(triangle 70 30 100)" \
    -stroke none -fill '#333333' -font $FONT -pointsize 16 \
    -draw "text 230,72 'Знак на дверце'" -draw "text 230,94 'электрощита'"

# B2/3.jpg: a plug half out of its socket, heating up.
jpeg B2/3.jpg -size 400x160 xc:'#f3efe8' \
    -stroke '#8c8c8c' -strokewidth 2 -fill white -draw "roundrectangle 30,20 150,140 14,14" \
    -fill '#f0f0f0' -draw "circle 90,80 90,40" \
    -fill '#303030' -draw "circle 74,80 74,88" -draw "circle 106,80 106,88" \
    -stroke '#909090' -strokewidth 6 -draw "line 150,70 196,70" -draw "line 150,90 196,90" \
    -stroke '#2b2b2b' -strokewidth 2 -fill '#3c3c3c' -draw "roundrectangle 190,50 260,110 10,10" \
    -fill '#3c3c3c' -draw "rectangle 258,72 380,88" \
    -stroke '#e0401a' -strokewidth 3 -fill none \
    -draw "bezier 160,50 168,40 152,32 160,20" -draw "bezier 176,50 184,40 168,32 176,20" \
    -stroke none -fill '#b3261e' -font $FONT -pointsize 15 -draw "text 200,140 'Вилка нагревается'"

# B3/1.jpg: a desk lamp.
jpeg B3/1.jpg -size 400x160 xc:'#f5f3ee' \
    -stroke '#333333' -strokewidth 2 -fill '#5b6c7d' -draw "roundrectangle 120,134 240,150 6,6" \
    -stroke '#5b6c7d' -strokewidth 8 -draw "line 180,136 150,70" -draw "line 150,70 220,40" \
    -stroke '#333333' -strokewidth 2 -fill '#2f8f5b' -draw "polygon 206,22 262,36 248,86 196,62" \
    -fill '#fff6b0' -draw "circle 236,70 236,58" \
    -stroke '#5b6c7d' -strokewidth 3 -fill none -draw "bezier 240,150 300,150 300,120 360,130" \
    -stroke none -fill '#333333' -font $FONT -pointsize 15 -draw "text 270,110 'к розетке'"

# B4/4.jpg: a person in front of an open switchboard.
jpeg B4/4.jpg -size 400x160 xc:'#edf0f2' \
    -stroke '#4a4a4a' -strokewidth 3 -fill '#b8c0c8' -draw "rectangle 210,10 330,150" \
    -fill '#dfe3e6' -draw "polygon 330,10 380,24 380,136 330,150" \
    -stroke '#2b2b2b' -strokewidth 2 -fill '#f7f7f7' \
    -draw "rectangle 226,30 244,60" -draw "rectangle 252,30 270,60" \
    -draw "rectangle 278,30 296,60" -draw "rectangle 226,80 244,110" \
    -fill '#2b2b2b' -draw "rectangle 231,36 239,44" -draw "rectangle 257,36 265,44" \
    -draw "rectangle 283,46 291,54" -draw "rectangle 231,86 239,94" \
    -draw "$(triangle 340 60 30)" \
    -stroke '#1d3c6e' -strokewidth 6 -fill none \
    -draw "line 120,64 120,112" -draw "line 120,112 104,150" -draw "line 120,112 136,150" \
    -draw "line 120,76 96,100" -draw "line 120,76 176,66" \
    -stroke '#1d3c6e' -strokewidth 3 -fill '#f2d3b1' -draw "circle 120,44 120,26"
