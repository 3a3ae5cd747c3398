#!/bin/sh
# Draws every picture of the program into pictures/ with ImageMagick: the
# splash and its three animations, the lamp strips, the About window, the menu
# description pictures, the tool-bar and skin icons and the program icon.
# Colours follow the skin: steel blue, pale blue-grey, amber accents.
set -e
cd "$(dirname "$0")/pictures"
FONT=Liberation-Sans
BOLD=Liberation-Sans-Bold
DARK='#1f3f58'
BLUE='#2e5e82'
MID='#4f86ad'
PALE='#dce7f0'
PAPER='#f6f8fa'
AMBER='#e8a33d'
GREEN='#3fa34d'
RED='#c8453b'
IM="convert -define png:exclude-chunks=date,time"
TMPDIR=$(mktemp -d)
trap 'rm -rf "$TMPDIR"' EXIT

# A ticket card: white rounded sheet with lines and a mark. card OUT W H ANGLE
card() {
    $IM -size "$2x$3" xc:none -fill white -stroke "$PALE" -strokewidth 2 \
        -draw "roundrectangle 1,1 $(($2 - 2)),$(($3 - 2)) 8,8" \
        -stroke '#9fb6c8' -strokewidth 3 \
        -draw "line 14,18 $(($2 - 40)),18" -draw "line 14,34 $(($2 - 20)),34" \
        -draw "line 14,50 $(($2 - 30)),50" -draw "line 14,66 $(($2 - 50)),66" \
        -background none -rotate "$4" "$1"
}

# --- splash 546 x 248: room at the bottom right for the version label and
# at the bottom left for the three animations (16,196 / 60,196 / 104,196).
card "$TMPDIR/card1.png" 120 92 -12
card "$TMPDIR/card2.png" 120 92 6
$IM -size 546x248 gradient:"$BLUE"-"$DARK" \
    -fill '#ffffff10' -stroke none -draw "circle 470,-60 470,180" \
    -fill '#ffffff0c' -draw "circle 60,300 60,140" \
    "$TMPDIR/card1.png" -geometry +28+34 -composite \
    "$TMPDIR/card2.png" -geometry +80+44 -composite \
    -stroke "$GREEN" -strokewidth 9 -fill none -draw "polyline 120,108 140,130 180,82" \
    -stroke none -fill white -font "$BOLD" -pointsize 44 -annotate +236+104 'Korvel TEST' \
    -fill "$AMBER" -draw "rectangle 238,118 520,121" \
    -fill "$PALE" -font "$FONT" -pointsize 15 -annotate +238+146 'Тренажёр для подготовки' \
    -annotate +238+166 'к экзаменам по билетам' \
    -fill '#00000030' -draw "roundrectangle 10,190 150,238 8,8" \
    splash.png

# --- splash animations, 40 x 40 each, on a tile of their own.
tile() { printf '%s' "-size 40x40 xc:none -fill '#173247' -draw 'roundrectangle 0,0 39,39 7,7'"; }
frames=""
for i in 0 1 2 3 4 5 6 7; do
    cmd="$IM $(tile)"
    for d in 0 1 2 3 4 5 6 7; do
        a=$(awk "BEGIN{print ($d*45)*3.14159/180}")
        x=$(awk "BEGIN{printf \"%d\", 20+12*sin($a)}")
        y=$(awk "BEGIN{printf \"%d\", 20-12*cos($a)}")
        age=$(((i - d + 8) % 8))
        case $age in 0) c="$AMBER" r=4 ;; 1) c='#c99243' r=3 ;; 2) c='#8aa3b8' r=3 ;; *) c='#4d6d86' r=2 ;; esac
        cmd="$cmd -fill '$c' -draw 'circle $x,$y $((x + r)),$y'"
    done
    eval "$cmd \"$TMPDIR/spin$i.png\""
    frames="$frames $TMPDIR/spin$i.png"
done
$IM -delay 10 -loop 0 -dispose background $frames splash_anim1.gif

for i in 0 1 2 3 4 5 6 7 8 9; do
    case $i in
    0) pts="" ;; 1) pts="10,21 13,24" ;; 2) pts="10,21 16,27" ;; 3) pts="10,21 17,28 22,22" ;;
    4) pts="10,21 17,28 26,17" ;; *) pts="10,21 17,28 30,13" ;;
    esac
    if [ -n "$pts" ]; then
        $IM -size 40x40 xc:none -fill '#173247' -draw 'roundrectangle 0,0 39,39 7,7' \
            -fill none -stroke "$GREEN" -strokewidth 5 -draw "polyline $pts" "$TMPDIR/check$i.png"
    else
        $IM -size 40x40 xc:none -fill '#173247' -draw 'roundrectangle 0,0 39,39 7,7' "$TMPDIR/check$i.png"
    fi
