#!/usr/bin/env bash
# How sharp the face is at device pixel ratio 2: a screenshot of the window
# at QT_SCALE_FACTOR=2 (tools/screenshot/shots.sh) against the artwork
# tool's 2x face, pixel for pixel, over the face's own pixels (inside the
# outline, outside every control and label). For comparison the same
# measure of the 1x face enlarged to 2x as the surface painted it before it
# had 2x faces (each pixel doubled), and of a smooth (bilinear) enlargement.
#
#   bench/skin/sharpness.sh [bin-folder]   (default build/release/bin; ImageMagick)
# Prints the mean absolute difference (0-255 per channel) and the share of
# pixels off by more than 8 of 255.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=$(realpath "${1:-$root/build/release/bin}")
images=$root/resources/images
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

LUGATIM_BIN=$bin "$root/tools/screenshot/shots.sh" "$work" 2 >/dev/null

# The face's own pixels at 2x: kept by the 2x mask, away from the controls.
controls=(115,52,97,24 317,52,116,24 55,85,382,97 150,194,285,24 150,227,285,24 150,260,285,24
          150,293,285,28 150,327,285,26 12,356,468,60 390,15,35,20
          20,50,92,22 225,50,88,22 40,190,108,170)
draw=()
for r in "${controls[@]}"; do
  IFS=, read -r x y w h <<<"$r"
  draw+=(-draw "rectangle $(( 2 * x - 4 )),$(( 2 * y - 4 )) $(( 2 * (x + w) + 3 )),$(( 2 * (y + h) + 3 ))")
done
convert "$images/SZLS3MS@2X.bmp" -negate -fill black "${draw[@]}" -colorspace gray "$work/keep.png"
kept=$(convert "$work/keep.png" -format '%[fx:mean*w*h]' info:)

reference=$work/reference.png
convert "$images/DUVADAREVI3@2X.jpg" "$reference"
convert "$images/DUVADAREVI3.jpg" -filter point -resize 200% "$work/doubled.png"
convert "$images/DUVADAREVI3.jpg" -filter triangle -resize 200% "$work/bilinear.png"

# measure <label> <picture>: differences on the kept pixels only.
measure() {
  convert "$2" "$reference" -compose difference -composite "$work/keep.png" \
    -compose multiply -composite -colorspace gray "$work/diff.png"
  local mae over
  mae=$(convert "$work/diff.png" -format "%[fx:mean*w*h/$kept*255]" info:)
  over=$(convert "$work/diff.png" -threshold 3.2% -format "%[fx:mean*w*h/$kept*100]" info:)
  printf '%-34s mean difference %6.2f   pixels off by more than 8: %6.2f %%\n' "$1" "$mae" "$over"
}
echo "face pixels compared: ${kept%.*} of $((960 * 960))"
measure "screenshot at 2x" "$work/window-2x.png"
measure "1x face, pixels doubled" "$work/doubled.png"
measure "1x face, bilinear enlargement" "$work/bilinear.png"
