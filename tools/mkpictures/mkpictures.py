#!/usr/bin/env python3
"""Draws the bitmaps and icons of tnsetup into setup/resources/.

The generated files are committed; run this only to change the pictures:

    python3 tools/mkpictures/mkpictures.py            # writes setup/resources/*.bmp, *.ico
    python3 tools/mkpictures/mkpictures.py --preview DIR   # also writes enlarged PNG previews to DIR
    python3 tools/mkpictures/mkpictures.py --check         # fails when a committed file differs

Sizes follow where the pictures are drawn: the logo at the top right and the copyright strip at the
bottom right of a 640x480 screen, clear of the 400x150 advertising and progress windows; the five
advertising pictures at (10, 10) inside the advertising window, with the text to their right; the
country picture in the 64x64 dialog-unit frame of the country dialog, the disk picture in the 36x36 frame
of the insert-disk dialog (1 dialog unit is 1.5 x 1.625 pixels with an 8-point dialog font).
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raster import (BLACK, BLUE, Canvas, GREEN, GREY, MAROON, NAVY, PURPLE, RED,  # noqa: E402
                    SILVER, TEAL, WHITE, YELLOW, bmp8_bytes, ico4_bytes, mix, text_width, write_png)

DIALOG_GREY = SILVER  # the dialogs and the advertising window paint on RGB 192, 192, 192


# ---------------------------------------------------------------------------------------------------------
# Bitmaps


def logo():
    """TARNOLOG1: the product name on a bevelled plaque, 200x80."""
    c = Canvas(200, 80)
    c.vgradient(0, 0, 200, 80, (236, 242, 255), (150, 176, 236), steps=20)
    c.bevel(0, 0, 200, 80, raised=True, width=2, light=WHITE, dark=(72, 88, 140))
    word, scale, spacing = "TARNO", 6, 1
    x = (200 - text_width(word, scale, spacing)) // 2
    y = 8
    # soft shadow, then letters with a red-to-dark-red fill and a light top edge per cell
    c.text(x + 3, y + 3, word, (64, 76, 120), scale, spacing)
    for ch in word:
        cells = set(c.glyph_cells(ch))
        for gx, gy in cells:
            for dy in range(scale):
                colour = mix((236, 48, 40), (128, 0, 16), (gy * scale + dy) / (7 * scale))
                c.rect(x + gx * scale, y + gy * scale + dy, x + (gx + 1) * scale, y + gy * scale + dy + 1, colour)
            if (gx, gy - 1) not in cells:
                c.rect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + gy * scale + 1, (255, 170, 150))
        x += (5 + spacing) * scale
    # a thin three-colour rule and the subtitle
    for i, colour in enumerate((WHITE, (0, 56, 168), (214, 24, 32))):
        c.rect(14, 57 + i * 2, 186, 59 + i * 2, colour)
    c.centered_text(100, 66, "CYRILLIC FOR WINDOWS 95", NAVY)
    return c


def copyright_strip():
    """COPW: a grey strip with the copyright line, 220x24."""
    c = Canvas(220, 24, DIALOG_GREY)
    c.bevel(0, 0, 220, 24, raised=True, width=1, light=WHITE, dark=GREY, darkest=BLACK)
    # the product emblem: a red square with a white T
    c.rect(5, 4, 21, 20, (200, 16, 24))
    c.bevel(5, 4, 21, 20, raised=True, light=(255, 120, 110), dark=MAROON)
    c.rect(8, 7, 18, 9, WHITE)
    c.rect(12, 9, 14, 18, WHITE)
    c.text(28, 9, "(C) TARNO. ALL RIGHTS RESERVED.", BLACK)
    return c


def _globe(c, cx, cy, r):
    inside = lambda x, y: (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r
    # ocean, lighter towards the upper left
    for i in range(8):
        shade = mix((16, 48, 150), (96, 160, 255), i / 7)
        rr = r * (1 - i * 0.09)
        off = i * r * 0.06
        c.disc(cx - off, cy - off, rr, shade)
    c.clip = inside
    land = (34, 150, 60)
    dark_land = (20, 104, 40)
    continents = [
        [(cx - r * 0.95, cy - r * 0.45), (cx - r * 0.35, cy - r * 0.8), (cx + r * 0.1, cy - r * 0.65),
         (cx - r * 0.05, cy - r * 0.2), (cx - r * 0.4, cy - r * 0.05), (cx - r * 0.55, cy + r * 0.35),
         (cx - r * 0.9, cy + r * 0.1)],
        [(cx + r * 0.2, cy - r * 0.95), (cx + r * 1.0, cy - r * 0.6), (cx + r * 0.95, cy - r * 0.05),
         (cx + r * 0.55, cy + r * 0.1), (cx + r * 0.3, cy - r * 0.3)],
        [(cx - r * 0.1, cy + r * 0.25), (cx + r * 0.45, cy + r * 0.3), (cx + r * 0.35, cy + r * 0.8),
         (cx + r * 0.05, cy + r * 1.0), (cx - r * 0.2, cy + r * 0.6)],
    ]
    for poly in continents:
        c.polygon([(x + 1, y + 1) for x, y in poly], dark_land)
        c.polygon(poly, land)
    # meridians and parallels
    grid = (150, 200, 255)
    for k in (-0.5, 0.0, 0.5):
        c.ellipse(cx, cy, max(1.0, r * abs(math.sin(k * math.pi / 1.6)) + (0.6 if k == 0 else 0)), r, grid,
                  fill=False)
        y = cy + k * r * 0.9
        half = math.sqrt(max(0.0, r * r - (y - cy) ** 2))
        c.hline(int(cx - half), int(cx + half), int(y), grid)
    c.clip = None
    c.ellipse(cx, cy, r, r, (8, 24, 90), fill=False)


def _flag(c, x, y, stripes):
    """A small flag of horizontal stripes on a pole; (x, y) is the pole's top."""
    c.vline(x, y, y + 30, (96, 56, 24))
    c.vline(x + 1, y, y + 30, (150, 96, 48))
    w, h = 20, 15
    band = h // len(stripes)
    for i, colour in enumerate(stripes):
        for yy in range(band):
            for xx in range(w):
                wave = int(round(1.5 * math.sin((xx / w) * math.pi * 1.5)))
                c.px(x + 2 + xx, y + 1 + i * band + yy + wave, colour)
    # outline along the free edge
    for xx in range(w):
        wave = int(round(1.5 * math.sin((xx / w) * math.pi * 1.5)))
        c.px(x + 2 + xx, y + wave, (60, 60, 60))
        c.px(x + 2 + xx, y + 1 + band * len(stripes) + wave, (60, 60, 60))
    c.disc(x + 0.5, y - 1, 1.6, YELLOW)