done
$IM -delay 12 -loop 0 -dispose background "$TMPDIR"/check[0-9].png splash_anim2.gif

frames=""
for i in 0 1 2 3 4 5; do
    case $i in 0) c='#5a6b77' ;; 1) c='#8a7a4a' ;; 2) c='#c4913a' ;; 3) c="$AMBER" ;; 4) c='#f3c36a' ;; 5) c='#c4913a' ;; esac
    $IM -size 40x40 xc:none -fill '#173247' -draw 'roundrectangle 0,0 39,39 7,7' \
        -fill '#0e2233' -draw 'circle 20,20 20,7' -fill "$c" -draw 'circle 20,20 20,9' \
        -fill '#ffffff60' -draw 'circle 16,15 16,12' "$TMPDIR/lamp$i.png"
    frames="$frames $TMPDIR/lamp$i.png"
done
$IM -delay 16 -loop 0 -dispose background $frames splash_anim3.gif

# --- lamps: six frames of 65 x 34 side by side; frame 0 is the lamp off,
# frames 1 to 5 glow up and down while it is lit.
lamp_strip() {
    out=$1 shift
    parts=""
    k=0
    for c in "$@"; do
        $IM -size 65x34 xc:none -fill '#3a4650' -draw 'roundrectangle 1,1 63,32 9,9' \
            -fill '#222b31' -draw 'roundrectangle 4,4 60,29 7,7' \
            -fill "$c" -draw 'roundrectangle 6,6 58,27 6,6' \
            -fill '#ffffff55' -draw 'roundrectangle 10,8 54,13 3,3' "$TMPDIR/lf$k.png"
        parts="$parts $TMPDIR/lf$k.png"
        k=$((k + 1))
    done
    $IM $parts +append "$out"
}
lamp_strip lamp_red.png '#4a3331' '#9c3a31' "$RED" '#e05a4e' '#f07a6c' '#e05a4e'
lamp_strip lamp_green.png '#2f4533' '#2f7c3b' "$GREEN" '#55c063' '#7ad886' '#55c063'
$IM lamp_red.png lamp_green.png -append lamps.png
$IM -size 63x34 xc:none -fill '#3a4650' -draw 'roundrectangle 1,1 61,32 9,9' \
    -fill "$PAPER" -draw 'roundrectangle 4,4 58,29 7,7' counter.png

# --- About window 400 x 176 and its logo (89 x 97, transparent). The window
# has no frame of its own, so the picture draws its edge; the two links stand
# on the dark band below the logo (pale text, lime while hovered).
$IM -size 400x176 gradient:"$PAPER"-"$PALE" \
    -fill "$BLUE" -draw 'rectangle 0,0 3,175' -fill "$AMBER" -draw 'rectangle 200,12 201,164' \
    -fill '#2e5e8212' -draw 'circle 330,200 330,60' \
    -fill "$BLUE" -draw 'roundrectangle 4,94 194,130 5,5' \
    -fill none -stroke "$BLUE" -strokewidth 2 -draw 'rectangle 0.5,0.5 398.5,174.5' about.png
card "$TMPDIR/logo_card.png" 70 56 -8
$IM -size 89x97 xc:none "$TMPDIR/logo_card.png" -geometry +6+10 -composite \
    -stroke "$GREEN" -strokewidth 6 -fill none -draw 'polyline 30,52 42,64 66,36' \
    -stroke none -fill "$BLUE" -font "$BOLD" -pointsize 14 -annotate +14+92 'Korvel' about_logo.png

# --- description pictures, 329 x 193, one scene per menu button.
scene() {
    out=$1 shift
    eval "$IM -size 329x193 gradient:'$PAPER'-'$PALE' -stroke none $* \
        -fill none -stroke '$MID' -strokewidth 2 -draw 'roundrectangle 1,1 327,191 10,10' $out"
}
scene desc_exam.png "-fill white -stroke '#9fb6c8' -strokewidth 2 -draw 'roundrectangle 40,30 170,170 8,8' \
    -stroke '#9fb6c8' -strokewidth 3 -draw 'line 58,60 150,60' -draw 'line 58,84 140,84' \
    -draw 'line 58,108 150,108' -draw 'line 58,132 120,132' \
    -stroke none -fill '#3a4650' -draw 'circle 245,96 245,36' -fill white -draw 'circle 245,96 245,44' \
    -stroke '$DARK' -strokewidth 5 -draw 'line 245,96 245,60' -draw 'line 245,96 272,110' \
    -stroke none -fill '$RED' -draw 'circle 245,96 245,91' -fill '$AMBER' -draw 'rectangle 236,26 254,36'"
