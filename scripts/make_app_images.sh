#!/bin/sh
# Draws the application's images (icons, mode pictures, header, drop-area
# backgrounds) into resources/images/ with ImageMagick. The PNGs are kept in
# the repository; run this again only to change them.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/resources/images"
mkdir -p "$out"
SANS=/usr/share/fonts/truetype/freefont/FreeSans.ttf
BOLD=/usr/share/fonts/truetype/freefont/FreeSansBold.ttf
TEXT="rgb(198,213,210)"
MUTED="rgb(129,136,133)"
ACCENT="rgb(91,160,140)"

# Button icons: white shapes on transparency; the buttons recolour them.
icon() { # name width height draw-args...
    name=$1; w=$2; h=$3; shift 3
    convert -size "${w}x${h}" xc:none -fill white -stroke white "$@" -strip "PNG32:$out/$name"
}
# A shape drawn white on black becomes the alpha of a white icon.
masked() { # name width height draw-args...
    name=$1; w=$2; h=$3; shift 3
    convert -size "${w}x${h}" xc:black -fill white -stroke none "$@" "$out/mask.tmp.png"
    convert -size "${w}x${h}" xc:white "$out/mask.tmp.png" -alpha off -compose CopyOpacity -composite \
        -strip "PNG32:$out/$name"
    rm -f "$out/mask.tmp.png"
}
masked icon_settings.png 17 17 \
    -draw "translate 8.5,8.5 circle 0,0 5.8,0" \
    -draw "translate 8.5,8.5 rectangle -1.6,-8 1.6,8" \
    -draw "translate 8.5,8.5 rotate 45 rectangle -1.6,-8 1.6,8" \
    -draw "translate 8.5,8.5 rotate 90 rectangle -1.6,-8 1.6,8" \
    -draw "translate 8.5,8.5 rotate 135 rectangle -1.6,-8 1.6,8" \
    -fill black -draw "circle 8.5,8.5 11,8.5"

icon icon_about.png 17 17 -fill none -strokewidth 1.6 -draw "circle 8.5,8.5 8.5,1.3" \
    -stroke none -fill white -draw "rectangle 7.6,7 9.4,13" -draw "circle 8.5,4.8 8.5,3.7"
icon icon_help.png 17 17 -fill none -strokewidth 1.6 -draw "circle 8.5,8.5 8.5,1.3" \
    -stroke none -fill white -font "$BOLD" -pointsize 12 -gravity center -annotate +0+1 "?"
icon icon_load.png 15 14 -stroke none \
    -draw "polygon 0,3 5,3 6.5,5 15,5 15,14 0,14" -fill none -stroke white -strokewidth 1 \
    -draw "line 2,1.5 5,1.5"
icon icon_undo.png 15 14 -fill none -strokewidth 2 \
    -draw "line 2,2 13,12" -draw "line 13,2 2,12"

# Header buttons (drawn on the dark header; recoloured as well).
masked header_sync.png 90 34 \
    -draw "path 'M 17,32 C 17,32 5,17 5,11 A 12,12 0 1 1 29,11 C 29,17 17,32 17,32 Z'" \
    -fill black -draw "circle 17,11 21,11" \
    -fill white -font "$BOLD" -pointsize 19 -annotate +36+25 "SYNC"
convert -size 30x30 xc:none -fill none -stroke white -strokewidth 3.2 \
    -draw "path 'M 7,12 C 10,5 22,5 25,13 C 27,20 22,26 15,26'" \
    -stroke none -fill white -draw "polygon 1,9 12,7 7,18" \
    -strip "PNG32:$out/header_undo.png"

# Warning sign.
convert -size 47x41 xc:none -fill "rgb(240,190,40)" -stroke "rgb(90,70,10)" -strokewidth 1.5 \
    -draw "roundrectangle 0,0 0,0 0,0" -draw "polygon 23.5,2 45,39 2,39" \
    -stroke none -fill "rgb(40,35,20)" -draw "rectangle 21.5,13 25.5,28" -draw "circle 23.5,33.5 23.5,31.3" \
    -strip "PNG32:$out/warning_yellow.png"

