"""A tiny raster canvas with a built-in 5x7 pixel font, and writers for BMP, ICO and (for previews) PNG.

Only the Python standard library is used, so the pictures can be remade on any developer machine.
"""

import struct
import zlib

# 5x7 glyphs, one string of five characters per row ('#' = ink).
_GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
    ".": [".....", ".....", ".....", ".....", ".....", ".##..", ".##.."],
    ",": [".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."],
    ":": [".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."],
    ";": [".....", ".##..", ".##..", ".....", ".##..", "..#..", ".#..."],
    "-": [".....", ".....", ".....", "#####", ".....", ".....", "....."],
    "+": [".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."],
    "=": [".....", ".....", "#####", ".....", "#####", ".....", "....."],
    "_": [".....", ".....", ".....", ".....", ".....", ".....", "#####"],
    "(": ["...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."],
    ")": [".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."],
    "{": ["..##.", ".#...", ".#...", "#....", ".#...", ".#...", "..##."],
    "}": [".##..", "...#.", "...#.", "....#", "...#.", "...#.", ".##.."],
    "/": [".....", "....#", "...#.", "..#..", ".#...", "#....", "....."],
    "\\": [".....", "#....", ".#...", "..#..", "...#.", "....#", "....."],
    ">": [".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."],
    "<": ["...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."],
    "!": ["..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."],
    "*": [".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."],
    # Cyrillic capitals
    "Б": ["#####", "#....", "#....", "####.", "#...#", "#...#", "####."],
    "Г": ["#####", "#....", "#....", "#....", "#....", "#....", "#...."],
    "Д": [".###.", ".#.#.", ".#.#.", ".#.#.", ".#.#.", "#####", "#...#"],
    "Ж": ["#.#.#", "#.#.#", ".###.", "..#..", ".###.", "#.#.#", "#.#.#"],
    "И": ["#...#", "#...#", "#..##", "#.#.#", "##..#", "#...#", "#...#"],
    "Й": [".#.#.", "#...#", "#..##", "#.#.#", "##..#", "#...#", "#...#"],
    "К": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "Л": ["..###", ".#..#", ".#..#", ".#..#", ".#..#", ".#..#", "#...#"],
    "П": ["#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#"],
    "У": ["#...#", "#...#", "#...#", ".####", "....#", "#...#", ".###."],
    "Ф": ["..#..", ".###.", "#.#.#", "#.#.#", "#.#.#", ".###.", "..#.."],
    "Ц": ["#..#.", "#..#.", "#..#.", "#..#.", "#..#.", "#####", "....#"],
    "Ч": ["#...#", "#...#", "#...#", ".####", "....#", "....#", "....#"],
    "Ш": ["#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", "#.#.#", "#####"],
    "Ы": ["#...#", "#...#", "#...#", "###.#", "#.#.#", "#.#.#", "###.#"],
    "Э": [".###.", "#...#", "....#", "..###", "....#", "#...#", ".###."],
    "Ю": ["#..#.", "#.#.#", "#.#.#", "###.#", "#.#.#", "#.#.#", "#..#."],
    "Я": [".####", "#...#", "#...#", ".####", "..#.#", ".#..#", "#...#"],
}
# Letters that look the same in both alphabets.
for _lat, _cyr in zip("ABEHKMOPCTX", "АВЕНКМОРСТХ"):
    _GLYPHS.setdefault(_cyr, _GLYPHS[_lat])

GLYPH_W, GLYPH_H = 5, 7

