#!/usr/bin/env bash
# Draws the clock mark at each icon size and packs the frames into Vintrel.ico, then writes
# Vintrel-group.bin, the icon group directory of the tray icon (108).
# The mark: a round dark blue dial (the clock's default colour, RGB 0, 0, 100) with a
# white rim and white hands at three o'clock, on a transparent background. Small sizes
# drop the ticks and the centre dot so the hands stay legible.
# Frames of 48 px and up are stored as PNG (16 to 32 px stay 32-bpp DIBs that every loader
# reads): that keeps the ten frames near 24 KB instead of 200 KB. The tray group reuses the
# images of the main group (128): its directory names the RT_ICON ids 1 to 10 that windres
# gives the images of the first ICON statement of Vintrel.rc.
# The generated files are committed; the build never runs this script (it needs python3).
#   res/icons/make-icon.sh [output.ico]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/Vintrel.ico}
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
sizes=(16 24 32 48 64 72 80 96 128 256)
png_from=48
dial='rgb(0,0,100)'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# awk does the geometry; every figure is in pixels of a canvas of size $1.
draw_commands() {
    awk -v s="$1" -v dial="$dial" '
    # Widths of lines through the centre: even whole pixels, so they stay sharp.
    function even(w) { w = 2 * int(w / 2 + 0.5); return w < 2 ? 2 : w }
    BEGIN {
        pi = atan2(0, -1)
        c = (s - 1) / 2                      # pixel centres sit on whole coordinates
        r = s / 2 - 0.1                      # outer edge of the rim, just inside the canvas
        rim = (s < 32) ? 1.2 : s / 24
        face = r - rim
        printf "fill white stroke none circle %.3f,%.3f %.3f,%.3f\n", c, c, c, c - r
        printf "fill %s circle %.3f,%.3f %.3f,%.3f\n", dial, c, c, c, c - face
        if (s >= 32) {
            n = (s >= 64) ? 12 : 4
            for (i = 0; i < n; i++) {
                a = 2 * pi * i / n
                major = (i % (n / 4) == 0)
                len = face * (major ? 0.16 : 0.09)
                w = major ? even(s / 28) : s / 48
                x1 = c + sin(a) * (face * 0.92); y1 = c - cos(a) * (face * 0.92)
                x2 = c + sin(a) * (face * 0.92 - len); y2 = c - cos(a) * (face * 0.92 - len)
                printf "stroke white stroke-width %.3f stroke-linecap butt fill none line %.3f,%.3f %.3f,%.3f\n", w, x1, y1, x2, y2
            }
        }
        # Minute hand to twelve, hour hand to three: an L that reads as a clock at 16 px.
        cap = (s < 32) ? "butt" : "round"
        hw = (s < 32) ? 2 : even(s / 10)
        mw = (s < 32) ? 2 : even(s / 15)
        ml = face * ((s < 32) ? 0.85 : 0.62)
        hl = face * ((s < 32) ? 0.62 : 0.46)
        o = (s < 32) ? 0 : hw / 2           # round caps meet at the centre
        printf "stroke white stroke-width %.3f stroke-linecap %s fill none line %.3f,%.3f %.3f,%.3f\n", mw, cap, c, c + o, c, c - ml
        printf "stroke white stroke-width %.3f stroke-linecap %s fill none line %.3f,%.3f %.3f,%.3f\n", hw, cap, c - o, c, c + hl, c
        if (s >= 32)
            printf "stroke none fill white circle %.3f,%.3f %.3f,%.3f\n", c, c, c, c - hw * 0.8
    }'
}

frames=()
for s in "${sizes[@]}"; do
    args=()
    while IFS= read -r line; do
        args+=(-draw "$line")
    done < <(draw_commands "$s")
    "$convert" -size "${s}x${s}" xc:none "${args[@]}" -strip -define png:color-type=6 \
        "PNG32:$work/$s.png"
    frames+=("$work/$s.png")
done
# ImageMagick writes the DIB frames; pack-icon.py compresses the others and assembles the icon.
small=()
for s in "${sizes[@]}"; do
    if [ "$s" -lt "$png_from" ]; then
        small+=("$work/$s.png")
    else
        "$convert" "$work/$s.png" -depth 8 "RGBA:$work/$s.rgba"
    fi
done
"$convert" "${small[@]}" -strip "$work/dib.ico"
python3 "$here/pack-icon.py" "$work" "$png_from" "$out" "${out%.ico}-group.bin" "${sizes[@]}"
echo "wrote $out and ${out%.ico}-group.bin (${sizes[*]}; PNG from $png_from px)"
