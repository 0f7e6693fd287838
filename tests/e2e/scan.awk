# Reads a plain PPM of a screen rectangle whose top left is (l, t) and prints shell
# assignments: pixel counts by colour (black ones among the other ones, and apart), the row
# groups of clock pixels, and a clock pixel deep inside a stroke to click on. Colours are given
# as "r g b" in clock and desk.
function near(p, c) {
    return (v[p] - c[1]) ^ 2 <= 64 && (v[p + 1] - c[2]) ^ 2 <= 64 && (v[p + 2] - c[3]) ^ 2 <= 64
}
{ for (i = 1; i <= NF; i++) v[n++] = $i }
END {
    split(clock, cc, " ")
    split(desk, dc, " ")
    w = v[1]; h = v[2]; p = 4
    total = 0; nclock = 0; ndesk = 0; nwhite = 0; nother = 0; nblack = 0; minx = -1; maxx = -1
    for (y = 0; y < h; y++) for (x = 0; x < w; x++) {
        total++
        if (near(p, cc)) {
            isclock[y, x] = 1; nclock++; rowhits[y]++
            if (minx < 0 || x < minx) minx = x
            if (x > maxx) maxx = x
        } else if (near(p, dc)) {
            ndesk++
        } else if (v[p] >= 245 && v[p + 1] >= 245 && v[p + 2] >= 245) {
            nwhite++
        } else {
            nother++
            if (v[p] <= 16 && v[p + 1] <= 16 && v[p + 2] <= 16) nblack++
        }
        p += 3
    }
    bands = 0; list = ""; s = -1
    for (y = 0; y <= h; y++) {
        if (y < h && rowhits[y] >= 2) { if (s < 0) s = y }
        else if (s >= 0) { bands++; list = list (t + s) "-" (t + y - 1) " "; s = -1 }
    }
    cx = ""; cy = ""
    for (y = 1; y < h - 1 && cx == ""; y++) for (x = 1; x < w - 1; x++) {
        deep = 1
        for (dy = -1; dy <= 1; dy++) for (dx = -1; dx <= 1; dx++)
            if (!isclock[y + dy, x + dx]) deep = 0
        if (deep) { cx = l + x; cy = t + y; break }
    }
    printf "px_total=%d px_clock=%d px_desktop=%d px_white=%d px_other=%d px_black=%d\n", total, nclock, ndesk, nwhite, nother, nblack
    printf "bands=%d band_list='%s' clock_minx=%d clock_maxx=%d\n", bands, list, minx < 0 ? -1 : l + minx, maxx < 0 ? -1 : l + maxx
    printf "click_x=%s click_y=%s\n", cx, cy
}
