#!/usr/bin/env bash
# Draws the demo's bitmaps with ImageMagick: 32x32 pictures on magenta, the colour that
# the pages draw transparent. Run it again after changing a picture here.
set -euo pipefail
cd "$(dirname "$0")"

draw() { # FILE DRAW-ARGUMENTS...
  local file=$1
  shift
  convert -size 32x32 xc:magenta "$@" -type TrueColor "BMP3:$file"
}

folder() { # FILE BACK-COLOUR FRONT-COLOUR [MARK-ARGUMENTS...]
  local file=$1 back=$2 front=$3
  shift 3
  draw "$file" -fill "$back" -draw "roundrectangle 3,7 14,12 2,2" \
    -draw "roundrectangle 3,9 28,26 2,2" -fill "$front" -draw "roundrectangle 3,12 28,27 2,2" "$@"
}

open_folder() { # FILE BACK-COLOUR FRONT-COLOUR
  draw "$1" -fill "$2" -draw "roundrectangle 3,7 14,12 2,2" -draw "roundrectangle 3,9 26,26 2,2" \
    -fill white -draw "rectangle 7,11 27,22" -fill "$3" -draw "polygon 3,27 8,15 31,15 26,27"
}

convert logo-house-magenta.bmp -type TrueColor BMP3:Logo.bmp

folder "Closed Folder.bmp" "#d9a400" "#f5c518"
folder root-mywork.bmp "#2f6fb5" "#4a90d9" -fill white -draw "polygon 16,14 18,19 23,19 19,22 20,27 16,24 12,27 13,22 9,19 14,19"
open_folder root-mywork-open.bmp "#2f6fb5" "#4a90d9"
folder root-shared.bmp "#2e8b57" "#3cb371" -fill white -draw "circle 12,19 12,16" -draw "circle 20,19 20,16" \
  -draw "roundrectangle 8,22 16,27 2,2" -draw "roundrectangle 16,22 24,27 2,2"
open_folder root-shared-open.bmp "#2e8b57" "#3cb371"
folder root-homework.bmp "#b5472f" "#d9684a" -fill white -draw "rectangle 9,15 23,25" \
  -stroke "#b5472f" -draw "line 11,18 21,18" -draw "line 11,21 21,21"
open_folder root-homework-open.bmp "#b5472f" "#d9684a"

draw default_ProgSet.bmp -fill "#8c8c8c" -draw "roundrectangle 3,3 14,14 3,3" \
  -draw "roundrectangle 17,3 28,14 3,3" -draw "roundrectangle 3,17 14,28 3,3" \
  -draw "roundrectangle 17,17 28,28 3,3"
draw Writing.bmp -fill "#f5c518" -draw "polygon 6,22 22,6 26,10 10,26" -fill "#f0b8a0" \
  -draw "polygon 6,22 10,26 4,28" -fill "#e06666" -draw "polygon 22,6 24,4 28,8 26,10"
draw Maths.bmp -fill "#4a90d9" -draw "roundrectangle 3,3 28,28 5,5" -fill white \
  -draw "rectangle 7,9 14,11" -draw "rectangle 9.5,6.5 11.5,13.5" -draw "rectangle 18,9 25,11" \
  -draw "rectangle 7,20 14,22" -draw "rectangle 18,18 25,19" -draw "rectangle 18,22 25,23"
draw Art.bmp -fill "#f0d9b5" -draw "ellipse 16,16 13,11 0,360" -fill magenta -draw "circle 21,21 21,18" \
  -fill "#e06666" -draw "circle 10,12 10,10" -fill "#4a90d9" -draw "circle 16,9 16,7" \
  -fill "#3cb371" -draw "circle 22,12 22,10" -fill "#f5c518" -draw "circle 9,19 9,17"

draw defaultSitemark.bmp -fill "#4a90d9" -draw "circle 16,16 16,3" -fill none -stroke white \
  -draw "ellipse 16,16 6,13 0,360" -draw "line 3,16 29,16" -draw "line 16,3 16,29"
draw link-science.bmp -fill "#3cb371" -draw "polygon 12,4 20,4 20,12 28,27 4,27 12,12" \
  -fill white -draw "rectangle 11,3 21,5" -fill "#e0f5e9" -draw "circle 13,22 13,20" -draw "circle 19,19 19,18"
draw link-maths.bmp -fill "#d9684a" -draw "roundrectangle 4,4 27,27 4,4" -fill white \
  -draw "rectangle 9,15 22,17" -draw "rectangle 14.5,9.5 16.5,22.5"
draw link-reading.bmp -fill "#2f6fb5" -draw "polygon 3,7 15,9 15,27 3,25" -draw "polygon 17,9 29,7 29,25 17,27" \
  -fill white -draw "polygon 5,10 13,11 13,24 5,23" -draw "polygon 19,11 27,10 27,23 19,24"

draw Pupils.bmp -fill "#7b4fb5" -draw "circle 16,16 16,2" -fill white -draw "circle 16,12 16,8" \
  -draw "ellipse 16,26 8,6 180,360"
