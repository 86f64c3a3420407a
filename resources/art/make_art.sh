#!/usr/bin/env bash
# Redraws the program's artwork (committed; run by hand after changing a picture).
# Needs ImageMagick and the DejaVu fonts.
set -euo pipefail
cd "$(dirname "$0")"
im=/usr/bin/convert
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
thin=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# Background 595x360: deep blue band with the title on top, a mid-blue body below on which
# the window's white labels read well.
$im -size 595x360 gradient:'#3468A3'-'#1A3C66' \
    \( -size 595x92 gradient:'#1F4E8C'-'#0E2A52' \) -geometry +0+0 -composite \
    -fill '#F2B233' -draw 'rectangle 0,92 595,95' \
    -fill '#FFFFFF' -font "$font" -pointsize 34 -annotate +24+52 'Keltra' \
    -fill '#BFD3EE' -font "$thin" -pointsize 14 -annotate +26+76 'Setup' \
    -fill none -stroke '#3A6BB0' -strokewidth 2 -draw 'circle 540,46 560,46' \
    -stroke '#F2B233' -draw 'circle 540,46 548,46' \
    -quality 90 -strip background.jpg

# Logo 120x31 with alpha: a rounded badge and the product name.
$im -size 120x31 xc:none -fill '#F2B233' -draw 'roundrectangle 1,3 27,27 6,6' \
    -fill '#0E2A52' -font "$font" -pointsize 16 -annotate +7+21 'K' \
    -fill '#FFFFFF' -font "$font" -pointsize 17 -annotate +33+22 'Keltra' \
    -strip PNG32:logo.png

# 21x21 state icons: a green tick and a red cross on the body's blue.
$im -size 21x21 xc:'#2A5A92' -fill '#2E9D3A' -draw 'circle 10,10 10,1' \
    -stroke white -strokewidth 2 -fill none -draw 'polyline 5,11 9,15 16,6' \
    -type TrueColor BMP3:ok.bmp
$im -size 21x21 xc:'#2A5A92' -fill '#C8362B' -draw 'circle 10,10 10,1' \
    -stroke white -strokewidth 2 -draw 'line 6,6 14,14' -draw 'line 14,6 6,14' \
    -type TrueColor BMP3:ko.bmp

# Install glyph 32x16: two 16x16 images (normal, disabled); magenta is transparent, so no
# edge may blend into it.
$im -size 32x16 xc:'#FF00FF' +antialias \
    -fill '#1F4E8C' -draw 'polygon 8,13 3,7 6,7 6,2 10,2 10,7 13,7' -draw 'rectangle 2,14 14,15' \
    -fill '#9A9A9A' -draw 'polygon 24,13 19,7 22,7 22,2 26,2 26,7 29,7' -draw 'rectangle 18,14 30,15' \
    -type TrueColor BMP3:install.bmp

# Open-folder glyph 14x12; magenta is transparent (the bottom-left pixel names that colour,
# so the bottom row stays magenta).
$im -size 14x12 xc:'#FF00FF' +antialias -fill '#E0B040' -stroke '#8A6A10' -strokewidth 1 \
    -draw 'polygon 0,1 4,1 5,2 12,2 12,10 0,10' -fill '#F5D070' -draw 'polygon 2,4 13,4 12,10 0,10' \
    -type TrueColor BMP3:folder.bmp

# Program icon from the logo badge.
$im -size 32x32 xc:none -fill '#F2B233' -draw 'roundrectangle 1,1 30,30 7,7' \
    -fill '#0E2A52' -font "$font" -pointsize 22 -annotate +9+24 'K' keltra.ico