scene desc_preparation.png "-fill '$BLUE' -draw 'polygon 40,40 160,56 160,168 40,152' \
    -fill '$MID' -draw 'polygon 288,40 168,56 168,168 288,152' \
    -fill white -draw 'polygon 48,46 158,60 158,160 48,146' -draw 'polygon 280,46 170,60 170,160 280,146' \
    -stroke '#9fb6c8' -strokewidth 2 -draw 'line 60,70 146,80' -draw 'line 60,90 146,100' \
    -draw 'line 60,110 146,120' -draw 'line 182,80 268,70' -draw 'line 182,100 268,90' \
    -stroke none -fill '$AMBER' -font '$BOLD' -pointsize 40 -annotate +208+140 '?'"
scene desc_reload.png "-fill '$AMBER' -draw 'roundrectangle 50,60 150,160 6,6' -fill '#f3c36a' -draw 'polygon 50,80 90,80 100,70 150,70 150,160 50,160' \
    -fill white -stroke '#9fb6c8' -strokewidth 2 -draw 'roundrectangle 176,50 286,150 6,6' \
    -stroke '$BLUE' -strokewidth 8 -fill none -draw 'arc 196,66 266,136 200,480' \
    -stroke none -fill '$BLUE' -draw 'polygon 252,58 276,72 252,86'"
scene desc_settings.png "-fill '$BLUE' -draw 'circle 120,96 120,40' -fill '$PAPER' -draw 'circle 120,96 120,74' \
    -fill '$BLUE' -draw 'rectangle 112,28 128,48' -draw 'rectangle 112,144 128,164' \
    -draw 'rectangle 52,88 72,104' -draw 'rectangle 168,88 188,104' \
    -fill '$MID' -draw 'rectangle 214,46 290,52' -draw 'rectangle 214,94 290,100' -draw 'rectangle 214,142 290,148' \
    -fill '$AMBER' -draw 'circle 236,49 236,39' -fill '$GREEN' -draw 'circle 270,97 270,87' -fill '$RED' -draw 'circle 248,145 248,135'"
scene desc_help.png "-fill '$BLUE' -draw 'roundrectangle 60,30 160,170 8,8' -fill white -draw 'rectangle 70,40 150,160' \
    -fill '$MID' -draw 'rectangle 78,56 142,62' -draw 'rectangle 78,76 136,82' -draw 'rectangle 78,96 142,102' \
    -fill '$AMBER' -draw 'circle 240,96 240,44' -fill white -font '$BOLD' -pointsize 72 -annotate +220+122 '?'"
scene desc_analysis.png "-fill white -stroke '#9fb6c8' -strokewidth 2 -draw 'roundrectangle 36,30 196,164 8,8' \
    -stroke none -fill '#caffca' -draw 'rectangle 50,48 182,70' -fill '#ff8080' -draw 'rectangle 50,82 182,104' \
    -fill '#caffca' -draw 'rectangle 50,116 182,138' \
    -fill none -stroke '$DARK' -strokewidth 10 -draw 'circle 240,92 240,56' -draw 'line 266,120 296,152'"
scene desc_report.png "-fill white -stroke '#9fb6c8' -strokewidth 2 -draw 'roundrectangle 60,22 190,172 6,6' \
    -stroke '#9fb6c8' -strokewidth 3 -draw 'line 78,50 172,50' -draw 'line 78,72 160,72' \
    -draw 'line 78,94 172,94' -draw 'line 78,116 140,116' \
    -stroke none -fill '$BLUE' -draw 'roundrectangle 206,84 300,144 8,8' -fill white -draw 'rectangle 222,60 284,88' \
    -draw 'rectangle 222,124 284,160' -fill '$AMBER' -draw 'circle 288,98 288,94'"
scene desc_work_errors.png "-fill white -stroke '#9fb6c8' -strokewidth 2 -draw 'roundrectangle 40,30 180,164 8,8' \
    -stroke '$RED' -strokewidth 8 -draw 'line 70,60 110,100' -draw 'line 110,60 70,100' \
    -stroke '$GREEN' -draw 'polyline 120,130 136,146 166,112' \
    -stroke '$BLUE' -strokewidth 8 -fill none -draw 'arc 206,58 286,138 200,480' \
    -stroke none -fill '$BLUE' -draw 'polygon 270,48 296,64 268,80'"