# The sixteen colours of the standard VGA palette, in the order Windows uses for 4-bit pictures.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = VGA16[0:8]
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = VGA16[8:16]


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Canvas:
    """Pixels as RGB tuples, or None where an icon is transparent."""

    def __init__(self, w, h, bg=SILVER):
        self.w, self.h = w, h
        self.pix = [[bg] * w for _ in range(h)]
        self.clip = None  # optional predicate (x, y) -> bool limiting every drawing call

    def px(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h and (self.clip is None or self.clip(x, y)):
            self.pix[y][x] = c

    def get(self, x, y):
        return self.pix[y][x]

    def rect(self, x0, y0, x1, y1, c):
        """Fills x0 <= x < x1, y0 <= y < y1."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.hline(x0, x1 - 1, y0, c)
        self.hline(x0, x1 - 1, y1 - 1, c)
        self.vline(x0, y0, y1 - 1, c)
        self.vline(x1 - 1, y0, y1 - 1, c)

    def hline(self, x0, x1, y, c):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.px(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.px(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.px(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def ellipse(self, cx, cy, rx, ry, c, fill=True):
        """An ellipse centred on the pixel centre (cx, cy); fill or a one-pixel outline."""
        for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
            for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 if rx and ry else 2
                if fill and d <= 1.0:
                    self.px(x, y, c)
                elif not fill and d <= 1.0:
                    # on the outline when a 4-neighbour lies outside
                    for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                        if ((nx - cx) / rx) ** 2 + ((ny - cy) / ry) ** 2 > 1.0:
                            self.px(x, y, c)
                            break

    def disc(self, cx, cy, r, c):
        self.ellipse(cx, cy, r, r, c)

    def polygon(self, pts, c):
        """Fills a polygon by the even-odd rule, sampling pixel centres."""
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            xs = []
            for i in range(len(pts)):
                (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % len(pts)]
                if (y0 <= yc < y1) or (y1 <= yc < y0):
                    xs.append(x0 + (yc - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(round(xs[i])), int(round(xs[i + 1]))):
                    self.px(x, y, c)

    def vgradient(self, x0, y0, x1, y1, top, bottom, steps=16):
        """Vertical gradient in a limited number of bands, to keep the palette small."""
        h = max(1, y1 - y0)
        for y in range(y0, y1):
            band = min(steps - 1, (y - y0) * steps // h)
            self.rect(x0, y, x1, y + 1, mix(top, bottom, band / max(1, steps - 1)))

    def bevel(self, x0, y0, x1, y1, raised=True, width=1, light=WHITE, dark=GREY, darkest=None):
        """A 3-D edge inside the rectangle, as Windows draws buttons and sunken panels."""
        hi, lo = (light, dark) if raised else (dark, light)
        for i in range(width):
            self.hline(x0 + i, x1 - 1 - i, y0 + i, hi)
            self.vline(x0 + i, y0 + i, y1 - 1 - i, hi)
            self.hline(x0 + i, x1 - 1 - i, y1 - 1 - i, lo)
            self.vline(x1 - 1 - i, y0 + i, y1 - 1 - i, lo)
        if darkest is not None:
            self.hline(x0, x1 - 1, y1 - 1, darkest)
            self.vline(x1 - 1, y0, y1 - 1, darkest)

    def text(self, x, y, s, c, scale=1, spacing=1):
        """Draws s with the pixel font; returns the x after the last glyph."""
        for ch in s:
            glyph = _GLYPHS.get(ch) or _GLYPHS.get(ch.upper()) or _GLYPHS["*"]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == "#":
                        self.rect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, c)
            x += (GLYPH_W + spacing) * scale
        return x

    def glyph_cells(self, ch):
        glyph = _GLYPHS.get(ch) or _GLYPHS["*"]
        return [(gx, gy) for gy, row in enumerate(glyph) for gx, bit in enumerate(row) if bit == "#"]

    def centered_text(self, cx, y, s, c, scale=1, spacing=1):
        self.text(cx - text_width(s, scale, spacing) // 2, y, s, c, scale, spacing)


def text_width(s, scale=1, spacing=1):
    return (len(s) * (GLYPH_W + spacing) - spacing) * scale if s else 0


def _nearest(c, palette):
    return min(range(len(palette)), key=lambda i: sum((c[k] - palette[i][k]) ** 2 for k in range(3)))


def _palette_of(canvas):
    colours = sorted({c for row in canvas.pix for c in row if c is not None})
    if len(colours) > 256:
        raise ValueError("picture uses %d colours; an 8-bit bitmap holds 256" % len(colours))
    return colours


def _bmp_rows(canvas, palette, bits, transparent_index=0):
    index = {c: i for i, c in enumerate(palette)}
    per_byte = 8 // bits
    stride = ((canvas.w * bits + 31) // 32) * 4
    out = bytearray()
    for y in range(canvas.h - 1, -1, -1):  # bottom-up
        row = bytearray(stride)
        for x in range(canvas.w):
            c = canvas.pix[y][x]
            i = transparent_index if c is None else index.get(c, None)
            if i is None:
                i = _nearest(c, palette)
            shift = (per_byte - 1 - x % per_byte) * bits
            row[x // per_byte] |= i << shift
        out += row
    return bytes(out)


def bmp8_bytes(canvas):
    """An 8-bit bitmap file with a palette of exactly the colours used."""
    palette = _palette_of(canvas)
    bits = _bmp_rows(canvas, palette, 8)
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 8, 0, len(bits), 2835, 2835, len(palette), 0)
    return b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset) + header + pal + bits


def ico4_bytes(canvas):
    """A 32x32 icon file with 16 colours (the VGA palette) and a transparency mask from the None pixels."""
    assert canvas.w == 32 and canvas.h == 32
    xor = _bmp_rows(canvas, VGA16, 4)
    mask = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray(4)
        for x in range(canvas.w):
            if canvas.pix[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA16)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + pal + xor + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + image


def write_png(canvas, path, scale=1, background=(0, 128, 128)):
    """A preview for people: not used by the build."""
    raw = bytearray()
    for y in range(canvas.h * scale):
        raw.append(0)
        for x in range(canvas.w * scale):
            c = canvas.pix[y // scale][x // scale]
            raw += bytes(background if c is None else c)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", canvas.w * scale, canvas.h * scale, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                + chunk(b"IEND", b""))
