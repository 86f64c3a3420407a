#!/usr/bin/env bash
# Redraws the program's artwork (committed; run by hand after changing a picture). Each picture
# is drawn for 96 DPI and again at twice the size (suffix @2x) for high-DPI displays.
# Needs ImageMagick and the DejaVu fonts.
set -euo pipefail
cd "$(dirname "$0")"
im=/usr/bin/convert
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
thin=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# Scales "x,y x,y ..." by $s; a pixel's centre stays the centre of its block.
pts() {
    local out=() pair
    for pair in "$@"; do
        out+=("$(( ${pair%,*} * s + (s - 1) / 2 )),$(( ${pair#*,} * s + (s - 1) / 2 ))")
    done
    echo "${out[*]}"
}
# A rectangle of whole pixels x0,y0 to x1,y1 (inclusive) at the scale.
box() { echo "rectangle $(( $1 * s )),$(( $2 * s )) $(( ($3 + 1) * s - 1 )),$(( ($4 + 1) * s - 1 ))"; }
# A length at the scale.
n() { echo $(( $1 * s )); }
# Keeps the glyph bitmap on stdin as name.bmp at 96 DPI; the double-size one becomes a PNG with
# the same pixels, a twentieth of the bytes, which the program decodes like its other pictures.
keep_glyph() {
    if [ "$s" = 1 ]; then
        cat >"$1.bmp"
    else
        $im BMP3:- -strip "PNG:$1@2x.png"
    fi
}

for s in 1 2; do
    suffix=$([ "$s" = 1 ] && echo "" || echo "@2x")
    # Twice the pixels keep the 96 DPI picture's fidelity at a lower quality setting, and the
    # setup program carries both.
    quality=$([ "$s" = 1 ] && echo 90 || echo 80)

    # Background 595x360: deep blue band with the title on top, a mid-blue body below on which
    # the window's white labels read well.
    $im -size "$(n 595)x$(n 360)" gradient:'#3468A3'-'#1A3C66' \
        \( -size "$(n 595)x$(n 92)" gradient:'#1F4E8C'-'#0E2A52' \) -geometry +0+0 -composite \
        -fill '#F2B233' -draw "rectangle 0,$(n 92) $(n 595),$(( 96 * s - 1 ))" \
        -fill '#FFFFFF' -font "$font" -pointsize "$(n 34)" -annotate "+$(n 24)+$(n 52)" 'Keltra' \
        -fill '#BFD3EE' -font "$thin" -pointsize "$(n 14)" -annotate "+$(n 26)+$(n 76)" 'Setup' \
        -fill none -stroke '#3A6BB0' -strokewidth "$(n 2)" \
        -draw "circle $(n 540),$(n 46) $(n 560),$(n 46)" \
        -stroke '#F2B233' -draw "circle $(n 540),$(n 46) $(n 548),$(n 46)" \
        -quality "$quality" -sampling-factor 1x1 -strip "background$suffix.jpg"

    # Logo 120x31 with alpha: a rounded badge and the product name.
    $im -size "$(n 120)x$(n 31)" xc:none -fill '#F2B233' \
        -draw "roundrectangle $(n 1),$(n 3) $(n 27),$(n 27) $(n 6),$(n 6)" \
        -fill '#0E2A52' -font "$font" -pointsize "$(n 16)" -annotate "+$(n 7)+$(n 21)" 'K' \
        -fill '#FFFFFF' -font "$font" -pointsize "$(n 17)" -annotate "+$(n 33)+$(n 22)" 'Keltra' \
        -strip "PNG32:logo$suffix.png"

    # 21x21 state icons: a green tick and a red cross on the body's blue.
    $im -size "$(n 21)x$(n 21)" xc:'#2A5A92' -fill '#2E9D3A' \
        -draw "circle $(pts 10,10 10,1)" \
        -stroke white -strokewidth "$(n 2)" -fill none -draw "polyline $(pts 5,11 9,15 16,6)" \
        -type TrueColor BMP3:- | keep_glyph ok
    $im -size "$(n 21)x$(n 21)" xc:'#2A5A92' -fill '#C8362B' \
        -draw "circle $(pts 10,10 10,1)" \
        -stroke white -strokewidth "$(n 2)" -draw "line $(pts 6,6 14,14)" \
        -draw "line $(pts 14,6 6,14)" \
        -type TrueColor BMP3:- | keep_glyph ko

    # Install glyph 32x16: two 16x16 images (normal, disabled); magenta is transparent, so no
    # edge may blend into it.
    $im -size "$(n 32)x$(n 16)" xc:'#FF00FF' +antialias \
        -fill '#1F4E8C' -draw "polygon $(pts 8,13 3,7 6,7 6,2 10,2 10,7 13,7)" \
        -draw "$(box 2 14 14 15)" \
        -fill '#9A9A9A' -draw "polygon $(pts 24,13 19,7 22,7 22,2 26,2 26,7 29,7)" \
        -draw "$(box 18 14 30 15)" \
        -type TrueColor BMP3:- | keep_glyph install

    # Open-folder glyph 14x12; magenta is transparent (the bottom-left pixel names that colour,
    # so the bottom rows stay magenta).
    $im -size "$(n 14)x$(n 12)" xc:'#FF00FF' +antialias -fill '#E0B040' -stroke '#8A6A10' \
        -strokewidth "$s" -draw "polygon $(pts 0,1 4,1 5,2 12,2 12,10 0,10)" \
        -fill '#F5D070' -draw "polygon $(pts 2,4 13,4 12,10 0,10)" \
        -type TrueColor BMP3:- | keep_glyph folder
done

# Program icon from the logo badge.
$im -size 32x32 xc:none -fill '#F2B233' -draw 'roundrectangle 1,1 30,30 7,7' \
    -fill '#0E2A52' -font "$font" -pointsize 22 -annotate +9+24 'K' keltra.ico
