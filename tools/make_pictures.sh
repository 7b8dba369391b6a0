#!/usr/bin/env bash
# Remakes the program's pictures in resources/: the header picture, the tall
# side picture of the welcome and finish pages, the maker's logo and the
# application icon. Needs ImageMagick's convert and the DejaVu fonts.
#
# The JPEGs are baseline (the decoder in the program reads baseline and
# progressive, but baseline is what every reader handles) and carry no
# metadata, so that remaking them gives the same bytes on the same
# ImageMagick version.
set -euo pipefail

out="$(cd "$(dirname "$0")/../resources" && pwd)"
convert=${CONVERT:-convert}
font=DejaVu-Sans-Bold

# The program's blues: the two colours of the installation progress bar.
dark='rgb(51,102,153)'
light='rgb(48,144,207)'
pale='rgb(214,230,243)'

jpeg=(-strip -interlace none -quality 90 -sampling-factor 1x1)

# Header picture, 53 x 53: a diagonal blue gradient with a white disc and a
# bold "T" in the program's dark blue.
header() {
  local size=$1
  shift
  local c=$((size / 2))
  local r=$((size * 17 / 53))
  "$convert" -size "${size}x${size}" -define gradient:angle=135 "gradient:${light}-${dark}" \
    -fill white -draw "circle ${c},${c} ${c},$((c - r))" \
    -fill "$dark" -font "$font" -pointsize $((size * 26 / 53)) -gravity center \
    -annotate +0+1 'T' \
    "$@"
}

# The pictures at the size the windows are designed for at 100 %, and at
# twice that, which the windows scale down from at larger display scales.
header 53 "${jpeg[@]}" "$out/header.jpg"
header 106 "${jpeg[@]}" "$out/header@2x.jpg"

# Side picture, 163 x 354 times k: a vertical gradient, a few pale rings low
# down and the product word running upwards along the left edge.
side() {
  local k=$1
  shift
  "$convert" -size $((163 * k))x$((354 * k)) "gradient:${light}-${dark}" \
    -fill none -stroke "$pale" -strokewidth $((2 * k)) \
    -draw "circle $((120 * k)),$((270 * k)) $((120 * k)),$((210 * k))" \
    -draw "circle $((120 * k)),$((270 * k)) $((120 * k)),$((235 * k))" \
    -stroke none -fill "$pale" -draw "circle $((120 * k)),$((270 * k)) $((120 * k)),$((257 * k))" \
    -fill white -font "$font" -pointsize $((30 * k)) -gravity southwest \
    -annotate 270x270+$((44 * k))+$((16 * k)) 'Tessarwolden' \
    -fill "$pale" -font DejaVu-Sans -pointsize $((12 * k)) -gravity northwest \
    -annotate +$((58 * k))+$((18 * k)) 'Setup' \
    "$@"
}
side 1 "${jpeg[@]}" "$out/side.jpg"
side 2 "${jpeg[@]}" "$out/side@2x.jpg"

# Maker's logo, 128 x 65 times k: a blue square with a white "W" beside the
# maker's name on white.
logo() {
  local k=$1
  shift
  "$convert" -size $((128 * k))x$((65 * k)) xc:white \
    \( -size $((40 * k))x$((40 * k)) -define gradient:angle=135 "gradient:${light}-${dark}" \
       -fill white -font "$font" -pointsize $((28 * k)) -gravity center -annotate +0+$k 'W' \) \
    -gravity northwest -geometry +$((6 * k))+$((12 * k)) -composite \
    -fill "$dark" -font "$font" -pointsize $((14 * k)) -annotate +$((52 * k))+$((14 * k)) 'Wolden' \
    -fill "$light" -font DejaVu-Sans -pointsize $((12 * k)) -annotate +$((52 * k))+$((33 * k)) 'Software' \
    "$@"
}
logo 1 "${jpeg[@]}" "$out/logo.jpg"
logo 2 "${jpeg[@]}" "$out/logo@2x.jpg"

# Application icon: the header picture at every size Windows asks for at
# display scales from 100 % to 200 % (the small icon 16 to 32, the large 32
# to 64) and for the shell's large views (96 to 256), each drawn at its own
# size rather than scaled from another.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
sizes=(256 128 96 64 48 40 32 24 20 16)
icons=()
for s in "${sizes[@]}"; do
  header "$s" -strip "png32:$tmp/icon-$s.png"
  icons+=("$tmp/icon-$s.png")
done
"$convert" "${icons[@]}" "$out/Setup.ico"