# Mode pictures: three photos on a time line; the open one is the photo
# without position, the filled one with the pin the GPS-tagged source.
mode_picture() { # name arrow-draw
    name=$1; shift
    convert -size 140x40 xc:none -stroke "$MUTED" -strokewidth 1 -draw "line 4,34 136,34" \
        -fill none -stroke "$TEXT" -strokewidth 1.4 \
        -draw "rectangle 59,12 81,29" \
        "$@" -strip "PNG32:$out/$name"
}
mode_picture mode_1.png \
    -fill "$ACCENT" -draw "rectangle 104,12 126,29" -fill "$TEXT" -stroke none -draw "circle 115,18 117.5,18" \
    -fill none -stroke "$TEXT" -strokewidth 1.4 -draw "line 100,6 86,6" -fill "$TEXT" -draw "polygon 84,6 90,3 90,9"
mode_picture mode_2.png \
    -fill "$ACCENT" -draw "rectangle 14,12 36,29" -fill "$TEXT" -stroke none -draw "circle 25,18 27.5,18" \
    -fill none -stroke "$TEXT" -strokewidth 1.4 -draw "line 40,6 54,6" -fill "$TEXT" -draw "polygon 56,6 50,3 50,9"
mode_picture mode_3.png \
    -fill "$ACCENT" -draw "rectangle 14,12 36,29" -fill "$TEXT" -stroke none -draw "circle 25,18 27.5,18" \
    -fill none -stroke "$MUTED" -strokewidth 1.4 -draw "rectangle 114,12 136,29" \
    -stroke "$TEXT" -draw "line 40,6 54,6" -fill "$TEXT" -draw "polygon 56,6 50,3 50,9"

for lang in en de; do
    if [ $lang = de ]; then word="Zeit"; drop1="Fotos und Ordner"; drop2="hierher ziehen"; else
        word="time"; drop1="Drop photos and"; drop2="folders here"; fi
    convert -size 140x20 xc:none -stroke "$MUTED" -strokewidth 1.5 -draw "line 4,10 124,10" \
        -stroke none -fill "$MUTED" -draw "polygon 136,10 124,5 124,15" \
        -fill "rgb(47,47,47)" -draw "rectangle 48,2 92,18" \
        -fill "$TEXT" -font "$SANS" -pointsize 12 -gravity center -annotate +0+0 "$word" \
        -strip "PNG32:time_arrow_$lang.png.tmp" && mv "time_arrow_$lang.png.tmp" "$out/time_arrow_$lang.png"
    convert -size 300x300 xc:black \
        -fill none -stroke "rgb(70,70,70)" -strokewidth 2 -draw "stroke-dasharray 8 6 roundrectangle 14,14 285,285 12,12" \
        -stroke none -fill "rgb(60,66,64)" \
        -draw "path 'M 150,206 C 150,206 118,166 118,148 A 32,32 0 1 1 182,148 C 182,166 150,206 150,206 Z'" \
        -fill black -draw "circle 150,148 162,148" \
        -fill "$TEXT" -font "$BOLD" -pointsize 17 -gravity north -annotate +0+226 "$drop1" -annotate +0+248 "$drop2" \
        -strip "PNG32:drop.tmp" && mv drop.tmp "$out/drop_images_gps_$lang.png"
done

# Header band of the main window (tiled horizontally).
convert -size 64x66 gradient:"rgb(62,64,63)"-"rgb(40,41,41)" \
    -fill "rgb(28,28,28)" -draw "rectangle 0,65 63,65" -strip "PNG32:$out/head_medium_dark_without_shadow.png"

# Logo of the header: pin and name.
convert -size 217x46 xc:none -fill "$ACCENT" -stroke none \
    -draw "path 'M 196,42 C 196,42 184,28 184,20 A 12,12 0 1 1 208,20 C 208,28 196,42 196,42 Z'" \
    -fill "rgb(40,41,41)" -draw "circle 196,20 200.5,20" \
    -fill "$TEXT" -font "$BOLD" -pointsize 30 -gravity east -annotate +40+0 "Orlavo" \
    -strip "PNG32:$out/logo_header.png"

# Window icon.
convert -size 256x256 xc:none -fill "rgb(47,47,47)" -stroke "rgb(99,99,99)" -strokewidth 6 \
    -draw "roundrectangle 6,6 249,249 40,40" -stroke none -fill "$ACCENT" \
    -draw "path 'M 128,226 C 128,226 58,140 58,100 A 70,70 0 1 1 198,100 C 198,140 128,226 128,226 Z'" \
    -fill "rgb(47,47,47)" -draw "circle 128,100 154,100" \
    -strip "PNG32:$out/icon.png"
echo "images written to $out"
