#!/bin/sh
# Draws the program icon for the desktop's icon theme: the ticket card with a
# green check mark on the steel blue tile of the window icon, as a scalable
# SVG and, drawn with ImageMagick from the same figures at 256 pixels and
# scaled down, the PNG sizes of the theme. The outputs are committed.
set -eu
cd "$(dirname "$0")/icons"
cat > korveltest.svg <<'SVG'
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 64 64">
  <rect x="2" y="2" width="60" height="60" rx="12" fill="#2e5e82"/>
  <g transform="rotate(-8 30 30)">
    <rect x="8" y="12" width="44" height="36" rx="6" fill="#ffffff" stroke="#dce7f0" stroke-width="1"/>
    <g stroke="#9fb6c8" stroke-width="2.5" stroke-linecap="round">
      <line x1="14" y1="20" x2="34" y2="20"/>
      <line x1="14" y1="28" x2="42" y2="28"/>
      <line x1="14" y1="36" x2="36" y2="36"/>
    </g>
  </g>
  <polyline points="20,36 29,45 48,22" fill="none" stroke="#3fa34d" stroke-width="6"
            stroke-linecap="round" stroke-linejoin="round"/>
</svg>
SVG
# The same figures as the SVG, four times larger.
convert -define png:exclude-chunks=date,time -size 256x256 xc:none \
    -fill '#2e5e82' -draw 'roundrectangle 8,8 247,247 48,48' \
    \( -size 256x256 xc:none -fill white -stroke '#dce7f0' -strokewidth 4 \
       -draw 'roundrectangle 32,48 207,191 24,24' \
       -stroke '#9fb6c8' -strokewidth 10 -draw 'line 56,80 136,80' \
       -draw 'line 56,112 168,112' -draw 'line 56,144 144,144' \
       -distort SRT '120,120 1 -8' \) -composite \
    -fill none -stroke '#3fa34d' -strokewidth 24 \
    -draw 'stroke-linecap round stroke-linejoin round polyline 80,144 116,180 192,88' \
    -depth 8 korveltest-256.png
for size in 32 48 64 128; do
    convert -define png:exclude-chunks=date,time korveltest-256.png -resize "${size}x${size}" -depth 8 \
        "korveltest-$size.png"
done

# The journal window's icon: the same tile with a results sheet (a table of
# rows) and three bars of a plot in front of it.
cat > korveljournal.svg <<'SVG'
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 64 64">
  <rect x="2" y="2" width="60" height="60" rx="12" fill="#2e5e82"/>
  <rect x="10" y="9" width="36" height="44" rx="4" fill="#ffffff" stroke="#dce7f0" stroke-width="1"/>
  <g stroke="#9fb6c8" stroke-width="2.5" stroke-linecap="round">
    <line x1="15" y1="17" x2="41" y2="17"/>
    <line x1="15" y1="24" x2="41" y2="24"/>
    <line x1="15" y1="31" x2="33" y2="31"/>
    <line x1="15" y1="38" x2="29" y2="38"/>
  </g>
  <rect x="34" y="40" width="7" height="16" rx="1.5" fill="#3fa34d"/>
  <rect x="43" y="32" width="7" height="24" rx="1.5" fill="#e8a33d"/>
  <rect x="52" y="24" width="7" height="32" rx="1.5" fill="#6a9cc0" stroke="#ffffff" stroke-width="1"/>
</svg>
SVG
convert -define png:exclude-chunks=date,time -size 256x256 xc:none \
    -fill '#2e5e82' -draw 'roundrectangle 8,8 247,247 48,48' \
    -fill white -stroke '#dce7f0' -strokewidth 4 -draw 'roundrectangle 40,36 183,211 16,16' \
    -stroke '#9fb6c8' -strokewidth 10 -draw 'line 60,68 164,68' -draw 'line 60,96 164,96' \
    -draw 'line 60,124 132,124' -draw 'line 60,152 116,152' \
    -stroke none -fill '#3fa34d' -draw 'roundrectangle 136,160 163,223 6,6' \
    -fill '#e8a33d' -draw 'roundrectangle 172,128 199,223 6,6' \
    -fill '#6a9cc0' -stroke white -strokewidth 4 -draw 'roundrectangle 208,96 235,223 6,6' \
    -depth 8 korveljournal-256.png
for size in 32 48 64 128; do
    convert -define png:exclude-chunks=date,time korveljournal-256.png -resize "${size}x${size}" \
        -depth 8 "korveljournal-$size.png"
done
