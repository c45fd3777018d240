#!/usr/bin/env python3
"""Draws KWL's pictures and writes them as XPM files the C++ code includes.

Run from anywhere: python3 res/make_pictures.py
The .xpm files are committed, so building the program never needs Python.
Standard library only.
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# One character per pixel; no '"' or '\\' so the strings stay plain C.
CHARS = " .+@#$%&*=-;>,')!~{]^/(_:<[}|1234567890abcdefghijklmnopqrstuvwxyz"


# ---------------------------------------------------------------- canvas


class Canvas:
    """A picture as rows of palette indexes."""

    def __init__(self, w, h, palette, fill=0):
        self.w, self.h = w, h
        self.palette = list(palette)  # "#rrggbb" or "None"
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Fills columns x0..x1-1 and rows y0..y1-1."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y][x] = c

    def frame(self, c):
        self.rect(0, 0, self.w, 1, c)
        self.rect(0, self.h - 1, self.w, self.h, c)
        self.rect(0, 0, 1, self.h, c)
        self.rect(self.w - 1, 0, self.w, self.h, c)


def rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


def hexcolour(r, g, b):
    return "#%02X%02X%02X" % (r, g, b)


def grey_of(colour):
    """Luminance (ITU-R BT.601) as a grey."""
    if colour == "None":
        return colour
    r, g, b = rgb(colour)
    y = round(0.299 * r + 0.587 * g + 0.114 * b)
    return hexcolour(y, y, y)


def greyed(canvas):
    out = Canvas(canvas.w, canvas.h, [grey_of(c) for c in canvas.palette])
    out.px = [row[:] for row in canvas.px]
    return out


def write_xpm(canvas, name, comment):
    used = sorted({c for row in canvas.px for c in row})
    code = {c: CHARS[i] for i, c in enumerate(used)}
    lines = ["/* XPM */", "/* %s */" % comment,
             "static const char* const %s_xpm[] = {" % name,
             '"%d %d %d 1",' % (canvas.w, canvas.h, len(used))]
    for c in used:
        colour = canvas.palette[c]
        lines.append('"%s c %s",' % (code[c], colour))
    rows = ['"%s"' % "".join(code[c] for c in row) for row in canvas.px]
    lines.append(",\n".join(rows))
    lines.append("};")
    path = os.path.join(HERE, name + ".xpm")
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


# ---------------------------------------------------------------- flags

FRAME = "#505050"  # dark enough to outline gold and white on a light grey dialog


def flag_de():
    black, red, gold, frame = range(4)
    c = Canvas(19, 19, ["#000000", "#DD0000", "#FFCE00", FRAME])
    c.rect(0, 0, 19, 6, black)
    c.rect(0, 6, 19, 13, red)
    c.rect(0, 13, 19, 19, gold)
    c.frame(frame)
    return c


def flag_en():
    """Union flag squeezed into a square, drawn pixel by pixel.

    i runs along the columns and j along the rows, both from -9 to 9 with the
    centre pixel at 0. The white saltire is four diagonal steps wide: two of
    white, the red stripe, one of white. The red lies below the diagonal on
    the hoist (left) half and above it on the fly half, as on the real flag.
    """
    blue, white, red, frame = range(4)
    c = Canvas(19, 19, ["#012169", "#FFFFFF", "#C8102E", FRAME])
    for y in range(19):
        for x in range(19):
            i, j = x - 9, y - 9
            # steps from the diagonal through this quarter, positive below it
            d = j - i if (i < 0) == (j < 0) else j + i
            if i > 0:
                d = -d  # on the fly half the red lies above the diagonal
            colour = blue
            if -1 <= d <= 2:
                colour = red if d == 1 else white
            if abs(i) <= 2 or abs(j) <= 2:
                colour = white
            if abs(i) <= 1 or abs(j) <= 1:
                colour = red
            c.px[y][x] = colour
    c.frame(frame)
    return c


# ---------------------------------------------------------------- lettering
#
# Letters are unions of shapes given as predicates on a point; a pixel's
# coverage is sampled on a grid inside it, which smooths the slanted strokes.


def rect_shape(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def stroke_shape(ax, ay, bx, by, width):
    """A straight band of the given width from a to b with square ends."""
    dx, dy = bx - ax, by - ay
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    half = width / 2

    def inside(x, y):
        px, py = x - ax, y - ay
        along = px * ux + py * uy
        across = px * uy - py * ux
        return 0 <= along <= length and abs(across) <= half
    return inside


def clip(shape, x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1 and shape(x, y)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def slant_width(width, dx, dy):
    """Horizontal extent of a band of the given width running along (dx, dy)."""
    return width * math.hypot(dx, dy) / abs(dy)


def glyph(ch, x0, y0, w, h, t):
    """Block capital ch in the box (x0, y0, w, h) with stems t wide."""
    x1, y1 = x0 + w, y0 + h
    over = h  # slanted strokes run past the box and are cut square by it
    if ch == "K":
        s = 0.86 * t
        mid = y0 + 0.58 * h
        # upper arm: from the stem to the top right corner
        ax, ay, bx, by = x0 + t * 0.6, mid, x1 - slant_width(s, w, h) / 2, y0
        ux, uy = bx - ax, by - ay
        k = over / math.hypot(ux, uy)
        upper = stroke_shape(ax, ay, bx + ux * k, by + uy * k, s)
        # leg: from the arm's middle to the bottom right corner
        lx = x0 + t + (w - t) * 0.22
        ly = y0 + 0.42 * h
        ex, ey = x1 - slant_width(s, w, h) / 2, y1
        vx, vy = ex - lx, ey - ly
        k = over / math.hypot(vx, vy)
        leg = stroke_shape(lx, ly, ex + vx * k, ey + vy * k, s)
        shape = union(rect_shape(x0, y0, x0 + t, y1), upper, leg)
    elif ch == "W":
        s = 0.86 * t
        # four strokes: down, up, down, up; the centre peak reaches the top
        sw = slant_width(s, w / 4, h)
        xs = [x0 + sw / 2, x0 + w * 0.27, x0 + w / 2, x0 + w * 0.73, x1 - sw / 2]
        ys = [y0, y1, y0, y1, y0]
        parts = []
        for a in range(4):
            ax, ay, bx, by = xs[a], ys[a], xs[a + 1], ys[a + 1]
            ux, uy = bx - ax, by - ay
            k = over / math.hypot(ux, uy)
            parts.append(stroke_shape(ax - ux * k, ay - uy * k,
                                      bx + ux * k, by + uy * k, s))
        shape = union(*parts)
    elif ch == "L":
        shape = union(rect_shape(x0, y0, x0 + t, y1),
                      rect_shape(x0, y1 - t, x1, y1))
    elif ch == "A":
        s = 0.86 * t
        sw = slant_width(s, w / 2, h)
        top = x0 + w / 2
        # both legs run from the apex at the top centre, extended past the box
        lk = (x0 + sw / 2 - top) / h
        rk = (x1 - sw / 2 - top) / h
        left = stroke_shape(top - lk * over, y0 - over, x0 + sw / 2 + lk * over, y1 + over, s)
        right = stroke_shape(top - rk * over, y0 - over, x1 - sw / 2 + rk * over, y1 + over, s)
        bar = rect_shape(x0, y0 + 0.58 * h, x1, y0 + 0.58 * h + t * 0.8)
        shape = union(left, right, bar)
    elif ch == "E":
        shape = union(rect_shape(x0, y0, x0 + t, y1),
                      rect_shape(x0, y0, x1, y0 + t),
                      rect_shape(x0, y0 + (h - t) / 2, x1 - w * 0.12, y0 + (h + t) / 2),
                      rect_shape(x0, y1 - t, x1, y1))
    elif ch == "N":
        s = 0.95 * t
        sw = slant_width(s, w, h)
        ax, ay = x0 + sw / 2, y0
        bx, by = x1 - sw / 2, y1
        ux, uy = bx - ax, by - ay
        k = over / math.hypot(ux, uy)
        diag = stroke_shape(ax - ux * k, ay - uy * k, bx + ux * k, by + uy * k, s)
        shape = union(rect_shape(x0, y0, x0 + t, y1),
                      rect_shape(x1 - t, y0, x1, y1), diag)
    else:
        raise ValueError(ch)
    return clip(shape, x0, y0, x1, y1)


def coverage(shape, x, y, n=4):
    hits = 0
    for sy in range(n):
        for sx in range(n):
            if shape(x + (sx + 0.5) / n, y + (sy + 0.5) / n):
                hits += 1
    return hits / (n * n)


def paint(canvas, shape, box, shade, greys):
    """Paints shape over black; shade(y) gives the grey level of full cover.

    greys lists (palette index, level) pairs to choose the nearest from.
    """
    x0, y0, x1, y1 = box
    for y in range(max(0, y0), min(canvas.h, y1)):
        for x in range(max(0, x0), min(canvas.w, x1)):
            cov = coverage(shape, x, y)
            if cov == 0:
                continue
            level = cov * shade(y + 0.5)
            best = min(greys, key=lambda g: abs(g[1] - level))
            canvas.px[y][x] = best[0]


def grey_ramp(count, top):
    """count greys from black to top, evenly spaced, as palette entries."""
    levels = [round(top * k / (count - 1)) for k in range(count)]
    return [hexcolour(v, v, v) for v in levels], levels


def silver(top, bottom):
    """Brushed silver: bright at the top, a darker band just under the middle,
    lighter again towards the bottom."""
    h = bottom - top

    def shade(y):
        f = (y - top) / h
        if f < 0.52:
            return 240 - 70 * (f / 0.52)
        return 130 + 70 * ((f - 0.52) / 0.48)
    return shade


def lettering(canvas, text, x, y, widths, h, t, gap, shade, greys):
    for ch, w in zip(text, widths):
        paint(canvas, glyph(ch, x, y, w, h, t), (x, y, x + w + 1, y + h + 1),
              shade, greys)
        x += w + gap


# ---------------------------------------------------------------- logo, icon

ACCENT = ["#1C3F6E", "#2F6DB5", "#5B9BE0"]  # thin blue line, faded at its ends


def logo():
    greys, levels = grey_ramp(13, 240)
    canvas = Canvas(218, 77, greys + ACCENT)
    ramp = list(enumerate(levels))
    # KWL: cap height 46, stems 13
    widths, gap = [56, 76, 44], 9
    total = sum(widths) + gap * 2
    x = (218 - total) // 2
    lettering(canvas, "KWL", x, 5, widths, 46, 13, gap, silver(5, 51), ramp)
    # accent line under the capitals, brighter in the middle
    dim, mid, bright = (len(greys) + k for k in range(3))
    left, right = x, x + total
    for px in range(left, right):
        f = (px - left) / (right - left)
        edge = min(f, 1 - f)
        canvas.px[57][px] = dim if edge < 0.08 else mid if edge < 0.25 else bright
    # the long name in spaced small capitals, under the line on the right
    small = [8, 9, 11, 7, 7, 8]
    sgap = 5
    width = sum(small) + sgap * (len(small) - 1)
    sx = right - width
    lettering(canvas, "KAWLEN", sx, 62, small, 10, 2.2, sgap, lambda y: 200, ramp)
    return canvas


def icon():
    greys, levels = grey_ramp(14, 230)
    canvas = Canvas(32, 32, greys + ACCENT[1:2])
    ramp = list(enumerate(levels))
    widths, gap = [9, 12, 7], 1
    lettering(canvas, "KWL", 1, 7, widths, 16, 3, gap, silver(7, 23), ramp)
    blue = len(greys)
    canvas.rect(1, 26, 31, 27, blue)
    return canvas


def main():
    de, en = flag_de(), flag_en()
    write_xpm(de, "flag_de", "KWL: German flag, language button, 19x19")
    write_xpm(greyed(de), "flag_de_grey", "KWL: German flag in grey, disabled button, 19x19")
    write_xpm(en, "flag_en", "KWL: Union flag, language button, 19x19")
    write_xpm(greyed(en), "flag_en_grey", "KWL: Union flag in grey, disabled button, 19x19")
    write_xpm(logo(), "logo", "KWL: About box logo on black, 218x77")
    write_xpm(icon(), "icon", "KWL: application icon, 32x32")


if __name__ == "__main__":
    main()