def nation():
    """NATION: a globe with three flags, 96x96, on the dialog grey."""
    c = Canvas(96, 96, DIALOG_GREY)
    c.ellipse(40, 86, 30, 5, (160, 160, 160))  # shadow on the ground
    _globe(c, 38, 40, 33)
    _flag(c, 50, 40, [WHITE, (0, 56, 168), (214, 24, 32)])
    _flag(c, 61, 52, [(0, 87, 183), (255, 215, 0)])
    _flag(c, 72, 64, [WHITE, (214, 24, 32), WHITE])
    return c


def _floppy(c, x, y, s, body=(24, 32, 104), label="1"):
    """A 3.5-inch disk of s x s pixels at (x, y)."""
    c.rect(x, y, x + s, y + s, body)
    c.frame(x, y, x + s, y + s, BLACK)
    c.px(x + s - 1, y, DIALOG_GREY)
    c.rect(x + s - 3, y + 1, x + s - 1, y + 3, DIALOG_GREY)
    # metal shutter
    sx0, sx1 = x + s // 4, x + s * 3 // 4
    c.rect(sx0, y + 1, sx1, y + s * 3 // 8, (200, 204, 212))
    c.frame(sx0, y + 1, sx1, y + s * 3 // 8, (96, 96, 104))
    c.rect(sx0 + (sx1 - sx0) * 3 // 5, y + 3, sx0 + (sx1 - sx0) * 4 // 5, y + s * 3 // 8 - 2, (64, 64, 72))
    # label
    c.rect(x + 3, y + s // 2, x + s - 3, y + s - 1, WHITE)
    c.frame(x + 3, y + s // 2, x + s - 3, y + s - 1, (160, 160, 160))
    for i in range(2):
        c.hline(x + 5, x + s - 6, y + s // 2 + 4 + i * 3, (120, 140, 200))
    if label:
        c.text(x + s - 10, y + s // 2 + 2, label, (200, 16, 24))


def direct():
    """DIRECT: an open folder with a disk in front, 48x48, on the dialog grey."""
    c = Canvas(48, 48, DIALOG_GREY)
    back, front, edge = (232, 196, 72), (255, 226, 110), (150, 110, 20)
    c.polygon([(3, 10), (16, 10), (19, 14), (40, 14), (40, 36), (3, 36)], back)
    c.line(3, 10, 16, 10, edge)
    c.line(16, 10, 19, 14, edge)
    c.line(19, 14, 40, 14, edge)
    c.vline(3, 10, 36, edge)
    c.vline(40, 14, 36, edge)
    # papers sticking out
    c.rect(8, 12, 30, 30, WHITE)
    c.frame(8, 12, 30, 30, (150, 150, 150))
    for i in range(3):
        c.hline(11, 26, 16 + i * 3, (120, 140, 200))
    c.polygon([(2, 20), (38, 20), (44, 40), (6, 40)], front)
    c.line(2, 20, 38, 20, edge)
    c.line(38, 20, 44, 40, edge)
    c.line(44, 40, 6, 40, edge)
    c.line(6, 40, 2, 20, edge)
    _floppy(c, 26, 24, 20, label=None)
    return c


def _advert_panel(caption):
    """The common frame of the advertising pictures: a sunken panel with a caption band, 96x112."""
    c = Canvas(96, 112, DIALOG_GREY)
    c.bevel(0, 0, 96, 112, raised=False, width=1, light=WHITE, dark=GREY)
    c.vgradient(1, 1, 95, 95, (250, 252, 255), (196, 212, 246), steps=12)
    c.rect(1, 95, 95, 111, NAVY)
    c.centered_text(48, 100, caption, WHITE)
    return c


def advert_registration():
    """TARNOINF1: the registration card going into an envelope."""
    c = _advert_panel("REGISTER")
    # envelope
    c.rect(10, 44, 86, 88, WHITE)
    c.frame(10, 44, 86, 88, (90, 90, 110))
    c.line(10, 88, 48, 64, (150, 150, 170))
    c.line(86, 88, 48, 64, (150, 150, 170))
    # the card half out of the envelope
    c.rect(18, 12, 78, 58, (255, 250, 220))
    c.frame(18, 12, 78, 58, (140, 110, 40))
    c.centered_text(48, 16, "CARD", (200, 16, 24))
    for i in range(5):
        c.hline(23, 72, 28 + i * 5, (150, 150, 180))
    # the envelope's flap over the card
    c.polygon([(10, 44), (86, 44), (48, 68)], (236, 236, 244))
    c.line(10, 44, 48, 68, (90, 90, 110))
    c.line(86, 44, 48, 68, (90, 90, 110))
    # stamp
    c.rect(68, 70, 82, 84, (214, 24, 32))
    c.frame(68, 70, 82, 84, WHITE)
    c.disc(75, 77, 4, (96, 160, 255))
    return c


def _page(c, x, y, w, h, paper, title, title_bg, title_fg):
    c.rect(x + 2, y + 2, x + w + 2, y + h + 2, (120, 120, 140))
    c.rect(x, y, x + w, y + h, paper)
    c.frame(x, y, x + w, y + h, BLACK)
    c.rect(x + 1, y + 1, x + w - 1, y + 10, title_bg)
    c.centered_text(x + w // 2, y + 2, title, title_fg)


def advert_editor():
    """TARNOINF2: a DOS text and a Windows text with arrows between them (text conversion)."""
    c = _advert_panel("866 - 1251")
    _page(c, 6, 8, 40, 50, BLACK, "DOS", (0, 0, 168), WHITE)
    for i, word in enumerate(("ЖУК", "ДОМ", "ЛЕС")):
        c.text(10, 22 + i * 10, word, (192, 192, 192))
    _page(c, 50, 36, 40, 50, WHITE, "WIN", NAVY, WHITE)
    for i, word in enumerate(("ЖУК", "ДОМ", "ЛЕС")):
        c.text(54, 50 + i * 10, word, BLACK)
    # arrows
    red, blue = (214, 24, 32), (0, 72, 200)
    c.rect(30, 66, 44, 70, red)
    c.polygon([(44, 62), (50, 68), (44, 74)], red)
    c.rect(54, 24, 68, 28, blue)
    c.polygon([(54, 20), (48, 26), (54, 32)], blue)
    return c


def _keyboard(c, x, y, w, h, rows, key_fg=BLACK, key=WHITE, pressed=None):
    """A keyboard with the given rows of key captions (single characters); pressed = (row, index) is
    drawn held down. Returns the rectangle of the pressed key."""
    c.rect(x, y, x + w, y + h, (176, 176, 184))
    c.bevel(x, y, x + w, y + h, raised=True, width=1, light=WHITE, dark=GREY, darkest=BLACK)
    n = len(rows)
    kh = (h - 4) // n
    hit = None
    for r, row in enumerate(rows):
        kw = (w - 4 - r * 2) // max(1, len(row))
        for i, ch in enumerate(row):
            kx, ky = x + 2 + r * 2 + i * kw, y + 2 + r * kh
            down = pressed == (r, i)
            c.rect(kx, ky, kx + kw - 1, ky + kh - 1, (255, 226, 110) if down else key)
            c.bevel(kx, ky, kx + kw - 1, ky + kh - 1, raised=not down, light=WHITE, dark=(128, 128, 136))
            if ch != " " and kw >= 7 and kh >= 9:
                c.text(kx + (kw - 1 - 5) // 2 + down, ky + (kh - 1 - 7) // 2 + down, ch,
                       (200, 16, 24) if down else key_fg)
            if down:
                hit = (kx, ky, kx + kw - 1, ky + kh - 1)
    return hit


def advert_keyboard_editor():
    """TARNOINF3: a keyboard and the layout indicator's menu with a new layout being added."""
    c = _advert_panel("LAYOUTS")
    _keyboard(c, 4, 56, 88, 36, ["ЙЦУКЕН", "ФЫВАПР", "ЯЧСМИТ"])
    # the indicator's menu
    c.rect(40, 6, 90, 50, WHITE)
    c.bevel(40, 6, 90, 50, raised=True, width=1, light=WHITE, dark=GREY, darkest=BLACK)
    items = ["LAT", "CYR", "+ NEW"]
    for i, item in enumerate(items):
        y = 9 + i * 13
        if i == 2:
            c.rect(42, y, 88, y + 12, NAVY)
        c.text(46, y + 3, item, WHITE if i == 2 else BLACK)
    # the indicator in the corner
    c.rect(8, 10, 30, 26, (0, 72, 200))
    c.bevel(8, 10, 30, 26, raised=True, light=(120, 170, 255), dark=NAVY)
    c.text(17, 14, "Я", WHITE)
    return c


def _arrow_cursor(c, x, y):
    shape = [
        "X..........",
        "XX.........",
        "XOX........",
        "XOOX.......",
        "XOOOX......",
        "XOOOOX.....",
        "XOOOOOX....",
        "XOOOOOOX...",
        "XOOOOOOOX..",
        "XOOOOOXXXX.",
        "XOOXOOX....",
        "XOX.XOOX...",
        "XX..XOOX...",
        "X....XOOX..",
        ".....XOOX..",
        "......XX...",
    ]
    for dy, row in enumerate(shape):
        for dx, ch in enumerate(row):
            if ch == "X":
                c.px(x + dx, y + dy, BLACK)
            elif ch == "O":
                c.px(x + dx, y + dy, WHITE)


def advert_keyboard():
    """TARNOINF4: an on-screen keyboard with Cyrillic captions, typed on with the mouse."""
    c = _advert_panel("KEYBOARD")
    x0, y0, x1, y1 = _keyboard(c, 3, 20, 90, 56, ["ЙЦУКЕН", "ФЫВАПР", "ЯЧСМИТ", "ЖЭБЮШ"], key_fg=NAVY,
                               pressed=(3, 0))
    _arrow_cursor(c, (x0 + x1) // 2 + 1, (y0 + y1) // 2)
    # the typed text above the keyboard
    c.rect(6, 5, 90, 16, WHITE)
    c.frame(6, 5, 90, 16, (90, 90, 110))
    c.text(9, 7, "ЖУК_", BLACK)
    return c


def advert_viewer():
    """TARNOINF5: a framed landscape picture with the picture formats below."""
    c = _advert_panel("BMP ICO WMF")
    # frame
    c.rect(8, 10, 88, 78, (150, 100, 40))
    c.bevel(8, 10, 88, 78, raised=True, width=2, light=(210, 160, 90), dark=(96, 56, 16))
    x0, y0, x1, y1 = 14, 16, 82, 72
    c.vgradient(x0, y0, x1, y1 - 16, (60, 130, 240), (200, 226, 255), steps=10)
    c.disc(68, 28, 6, (255, 220, 40))
    c.clip = lambda x, y: x0 <= x < x1 and y0 <= y < y1
    c.polygon([(x0, 60), (32, 34), (46, 52), (58, 38), (x1, 62), (x1, y1), (x0, y1)], (110, 110, 130))
    c.polygon([(30, 38), (32, 34), (35, 38)], WHITE)
    c.polygon([(56, 41), (58, 38), (61, 42)], WHITE)
    c.ellipse(30, 74, 30, 14, (40, 150, 60))
    c.ellipse(70, 76, 28, 14, (28, 120, 48))
    c.clip = None
    c.text(10, 84, "*.BMP  *.DIB", NAVY)
    return c


# ---------------------------------------------------------------------------------------------------------
# Icons: 32x32, the sixteen VGA colours, transparent where nothing is drawn.


def _icon():
    return Canvas(32, 32, None)


def icon_program_files():
    """Program files: a disk with the product's T."""
    c = _icon()
    c.rect(3, 3, 29, 29, NAVY)
    c.frame(3, 3, 29, 29, BLACK)
    c.rect(9, 4, 23, 12, SILVER)
    c.frame(9, 4, 23, 12, GREY)
    c.rect(18, 5, 21, 11, BLACK)
    c.rect(6, 15, 26, 28, WHITE)
    c.frame(6, 15, 26, 28, GREY)
    c.rect(11, 17, 21, 19, RED)
    c.rect(15, 19, 17, 27, RED)
    return c


def icon_layouts():
    """Keyboard layouts: a keyboard with a Cyrillic letter badge."""
    c = _icon()
    c.rect(1, 16, 31, 30, SILVER)
    c.frame(1, 16, 31, 30, BLACK)
    for r in range(3):
        for i in range(6 - (1 if r == 2 else 0)):
            kx, ky = 3 + r + i * 4 + (2 if r == 2 else 0), 18 + r * 4
            c.rect(kx, ky, kx + 3, ky + 3, WHITE)
            c.px(kx + 2, ky + 2, GREY)
    c.rect(7, 27, 25, 29, WHITE)
    c.rect(4, 1, 18, 14, BLUE)
    c.frame(4, 1, 18, 14, NAVY)
    c.text(8, 4, "Я", WHITE)
    c.rect(19, 5, 30, 14, RED)
    c.frame(19, 5, 30, 14, MAROON)
    c.text(22, 6, "Ж", WHITE)
    return c


def icon_fonts():
    """Fonts: a page with a large Latin and a large Cyrillic letter."""
    c = _icon()
    c.polygon([(4, 1), (22, 1), (28, 7), (28, 31), (4, 31)], WHITE)
    c.line(4, 1, 22, 1, BLACK)
    c.line(22, 1, 28, 7, BLACK)
    c.vline(28, 7, 30, BLACK)
    c.hline(4, 28, 30, BLACK)
    c.vline(4, 1, 30, BLACK)
    c.polygon([(22, 1), (22, 7), (28, 7)], SILVER)
    c.text(6, 5, "A", NAVY, scale=2, spacing=0)
    c.text(15, 15, "Ф", RED, scale=2, spacing=0)
    return c


def _window(c, x0, y0, x1, y1, title=NAVY):
    c.rect(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, BLACK)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 5, title)
    c.rect(x1 - 5, y0 + 2, x1 - 2, y0 + 4, SILVER)


def icon_applications():
    """Applications: three overlapping program windows."""
    c = _icon()
    _window(c, 1, 1, 19, 15, TEAL)
    _window(c, 7, 8, 25, 22, PURPLE)
    _window(c, 13, 15, 31, 31, NAVY)
    for i in range(3):
        c.hline(15, 27, 22 + i * 3, GREY)
    return c


def icon_dos_codepage():
    """DOS code page: a DOS window with a prompt and a code page number."""
    c = _icon()
    c.rect(1, 3, 31, 29, BLACK)
    c.frame(0, 2, 32, 30, SILVER)
    c.rect(1, 3, 31, 7, NAVY)
    c.rect(27, 4, 30, 6, SILVER)
    c.text(3, 9, "C:\\>", SILVER)
    c.text(3, 19, "866", YELLOW)
    c.rect(22, 25, 26, 27, SILVER)
    return c


def icon_layout_switch():
    """Layout switch: a Ctrl key with arrows going both ways."""
    c = _icon()
    c.rect(1, 15, 31, 31, SILVER)
    c.frame(1, 15, 31, 31, BLACK)
    c.hline(2, 29, 16, WHITE)
    c.vline(2, 16, 29, WHITE)
    c.hline(2, 29, 29, GREY)
    c.vline(29, 17, 29, GREY)
    c.text(4, 19, "CTRL", BLACK, spacing=1)
    c.rect(6, 4, 26, 6, BLUE)
    c.polygon([(6, 0), (1, 5), (6, 10)], BLUE)
    c.rect(6, 9, 26, 11, RED)
    c.polygon([(26, 5), (31, 10), (26, 15)], RED)
    return c


def icon_sample():
    """Sample for programmers: a source page with braces."""
    c = _icon()
    c.rect(4, 1, 28, 31, WHITE)
    c.frame(4, 1, 28, 31, BLACK)
    c.text(6, 3, "{", BLUE, spacing=0)
    for i, (x0, x1) in enumerate(((10, 22), (10, 18), (12, 25), (12, 20), (10, 23))):
        c.hline(x0, x1, 12 + i * 3, TEAL if i % 2 else GREEN)
    c.text(20, 22, "}", BLUE, spacing=0)
    c.rect(20, 4, 26, 8, RED)
    return c


BITMAPS = {
    "tarnolog1.bmp": logo,
    "copw.bmp": copyright_strip,
    "nation.bmp": nation,
    "direct.bmp": direct,
    "tarnoinf1.bmp": advert_registration,
    "tarnoinf2.bmp": advert_editor,
    "tarnoinf3.bmp": advert_keyboard_editor,
    "tarnoinf4.bmp": advert_keyboard,
    "tarnoinf5.bmp": advert_viewer,
}

ICONS = {
    "applications.ico": icon_applications,
    "sample.ico": icon_sample,
    "layouts.ico": icon_layouts,
    "programfiles.ico": icon_program_files,
    "layoutswitch.ico": icon_layout_switch,
    "fonts.ico": icon_fonts,
    "doscodepage.ico": icon_dos_codepage,
}


def main(argv):
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    out = os.path.join(root, "setup", "resources")
    check = "--check" in argv
    preview = argv[argv.index("--preview") + 1] if "--preview" in argv else None
    if preview:
        os.makedirs(preview, exist_ok=True)
    stale = []
    for name, draw in list(BITMAPS.items()) + list(ICONS.items()):
        canvas = draw()
        path = os.path.join(out, name)
        data = (ico4_bytes if name.endswith(".ico") else bmp8_bytes)(canvas)
        if check:
            with open(path, "rb") as f:
                if f.read() != data:
                    stale.append(os.path.relpath(path, root))
        else:
            with open(path, "wb") as f:
                f.write(data)
            print("wrote", os.path.relpath(path, root))
        if preview:
            write_png(canvas, os.path.join(preview, os.path.splitext(name)[0] + ".png"),
                      scale=4 if canvas.w <= 48 else 2)
    for path in stale:
        print("differs from its drawing (run tools/mkpictures/mkpictures.py):", path)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