# --- tool-bar icons on a rounded tile; drawn at 34 x 34 (the 33-pixel
# buttons scale them).
icon() {
    out=$1 shift
    eval "$IM -size 34x34 xc:none -fill '$BLUE' -draw 'roundrectangle 0,0 33,33 7,7' \
        -fill '#ffffff22' -draw 'roundrectangle 2,2 31,15 6,6' -stroke none $* $out"
}
icon icon_help.png "-fill white -font '$BOLD' -pointsize 26 -gravity center -annotate +0+1 '?'"
icon icon_info.png "-fill white -font '$BOLD' -pointsize 26 -gravity center -annotate +0+1 'i'"
icon icon_save.png "-fill white -draw 'roundrectangle 8,7 26,27 2,2' -fill '$BLUE' -draw 'rectangle 12,7 22,13' \
    -fill '$PALE' -draw 'rectangle 11,18 23,27'"
icon icon_print.png "-fill white -draw 'rectangle 11,6 23,13' -fill '$PALE' -draw 'roundrectangle 6,12 28,24 3,3' \
    -fill white -draw 'rectangle 11,20 23,28' -fill '$AMBER' -draw 'circle 24,16 25,16'"
icon icon_back.png "-fill white -draw 'polygon 7,17 17,8 17,13 27,13 27,21 17,21 17,26'"
icon icon_menu.png "-fill white -draw 'polygon 17,7 28,17 25,17 25,27 9,27 9,17 6,17' -fill '$BLUE' -draw 'rectangle 14,20 20,27'"
icon icon_clock.png "-fill white -draw 'circle 17,17 17,5' -stroke '$DARK' -strokewidth 2 -draw 'line 17,17 17,9' -draw 'line 17,17 23,20'"
icon icon_close.png "-stroke white -strokewidth 4 -draw 'line 10,10 24,24' -draw 'line 24,10 10,24'"
icon icon_ok.png "-fill none -stroke white -strokewidth 4 -draw 'polyline 8,17 15,24 26,10'"
$IM -size 19x19 xc:none -fill "$BLUE" -draw 'roundrectangle 0,0 18,18 4,4' \
    -fill white -draw 'polygon 5,9 12,4 12,14' icon_prev.png
$IM icon_prev.png -flop icon_next.png

# --- answer switch (40 x 20) for multiple-answer questions.
$IM -size 40x20 xc:none -fill '#b8c6d2' -draw 'roundrectangle 0,0 39,19 9,9' \
    -fill white -stroke '#8ea2b4' -draw 'circle 10,10 10,2' switch_off.png
$IM -size 40x20 xc:none -fill "$GREEN" -draw 'roundrectangle 0,0 39,19 9,9' \
    -fill white -stroke '#2f7c3b' -draw 'circle 29,10 29,2' switch_on.png

# --- skin details: check mark, scroll arrows, group-box and link pictures.
$IM -size 12x12 xc:none -fill none -stroke white -strokewidth 2 -draw 'polyline 2,6 5,9 10,3' check_mark.png
$IM -size 9x9 xc:none -fill "$BLUE" -draw 'polygon 1,6 4,2 7,6' arrow_up.png
$IM arrow_up.png -flip arrow_down.png
$IM arrow_up.png -rotate -90 arrow_left.png
$IM arrow_up.png -rotate 90 arrow_right.png
$IM -size 9x9 xc:none -fill white -draw 'polygon 1,6 4,2 7,6' -flip combo_arrow.png
link() {
    out=$1 shift
    eval "$IM -size 24x24 xc:none -fill '$MID' -draw 'circle 12,12 12,1' -stroke none -fill white $* $out"
}
link link_download.png "-draw 'polygon 8,11 16,11 12,17' -draw 'rectangle 10,5 14,11' -draw 'rectangle 7,18 17,19'"
link link_site.png "-fill none -stroke white -strokewidth 1.5 -draw 'circle 12,12 12,5' -draw 'line 5,12 19,12' -draw 'ellipse 12,12 3,7 0,360'"
link link_updates.png "-fill none -stroke white -strokewidth 2.5 -draw 'arc 6,6 18,18 200,470' -stroke none -fill white -draw 'polygon 14,3 19,7 14,10'"
link link_forum.png "-draw 'roundrectangle 5,6 19,15 3,3' -draw 'polygon 8,14 8,19 12,15'"
link link_mail.png "-draw 'rectangle 5,8 19,17' -stroke '$MID' -fill none -draw 'polyline 5,8 12,13 19,8'"

# --- program icon.
card "$TMPDIR/icon_card.png" 48 40 -8
$IM -size 64x64 xc:none -fill "$BLUE" -draw 'roundrectangle 2,2 61,61 12,12' \
    "$TMPDIR/icon_card.png" -geometry +5+9 -composite \
    -fill none -stroke "$GREEN" -strokewidth 6 -draw 'polyline 20,36 29,45 48,22' app_icon.png
