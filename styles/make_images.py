#!/usr/bin/env python3
"""Generates the shipped style packs: every bitmap, the hand cursor, the
STYLE.INI text and the name strings of each pack folder, from the palettes
below. Plain Python 3, no third-party modules.

    python3 styles/make_images.py            # all packs
    python3 styles/make_images.py Graphite   # one pack

Each pack is drawn twice: at its own size into styles/<Pack>/ and at twice
the size into styles/<Pack>.big/, the high-dpi companion.

A skin author changes a colour in PACKS, reruns this script and rebuilds;
the build compiles the folders into Style/<Pack>.spk (the build does not run
this script: its output is committed). Images are 24-bit BMPs; magenta
(255, 0, 255) is the transparent colour of the state marks, whose soft
edges are blended against the pack's dialog colour.
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255)
SS = 4  # supersampling per axis for soft edges
SCALE = 1  # device pixels per logical pixel: 2 while drawing a .big pack


# ---------------------------------------------------------------- palettes

PACKS = {
    "ZQ2009": {
        "names": {"neutral": "ZQ2009", "0409": "ZQ2009 Classic", "0804": "ZQ2009 经典"},
        "font": "Tahoma", "size": 8,
        "dialog": (236, 241, 248), "static": (28, 40, 62),
        "text": (16, 28, 48), "text_off": (150, 158, 172), "text_hot": (18, 84, 170),
        "accent": (40, 112, 204), "accent_dark": (22, 72, 150),
        # push button: (border, gradient top, gradient bottom, text) per state
        "button": [
            ((116, 138, 170), (255, 255, 255), (214, 225, 240), (16, 28, 48)),
            ((52, 128, 220), (250, 253, 255), (190, 220, 252), (10, 52, 120)),
            ((30, 82, 160), (170, 200, 238), (214, 230, 250), (6, 30, 80)),
            ((196, 202, 212), (238, 240, 244), (232, 234, 238), (160, 166, 178)),
            ((34, 96, 190), (255, 255, 255), (206, 222, 244), (8, 36, 96)),
        ],
        "button_radius": 3, "default_ring": (120, 176, 240),
        # state boxes: (border, fill top, fill bottom, mark) per visual state
        "box": [
            ((110, 130, 160), (255, 255, 255), (226, 233, 243), (30, 100, 196)),
            ((52, 128, 220), (246, 251, 255), (204, 226, 252), (20, 96, 210)),
            ((30, 82, 160), (180, 206, 240), (220, 234, 250), (10, 60, 150)),
            ((192, 198, 208), (240, 241, 244), (240, 241, 244), (170, 176, 188)),
        ],
        "box_radius": 0,
        "xp_ring": (28, 82, 136), "xp_dot": ((72, 196, 72), (18, 120, 24)),
        "link": [(0, 90, 200), (226, 104, 0), (150, 40, 0), (160, 166, 178)],
        "track": [(222, 229, 238), (208, 220, 236), (150, 186, 232), (236, 238, 242)],
        "track_edge": (196, 206, 220),
        "thumb": [
            ((120, 142, 176), (252, 253, 255), (206, 218, 236)),
            ((52, 128, 220), (246, 251, 255), (188, 216, 250)),
            ((26, 78, 156), (150, 188, 236), (110, 156, 220)),
            ((200, 206, 214), (236, 238, 242), (232, 234, 238)),
        ],
        "thumb_radius": 4,
        "grip": [(120, 140, 170), (40, 110, 200), (255, 255, 255), (206, 210, 218)],
        "arrow": [(40, 56, 84), (20, 90, 190), (255, 255, 255), (176, 182, 194)],
        "prompt": {"back": (255, 240, 238), "border": (214, 96, 84), "text": (176, 26, 18)},
        "tile": [
            ((176, 196, 224), (255, 255, 255), (226, 236, 250)),
            ((52, 128, 220), (244, 250, 255), (196, 224, 254)),
            ((26, 78, 156), (176, 206, 244), (218, 234, 252)),
            ((204, 208, 216), (240, 241, 244), (240, 241, 244)),
        ],
        "tile_text": [(16, 40, 90), (10, 64, 160), (4, 30, 90), (160, 166, 178)],
        "icon": ((40, 112, 204), (120, 186, 250), (255, 255, 255)),
        # dialog frame, per look (active, inactive): caption gradient stops
        # (top, glossy middle, lower middle, bottom), outer edge, inner
        # light line, border fill, title text, caption-button mark
        "caption": [
            ((92, 156, 232), (62, 132, 222), (36, 104, 196), (44, 116, 206),
             (18, 62, 132), (150, 196, 246), (44, 114, 204), (255, 255, 255), (255, 255, 255)),
            ((176, 192, 214), (160, 178, 204), (146, 164, 190), (152, 170, 196),
             (108, 122, 146), (206, 216, 232), (154, 170, 194), (52, 66, 92), (60, 74, 100)),
        ],
        # caption-button plates: (hot, pressed) for the close button and the others
        "cap_close": ((226, 72, 56), (170, 34, 24)),
        "cap_other": ((120, 178, 244), (24, 76, 160)),
        "cap_button": (22, 18),
        "corner": 10,
        # fields: the field and tab-page colours, the edit frame (outer and
        # inner line), the closed combo box's gradient per visual state
        "field": (255, 255, 255), "page": (247, 249, 253),
        "edit": ((122, 144, 178), (236, 240, 246)),
        "combo_fill": [((255, 255, 255), (246, 249, 253)), ((255, 255, 255), (238, 246, 255)),
                       ((236, 243, 252), (226, 236, 249)), ((240, 241, 244), (240, 241, 244))],
        # drop-down button: (separator, gradient top, gradient bottom) per
        # visual state, and the arrow colours
        "drop": [((200, 210, 224), (250, 252, 255), (222, 231, 243)),
                 ((52, 128, 220), (246, 251, 255), (196, 222, 252)),
                 ((30, 82, 160), (176, 204, 240), (214, 230, 250)),
                 ((214, 218, 224), (240, 241, 244), (240, 241, 244))],
        "drop_mark": [(40, 56, 84), (20, 90, 190), (10, 52, 130), (176, 182, 194)],
        # tabs: the edge and base line, other tabs' gradient (normal, hot),
        # text of other, other hot, selected, selected hot
        "tab_edge": (146, 166, 196),
        "tab_fill": ((244, 247, 252), (220, 229, 242)), "tab_hot": ((255, 255, 255), (228, 239, 253)),
        "tab_text": [(52, 66, 92), (18, 84, 170), (16, 28, 48), (16, 28, 48)],
        # progress trough (top, bottom) and chunk (light, middle, dark, edge)
        "trough": ((222, 228, 237), (246, 248, 251)),
        "chunk": ((150, 205, 255), (60, 146, 236), (30, 106, 206), (28, 90, 176)),
        # track-bar channel: (edge, groove) per visual state
        "channel": [((146, 162, 186), (214, 222, 234)), ((52, 128, 220), (214, 228, 246)),
                    ((30, 82, 160), (150, 186, 232)), ((200, 206, 214), (232, 234, 238))],
        # XP dialog frame, as "caption"; caption-button plates (normal, hot,
        # pressed) for the close button and the others
        "xp_caption": [
            ((100, 164, 252), (52, 124, 240), (20, 88, 222), (34, 106, 232),
             (0, 52, 160), (170, 210, 255), (20, 88, 222), (255, 255, 255), (255, 255, 255)),
            ((178, 198, 234), (154, 178, 222), (136, 162, 210), (146, 172, 218),
             (104, 124, 166), (214, 226, 246), (136, 162, 210), (44, 58, 92), (236, 240, 248)),
        ],
        "xp_other": ((58, 128, 246), (100, 164, 255), (18, 66, 188)),
        "xp_close": ((224, 86, 48), (246, 124, 84), (176, 48, 20)),
        "logo_at": (10, 8),
        # task panes: header (border, gradient top, bottom, caption text),
        # the body (border, fill), the expand button's ring, fill and
        # chevron per visual state (normal, hot, pressed)
        "task_header": ((146, 170, 206), (255, 255, 255), (198, 214, 240), (22, 72, 150)),
        "task_body": ((255, 255, 255), (214, 225, 244)),
        "task_button": [((120, 150, 196), (255, 255, 255), (40, 96, 180)),
                        ((52, 128, 220), (236, 246, 255), (20, 96, 210)),
                        ((30, 82, 160), (188, 212, 244), (10, 52, 130))],
        # items: (border, fill) per state, then the same checked; None draws
        # no border (the item lies flat on the body)
        "task_item": [(None, None), ((150, 190, 240), (240, 247, 255)),
                      ((52, 128, 220), (206, 226, 252)), (None, (222, 228, 238)),
                      ((120, 160, 220), (226, 238, 254)), ((52, 128, 220), (246, 251, 255)),
                      ((30, 82, 160), (196, 218, 250)), ((176, 186, 204), (220, 226, 236))],
        "task_text": [(22, 72, 150), (40, 112, 204), (10, 52, 120), (150, 158, 172),
                      (16, 28, 48), (18, 84, 170), (6, 30, 80), (140, 148, 164)],
    },
    "Graphite": {
        "names": {"neutral": "Graphite", "0409": "Graphite Dark", "0804": "石墨 深色"},
        "font": "Tahoma", "size": 8,
        "dialog": (43, 46, 52), "static": (216, 220, 228),
        "text": (226, 229, 235), "text_off": (108, 113, 122), "text_hot": (255, 178, 84),
        "accent": (255, 150, 40), "accent_dark": (204, 104, 12),
        "button": [
            ((92, 98, 110), (76, 81, 91), (62, 66, 75), (230, 233, 238)),
            ((255, 150, 40), (92, 97, 108), (74, 79, 89), (255, 200, 130)),
            ((204, 104, 12), (36, 38, 43), (48, 51, 58), (255, 170, 70)),
            ((62, 66, 74), (52, 55, 61), (52, 55, 61), (104, 109, 118)),
            ((255, 150, 40), (82, 87, 98), (66, 70, 80), (255, 255, 255)),
        ],
        "button_radius": 2, "default_ring": (150, 94, 40),
        "box": [
            ((118, 124, 136), (34, 36, 41), (40, 43, 49), (255, 150, 40)),
            ((255, 150, 40), (50, 53, 60), (58, 62, 70), (255, 178, 84)),
            ((204, 104, 12), (24, 25, 29), (30, 32, 36), (255, 200, 120)),
            ((72, 76, 84), (48, 51, 57), (48, 51, 57), (96, 100, 110)),
        ],
        "box_radius": 2,
        "xp_ring": (120, 200, 220), "xp_dot": ((150, 236, 255), (30, 150, 186)),
        "link": [(96, 196, 236), (255, 178, 84), (255, 130, 30), (104, 109, 118)],
        "track": [(33, 35, 40), (38, 41, 47), (58, 44, 30), (40, 42, 47)],
        "track_edge": (28, 30, 34),
        "thumb": [
            ((104, 110, 122), (96, 102, 114), (84, 90, 101)),
            ((150, 158, 172), (132, 139, 152), (116, 123, 136)),
            ((255, 150, 40), (230, 134, 36), (204, 110, 20)),
            ((60, 63, 70), (54, 57, 63), (54, 57, 63)),
        ],
        "thumb_radius": 5,
        "grip": [(58, 62, 70), (82, 88, 98), (120, 60, 0), (66, 70, 78)],
        "arrow": [(190, 195, 204), (255, 170, 70), (255, 255, 255), (84, 88, 96)],
        "prompt": {"back": (62, 34, 34), "border": (200, 80, 70), "text": (255, 140, 124)},
        "tile": [
            ((84, 90, 100), (62, 66, 75), (54, 58, 66)),
            ((255, 150, 40), (74, 79, 89), (64, 68, 78)),
            ((204, 104, 12), (40, 42, 48), (46, 49, 56)),
            ((60, 63, 70), (50, 53, 59), (50, 53, 59)),
        ],
        "tile_text": [(232, 235, 240), (255, 190, 110), (255, 160, 60), (104, 109, 118)],
        "icon": ((255, 150, 40), (255, 200, 120), (43, 46, 52)),
        "caption": [
            ((46, 49, 56), (38, 41, 47), (30, 32, 37), (28, 30, 35),
             (14, 15, 18), (255, 150, 40), (30, 32, 37), (236, 238, 242), (222, 226, 232)),
            ((44, 46, 52), (40, 42, 48), (36, 38, 43), (34, 36, 41),
             (20, 21, 24), (84, 88, 96), (36, 38, 43), (130, 135, 144), (120, 125, 134)),
        ],
        "cap_close": ((214, 62, 46), (150, 36, 24)),
        "cap_other": ((72, 77, 88), (204, 104, 12)),
        "cap_button": (26, 18),
        "corner": 6,
        "field": (34, 36, 41), "page": (52, 55, 62),
        "edit": ((118, 124, 136), (58, 62, 70)),
        "combo_fill": [((44, 47, 53), (34, 36, 41)), ((56, 59, 67), (44, 47, 53)),
                       ((26, 28, 32), (34, 36, 41)), ((48, 51, 57), (48, 51, 57))],
        "drop": [((74, 79, 88), (74, 79, 89), (58, 62, 71)),
                 ((255, 150, 40), (92, 97, 108), (74, 79, 89)),
                 ((204, 104, 12), (32, 34, 38), (44, 47, 53)),
                 ((60, 63, 70), (48, 51, 57), (48, 51, 57))],
        "drop_mark": [(200, 204, 212), (255, 170, 70), (255, 200, 130), (84, 88, 96)],
        "tab_edge": (82, 87, 97),
        "tab_fill": ((46, 49, 55), (36, 38, 43)), "tab_hot": ((62, 66, 74), (48, 51, 58)),
        "tab_text": [(168, 173, 182), (255, 178, 84), (236, 238, 242), (255, 200, 130)],
        "trough": ((24, 25, 29), (38, 40, 45)),
        "chunk": ((255, 200, 130), (255, 150, 40), (222, 118, 18), (168, 82, 6)),
        "channel": [((20, 21, 24), (30, 32, 36)), ((255, 150, 40), (40, 42, 47)),
                    ((204, 104, 12), (70, 50, 30)), ((56, 59, 66), (44, 46, 51))],
        "xp_caption": [
            ((74, 78, 88), (56, 60, 68), (38, 40, 46), (32, 34, 39),
             (255, 150, 40), (112, 118, 130), (38, 40, 46), (240, 242, 246), (232, 235, 240)),
            ((58, 61, 68), (50, 53, 59), (42, 44, 50), (38, 40, 45),
             (84, 88, 96), (80, 84, 92), (42, 44, 50), (138, 143, 152), (132, 137, 146)),
        ],
        "xp_other": ((82, 87, 98), (112, 118, 132), (204, 104, 12)),
        "xp_close": ((176, 58, 42), (220, 76, 56), (140, 36, 24)),
        "logo_at": (12, 10),
        "task_header": ((92, 98, 110), (74, 79, 89), (56, 60, 68), (255, 150, 40)),
        "task_body": ((70, 74, 84), (52, 55, 62)),
        "task_button": [((118, 124, 136), (62, 66, 75), (220, 224, 230)),
                        ((255, 150, 40), (76, 81, 91), (255, 178, 84)),
                        ((204, 104, 12), (36, 38, 43), (255, 150, 40))],
        "task_item": [(None, None), ((96, 102, 114), (64, 68, 77)),
                      ((204, 104, 12), (36, 38, 43)), (None, (47, 50, 56)),
                      ((150, 94, 40), (72, 60, 48)), ((255, 150, 40), (86, 70, 54)),
                      ((204, 104, 12), (44, 38, 32)), ((84, 80, 76), (56, 54, 54))],
        "task_text": [(226, 229, 235), (255, 178, 84), (255, 150, 40), (108, 113, 122),
                      (255, 200, 130), (255, 214, 160), (255, 170, 70), (130, 120, 110)],
    },
}


# ------------------------------------------------------------------ raster

def device(length, scale):
    """Device pixels for a logical length."""
    return int(length * scale + 0.5)


class Image:
    """A picture in logical pixels, stored at SCALE device pixels per logical
    pixel: shapes painted through paint() are drawn at the full resolution,
    single-pixel writes cover the device pixels of that logical pixel."""

    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.s = SCALE
        self.pw, self.ph = device(w, self.s), device(h, self.s)
        self.px = [fill] * (self.pw * self.ph)

    def get(self, x, y):
        return self.px[min(device(y, self.s), self.ph - 1) * self.pw + min(device(x, self.s), self.pw - 1)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.fill(x, y, x + 1, y + 1, c)

    def fill(self, x0, y0, x1, y1, c):
        s = self.s
        x0, x1 = device(max(0, x0), s), device(min(self.w, x1), s)
        for row in range(device(max(0, y0), s), device(min(self.h, y1), s)):
            if x1 > x0:
                self.px[row * self.pw + x0:row * self.pw + x1] = [c] * (x1 - x0)

    def paste(self, other, ox, oy):
        self.paste_device(other, device(ox, self.s), device(oy, self.s))

    def paste_device(self, other, ox, oy):
        for y in range(other.ph):
            ty = oy + y
            if 0 <= ty < self.ph:
                for x in range(other.pw):
                    tx = ox + x
                    if 0 <= tx < self.pw:
                        self.px[ty * self.pw + tx] = other.px[y * other.pw + x]

    def transposed(self):
        out = Image(self.h, self.w)
        for y in range(self.ph):
            for x in range(self.pw):
                out.px[x * out.pw + y] = self.px[y * self.pw + x]
        return out


def stack(images, horizontal=False):
    """One strip: vertical (the default layout) or horizontal. Images are
    laid by their device sizes, so a strip always cuts into equal images."""
    w = sum(i.w for i in images) if horizontal else images[0].w
    h = images[0].h if horizontal else sum(i.h for i in images)
    out = Image(w, h)
    out.pw = sum(i.pw for i in images) if horizontal else images[0].pw
    out.ph = images[0].ph if horizontal else sum(i.ph for i in images)
    out.px = [(0, 0, 0)] * (out.pw * out.ph)
    pos = 0
    for i in images:
        out.paste_device(i, pos if horizontal else 0, 0 if horizontal else pos)
        pos += i.pw if horizontal else i.ph
    return out


def save_bmp(image, path):
    row = (image.pw * 3 + 3) & ~3
    data = bytearray()
    for y in range(image.ph - 1, -1, -1):
        line = bytearray()
        for x in range(image.pw):
            r, g, b = image.px[y * image.pw + x]
            line += bytes((b, g, r))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, image.pw, image.ph, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    write_if_changed(path, header + info + bytes(data))


def write_if_changed(path, data):
    if isinstance(data, str):
        data = data.encode("utf-8")
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    with open(path, "wb") as f:
        f.write(data)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, amount):
    """Lighter for amount > 0, darker for amount < 0."""
    return mix(c, (255, 255, 255) if amount > 0 else (0, 0, 0), abs(amount))


# Coverage of shapes, by supersampling.

def rounded_inside(px, py, x0, y0, x1, y1, r):
    if px < x0 or px >= x1 or py < y0 or py >= y1:
        return False
    if r <= 0:
        return True
    cx = min(max(px, x0 + r), x1 - r)
    cy = min(max(py, y0 + r), y1 - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def coverage(x, y, inside, scale=1):
    """The share of device pixel (x, y) that inside() covers, inside() taking
    logical coordinates."""
    n = 0
    for sy in range(SS):
        for sx in range(SS):
            if inside((x + (sx + 0.5) / SS) / scale, (y + (sy + 0.5) / SS) / scale):
                n += 1
    return n / (SS * SS)


def seg_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    qx, qy = ax + t * dx, ay + t * dy
    return ((px - qx) ** 2 + (py - qy) ** 2) ** 0.5


def in_triangle(px, py, a, b, c):
    def side(p1, p2):
        return (px - p2[0]) * (p1[1] - p2[1]) - (p1[0] - p2[0]) * (py - p2[1])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def paint(image, colour_at, inside, matte=None, box=None):
    """Blends colour_at(x, y) over the image where inside() covers a pixel.
    On a transparent (magenta) pixel, partial coverage blends against matte
    (a colour, or a function of the pixel) and a pixel less than half
    covered stays transparent. box and the functions' arguments are logical
    pixels; coverage is taken per device pixel."""
    s = image.s
    x0, y0, x1, y1 = box or (0, 0, image.w, image.h)
    for y in range(device(max(0, y0), s), device(min(image.h, y1), s)):
        for x in range(device(max(0, x0), s), device(min(image.w, x1), s)):
            a = coverage(x, y, inside, s)
            if a <= 0:
                continue
            lx, ly = int(x / s), int(y / s)
            under = image.px[y * image.pw + x]
            colour = colour_at(lx, ly)
            if under == MAGENTA:
                if a < 0.5:
                    continue
                under = (matte(lx, ly) if callable(matte) else matte) if matte else colour
            image.px[y * image.pw + x] = mix(under, colour, a)


def panel(image, x0, y0, x1, y1, radius, border, top, bottom, matte=None, width=1):
    """A rounded panel: a border ring over a vertical gradient."""
    h = max(1, y1 - y0 - 1)
    paint(image, lambda x, y: border,
          lambda px, py: rounded_inside(px, py, x0, y0, x1, y1, radius), matte)
    paint(image, lambda x, y: mix(top, bottom, (y - y0) / h),
          lambda px, py: rounded_inside(px, py, x0 + width, y0 + width, x1 - width, y1 - width,
                                        max(0, radius - width)), matte)


# ------------------------------------------------------------------ images

def push_button(p):
    """Five states (normal, hot, pressed, disabled, default), 32 x 22 each,
    drawn with 4-pixel sizing margins."""
    out = []
    r = p["button_radius"]
    for state, (border, top, bottom, _) in enumerate(p["button"]):
        im = Image(32, 22, p["dialog"])
        panel(im, 0, 0, 32, 22, r, border, top, bottom)
        if state == 4:
            # the default button: a second, inner ring
            paint(im, lambda x, y: p["default_ring"],
                  lambda px, py: rounded_inside(px, py, 1, 1, 31, 21, max(0, r - 1))
                  and not rounded_inside(px, py, 2, 2, 30, 20, max(0, r - 2)))
        if state == 1:
            # hot: a light inner glow line at the top
            for x in range(r + 1, 32 - r - 1):
                im.set(x, 1, shade(top, 0.6))
        if state == 2:
            # pressed: an inner shadow at the top and left
            for x in range(1 + r, 31):
                im.set(x, 1, shade(top, -0.18))
            for y in range(1 + r, 21):
                im.set(1, y, shade(top, -0.12))
        out.append(im)
    return stack(out)


def check_marks(p):
    """Twelve 13 x 13 state boxes: check state (unchecked, checked,
    indeterminate) x visual state (normal, hot, pressed, disabled)."""
    out = []
    for check in range(3):
        for visual in range(4):
            border, top, bottom, mark = p["box"][visual]
            im = Image(13, 13, MAGENTA)
            panel(im, 0, 0, 13, 13, p["box_radius"], border, top, bottom, matte=p["dialog"])
            if check == 1:
                pts = [(3.0, 6.6), (5.4, 9.2), (10.2, 3.6)]
                paint(im, lambda x, y: mark,
                      lambda px, py: min(seg_distance(px, py, *pts[0], *pts[1]),
                                         seg_distance(px, py, *pts[1], *pts[2])) <= 1.05)
            elif check == 2:
                paint(im, lambda x, y: mark,
                      lambda px, py: rounded_inside(px, py, 3, 3, 10, 10, 1))
                paint(im, lambda x, y: mix(mark, top, 0.55),
                      lambda px, py: rounded_inside(px, py, 4, 4, 9, 6, 0))
            out.append(im)
    return stack(out)


def circle(cx, cy, r):
    return lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def radio_marks(p):
    """Twelve 13 x 13 round marks; indeterminate shows a bar, not a dot."""
    out = []
    for check in range(3):
        for visual in range(4):
            border, top, bottom, mark = p["box"][visual]
            im = Image(13, 13, MAGENTA)
            paint(im, lambda x, y: border, circle(6.5, 6.5, 6.5), p["dialog"])
            paint(im, lambda x, y: mix(top, bottom, y / 12.0), circle(6.5, 6.5, 5.4), p["dialog"])
            if check == 1:
                paint(im, lambda x, y: mark, circle(6.5, 6.5, 2.8))
                paint(im, lambda x, y: shade(mark, 0.45), circle(5.7, 5.7, 0.9))
            elif check == 2:
                paint(im, lambda x, y: mark, lambda px, py: rounded_inside(px, py, 3.5, 5.5, 9.5, 7.5, 1))
            out.append(im)
    return stack(out)


def radio_marks_xp(p):
    """The XP look: a raised ring with a glossy, two-tone dot; 15 x 15."""
    out = []
    ring = p["xp_ring"]
    light, dark = p["xp_dot"]
    for check in range(3):
        for visual in range(4):
            border, top, bottom, _ = p["box"][visual]
            edge = {0: ring, 1: p["accent"], 2: p["accent_dark"], 3: p["box"][3][0]}[visual]
            im = Image(15, 15, MAGENTA)
            paint(im, lambda x, y: edge, circle(7.5, 7.5, 7.5), p["dialog"])
            paint(im, lambda x, y: mix(shade(top, 0.3), bottom, (x + y) / 28.0),
                  circle(7.5, 7.5, 6.2), p["dialog"])
            if visual == 1:
                # hot: a warm inner ring
                paint(im, lambda x, y: shade(p["accent"], 0.35),
                      lambda px, py: 5.0 ** 2 <= (px - 7.5) ** 2 + (py - 7.5) ** 2 <= 6.2 ** 2)
            dot_light, dot_dark = (light, dark) if visual != 3 else (p["box"][3][3], p["box"][3][0])
            if visual == 2:
                dot_light, dot_dark = dot_dark, dot_light
            if check == 1:
                paint(im, lambda x, y: mix(dot_light, dot_dark, (x + y - 8) / 12.0), circle(7.5, 7.5, 3.6))
                paint(im, lambda x, y: shade(dot_light, 0.6), circle(6.4, 6.4, 1.2))
            elif check == 2:
                paint(im, lambda x, y: mix(dot_light, dot_dark, 0.5),
                      lambda px, py: rounded_inside(px, py, 4, 6.5, 11, 8.5, 1))
            out.append(im)
    return stack(out)


def arrow_frames(p):
    """Back of the arrow buttons: 16 images (up, down, left, right, each in
    normal, hot, pressed, disabled), 16 x 16, sizing margins 3."""
    out = []
    for direction in range(4):
        for visual in range(4):
            border, top, bottom = p["thumb"][visual]
            if visual == 0:
                border = p["track_edge"]
                top, bottom = shade(p["track"][0], 0.35), p["track"][0]
            im = Image(16, 16, p["track"][0])
            panel(im, 0, 0, 16, 16, 2, border, top, bottom)
            out.append(im)
    return stack(out)


def arrow_marks(p):
    """Fore of the arrow buttons: the 16 arrow marks, 9 x 9, transparent."""
    shapes = {
        0: ((4.5, 2.0), (0.8, 6.6), (8.2, 6.6)),   # up
        1: ((0.8, 2.4), (8.2, 2.4), (4.5, 7.0)),   # down
        2: ((2.0, 4.5), (6.6, 0.8), (6.6, 8.2)),   # left
        3: ((2.4, 0.8), (2.4, 8.2), (7.0, 4.5)),   # right
    }
    out = []
    for direction in range(4):
        for visual in range(4):
            im = Image(9, 9, MAGENTA)
            a, b, c = shapes[direction]
            colour = p["arrow"][visual]
            matte = p["thumb"][visual][2] if visual else p["track"][0]
            paint(im, lambda x, y: colour, lambda px, py: in_triangle(px, py, a, b, c), matte)
            out.append(im)
    return stack(out)


def track(p, vertical):
    """Four track images, 6 x 16 (horizontal bar); edges 1 pixel."""
    out = []
    for visual in range(4):
        im = Image(6, 16, p["track"][visual])
        base = p["track"][visual]
        for y in range(16):
            im.fill(0, y, 6, y + 1, mix(shade(base, -0.06), shade(base, 0.08), y / 15.0))
        im.fill(0, 0, 6, 1, p["track_edge"])
        im.fill(0, 15, 6, 16, p["track_edge"])
        out.append(im.transposed() if vertical else im)
    return stack(out)


def thumb(p, vertical):
    """Four thumbs, 24 x 16 (horizontal bar), rounded ends inside a 1-pixel
    band of track; sizing margins 6, 6, 4, 4."""
    out = []
    r = p["thumb_radius"]
    for visual in range(4):
        border, top, bottom = p["thumb"][visual]
        im = Image(24, 16, p["track"][0])
        im.fill(0, 0, 24, 1, p["track_edge"])
        im.fill(0, 15, 24, 16, p["track_edge"])
        panel(im, 0, 1, 24, 15, r, border, top, bottom)
        # a highlight line under the top border
        if visual != 3:
            for x in range(r, 24 - r):
                im.set(x, 2, mix(im.get(x, 2), (255, 255, 255), 0.35))
        out.append(im.transposed() if vertical else im)
    return stack(out)


def gripper(p, vertical):
    """Three grip lines, 7 x 7, transparent; lines across the bar."""
    out = []
    for visual in range(4):
        im = Image(7, 7, MAGENTA)
        light = shade(p["thumb"][visual][1], 0.5)
        for x in (0, 3, 6):
            for y in range(7):
                im.set(x, y, p["grip"][visual])
                if x + 1 < 7:
                    im.set(x + 1, y, light)
        out.append(im.transposed() if vertical else im)
    return stack(out)


def size_grip(p):
    """Diagonal dots of a sizing grip, 12 x 12, transparent."""
    im = Image(12, 12, MAGENTA)
    dark, light = p["grip"][0], shade(p["track"][0], 0.6)
    for row in range(3):
        for col in range(3):
            if col + row >= 2:
                x, y = 1 + 4 * col, 1 + 4 * row
                im.fill(x, y, x + 2, y + 2, dark)
                im.set(x + 2, y + 2, light)
    return im


def tile(p):
    """The command tile of the glyph area: four 40 x 40 states, margins 6."""
    out = []
    for visual in range(4):
        border, top, bottom = p["tile"][visual]
        im = Image(40, 40, p["dialog"])
        panel(im, 0, 0, 40, 40, 5, border, top, bottom)
        out.append(im)
    return stack(out)


def scan_icon(p):
    """A 32 x 32 magnifier over a document: the command tile's picture."""
    main, light, paper = p["icon"]
    im = Image(32, 32, MAGENTA)
    paint(im, lambda x, y: shade(main, -0.3), lambda px, py: rounded_inside(px, py, 3, 2, 23, 28, 2), p["dialog"])
    paint(im, lambda x, y: paper if paper != p["dialog"] else (70, 74, 84),
          lambda px, py: rounded_inside(px, py, 4, 3, 22, 27, 1), p["dialog"])
    for y in (8, 12, 16, 20):
        im.fill(7, y, 19, y + 1, light)
    paint(im, lambda x, y: main, lambda px, py: 5.2 ** 2 <= (px - 18) ** 2 + (py - 16) ** 2 <= 7.4 ** 2)
    paint(im, lambda x, y: mix(light, (255, 255, 255), 0.5), circle(18, 16, 5.2))
    paint(im, lambda x, y: main, lambda px, py: seg_distance(px, py, 23.5, 21.5, 29, 27) <= 2.2)
    return im


def slide_frames():
    """The demo host's slideshow: eight 48 x 48 frames of a turning dial
    on a transparent background (pack-independent; written beside the
    demo)."""
    out = []
    import math
    for f in range(8):
        im = Image(48, 48, MAGENTA)
        paint(im, lambda x, y: (40, 60, 90), circle(24, 24, 22), (128, 128, 128))
        paint(im, lambda x, y: (250, 250, 250), circle(24, 24, 19))
        for k in range(8):
            a = 2 * math.pi * k / 8
            colour = (230, 120, 20) if k == f else (190, 198, 210)
            cx, cy = 24 + 13 * math.sin(a), 24 - 13 * math.cos(a)
            paint(im, lambda x, y, c=colour: c, circle(cx, cy, 3.6))
        out.append(im)
    return stack(out, horizontal=True)


def previews(p):
    """Pic_demo.bmp (160 x 120) and Pic_small.bmp (48 x 36): a small
    dialog in the pack's look, as a pack chooser shows it."""
    demo = Image(160, 120, p["dialog"])
    demo.fill(0, 0, 160, 18, p["accent_dark"])
    demo.fill(0, 18, 160, 19, p["accent"])
    for x in range(8, 80, 4):
        demo.fill(x, 7, x + 3, 10, shade(p["accent"], 0.6))
    checks = check_marks(p)
    radios = radio_marks(p)
    for row, (marks, index) in enumerate(((checks, 4), (checks, 0), (radios, 4))):
        for y in range(13):
            for x in range(13):
                c = marks.get(x, index * 13 + y)
                demo.set(12 + x, 30 + row * 20 + y, p["dialog"] if c == MAGENTA else c)
        demo.fill(32, 35 + row * 20, 90 - row * 12, 38 + row * 20, p["static"])
    buttons = push_button(p)
    for i, state in enumerate((4, 0)):
        for y in range(22):
            for x in range(60):
                sx = x if x < 4 else (31 - (59 - x) if x >= 56 else 4 + (x - 4) % 24)
                demo.set(30 + i * 66 + x, 92 + y, buttons.get(sx, state * 22 + y))
        demo.fill(48 + i * 66, 102, 72 + i * 66, 104, p["button"][state][3])
    bar = track(p, True)
    for y in range(26, 86):
        for x in range(16):
            demo.set(138 + x, y, bar.get(x, 2))
    th = thumb(p, True)
    for y in range(30):
        sy = y if y < 6 else (y - 6 if y >= 24 else 6 + (y - 6) % 12)
        for x in range(16):
            demo.set(138 + x, 36 + y, th.get(x, sy))
    small = Image(48, 36)
    for y in range(36):
        for x in range(48):
            # box filter, 160 x 120 -> 48 x 36
            x0, x1 = x * 160 // 48, (x + 1) * 160 // 48
            y0, y1 = y * 120 // 36, (y + 1) * 120 // 36
            acc = [0, 0, 0]
            n = 0
            for yy in range(y0, y1):
                for xx in range(x0, x1):
                    c = demo.get(xx, yy)
                    acc = [acc[i] + c[i] for i in range(3)]
                    n += 1
            small.set(x, y, tuple(v // n for v in acc))
    return demo, small


# ---------------------------------------------------------------- controls

def corners_inside(px, py, x0, y0, x1, y1, radii):
    """Inside a rectangle whose corners (top-left, top-right, bottom-left,
    bottom-right) are rounded each by its own radius."""
    if px < x0 or px >= x1 or py < y0 or py >= y1:
        return False
    for cx, cy, r, sx, sy in ((x0, y0, radii[0], 1, 1), (x1, y0, radii[1], -1, 1),
                              (x0, y1, radii[2], 1, -1), (x1, y1, radii[3], -1, -1)):
        if r <= 0:
            continue
        ccx, ccy = cx + sx * r, cy + sy * r
        if (px - ccx) * sx < 0 and (py - ccy) * sy < 0 and (px - ccx) ** 2 + (py - ccy) ** 2 > r * r:
            return False
    return True


def plate(image, x0, y0, x1, y1, radii, border, top, bottom, matte=None):
    """A panel with per-corner radii: a one-pixel border over a vertical
    gradient."""
    h = max(1, y1 - y0 - 1)
    inner = [max(0, r - 1) for r in radii]
    paint(image, lambda x, y: border, lambda px, py: corners_inside(px, py, x0, y0, x1, y1, radii), matte)
    paint(image, lambda x, y: mix(top, bottom, (y - y0) / h),
          lambda px, py: corners_inside(px, py, x0 + 1, y0 + 1, x1 - 1, y1 - 1, inner), matte)


def triangle_mark(direction, w, h, colour, matte):
    """A small solid arrow head pointing up, down, left or right."""
    im = Image(w, h, MAGENTA)
    shapes = {
        "up": ((w / 2.0, 0.0), (0.0, float(h)), (float(w), float(h))),
        "down": ((0.0, 0.0), (float(w), 0.0), (w / 2.0, float(h))),
        "left": ((0.0, h / 2.0), (float(w), 0.0), (float(w), float(h))),
        "right": ((0.0, 0.0), (0.0, float(h)), (float(w), h / 2.0)),
    }
    a, b, c = shapes[direction]
    paint(im, lambda x, y: colour, lambda px, py: in_triangle(px, py, a, b, c), matte)
    return im


def edit_frame(p):
    """The edit's non-client frame, 8 x 8: an outer and an inner line, drawn
    as a border image with 2-pixel sizing margins (the edit paints its own
    client area). An edit with a one-pixel border shows the outer line."""
    outer, inner = p["edit"]
    im = Image(8, 8, p["field"])
    im.fill(0, 0, 8, 8, outer)
    im.fill(1, 1, 7, 7, inner)
    im.fill(2, 2, 6, 6, p["field"])
    for x, y in ((0, 0), (7, 0), (0, 7), (7, 7)):
        im.set(x, y, mix(outer, p["dialog"], 0.5))
    return im


def combo(p):
    """The closed combo box, 24 x 21, four states (normal, hot, pressed,
    disabled): a field in a rounded border; 3-pixel sizing margins."""
    out = []
    for visual in range(4):
        top, bottom = p["combo_fill"][visual]
        im = Image(24, 21, p["dialog"])
        panel(im, 0, 0, 24, 21, 2, p["box"][visual][0], top, bottom)
        out.append(im)
    return stack(out)


def combo_button(p):
    """The drop-down button inside the combo box's border, 17 x 19, four
    states: a plate with a separator on its left, its right corners softened
    into the combo box's border of the same state; 2-pixel sizing margins."""
    out = []
    for visual in range(4):
        separator, top, bottom = p["drop"][visual]
        im = Image(17, 19)
        for y in range(19):
            im.fill(0, y, 17, y + 1, mix(top, bottom, y / 18.0))
        im.fill(0, 0, 1, 19, separator)
        if visual == 1:
            im.fill(1, 0, 16, 1, shade(top, 0.6))
        for y in (0, 18):
            im.set(16, y, mix(im.get(16, y), p["box"][visual][0], 0.5))
        out.append(im)
    return stack(out)


def combo_marks(p):
    """The drop-down arrow, 7 x 4, four states, transparent."""
    return stack([triangle_mark("down", 7, 4, p["drop_mark"][v], mix(*p["drop"][v][1:], 0.5))
                  for v in range(4)])


TAB_W, TAB_H = 48, 18   # tab items are 18 high on an 8-point dialog font


def tab_item(p, selected, hot, shadow=None):
    """One tab, 48 x 18, rounded on top. Tabs other than the selected one sit
    2 pixels lower and end on the row's base line; the selected tab has the
    page's colour, an accent strip on top and opens into the page. A tab
    beside the selected one takes its shadow on that side. The last column
    stays transparent: the gap to the next tab."""
    im = Image(TAB_W, TAB_H, MAGENTA)
    top_y = 0 if selected else 2
    x1 = TAB_W - 1
    edge = p["tab_edge"]
    if selected:
        fill_top, fill_bottom = shade(p["page"], 0.3), p["page"]
    else:
        fill_top, fill_bottom = p["tab_hot"] if hot else p["tab_fill"]
    h = float(TAB_H - top_y - 1)
    paint(im, lambda x, y: edge,
          lambda px, py: rounded_inside(px, py, 0, top_y, x1, TAB_H + 4, 3), p["dialog"])
    paint(im, lambda x, y: mix(fill_top, fill_bottom, (y - top_y) / h),
          lambda px, py: rounded_inside(px, py, 1, top_y + 1, x1 - 1, TAB_H + 4, 2), p["dialog"])
    if selected:
        strip = shade(p["accent"], 0.35) if hot else p["accent"]
        paint(im, lambda x, y: strip,
              lambda px, py: rounded_inside(px, py, 1, 1, x1 - 1, TAB_H + 4, 2) and py < 3)
    else:
        if hot:
            for x in range(3, x1 - 3):
                im.set(x, top_y + 1, mix(im.get(x, top_y + 1), p["accent"], 0.5))
        im.fill(0, TAB_H - 1, x1, TAB_H, edge)
    if shadow:
        for k in range(3):
            x = x1 - 2 - k if shadow == "right" else 1 + k
            for y in range(top_y + 3, TAB_H - (1 if not selected else 0)):
                im.set(x, y, mix(im.get(x, y), edge, 0.36 - 0.12 * k))
    return im


def tab_items(p, shadows):
    """A strip of tabs by real state (how the tab meets the selected one
    x 2 + hot): 0 other, 1 selected, then one group per shadow side."""
    out = []
    for group in range(2 + len(shadows)):
        for hot in (False, True):
            out.append(tab_item(p, group == 1, hot, shadows[group - 2] if group >= 2 else None))
    return stack(out)


def tab_pane(p):
    """The strip behind the tabs, 8 x 8: the dialog colour over the base line."""
    im = Image(8, 8, p["dialog"])
    im.fill(0, 7, 8, 8, p["tab_edge"])
    return im


def tab_body(p):
    """The page area, 12 x 12: the page colour framed left, right and below;
    the top is open, the pane's base line closes it."""
    im = Image(12, 12, p["page"])
    im.fill(0, 0, 1, 12, p["tab_edge"])
    im.fill(11, 0, 12, 12, p["tab_edge"])
    im.fill(0, 11, 12, 12, p["tab_edge"])
    return im


HEADER_W, HEADER_H = 24, 22


def header_item(p, visual):
    """A header item, 24 x 22, for one state (0 normal, 1 hot, 2 pressed):
    the tab colours as a gradient over a base line; hot adds the accent to
    the base line, pressed is darker and sunk by a pixel. The divider is a
    look of its own."""
    top, bottom = p["tab_hot"] if visual == 1 else p["tab_fill"]
    if visual == 2:
        top, bottom = shade(bottom, -0.12), shade(top, -0.06)
    im = Image(HEADER_W, HEADER_H)
    for y in range(HEADER_H):
        im.fill(0, y, HEADER_W, y + 1, mix(top, bottom, y / float(HEADER_H - 1)))
    if visual == 2:
        im.fill(0, 0, HEADER_W, 1, shade(bottom, -0.2))
    im.fill(0, HEADER_H - 1, HEADER_W, HEADER_H, p["tab_edge"])
    if visual == 1:
        im.fill(0, HEADER_H - 2, HEADER_W, HEADER_H, p["accent"])
    return im


def header_items(p):
    """The item strip by real state: alignment (left, right, centre) x 3 +
    state; the picture is the same for each alignment."""
    return stack([header_item(p, visual) for group in range(3) for visual in range(3)])


def header_divider(p):
    """The line between items, 2 x 14: a shadow and a light line."""
    im = Image(2, 14, MAGENTA)
    for y in range(14):
        fade = 1.0 - abs(y - 6.5) / 9.0
        im.set(0, y, mix(p["tab_fill"][1], p["tab_edge"], fade))
        im.set(1, y, mix(p["tab_fill"][1], p["tab_hot"][0], fade))
    return im


def header_sort_marks(p):
    """Sort marks, 7 x 4, three states: none, ascending (up), descending
    (down); transparent."""
    matte = mix(*p["tab_fill"], 0.5)
    blank = Image(7, 4, MAGENTA)
    return stack([blank, triangle_mark("up", 7, 4, p["tab_text"][1], matte),
                  triangle_mark("down", 7, 4, p["tab_text"][1], matte)])


def progress_bar(p, vertical):
    """The progress bar's trough, 16 x 16: a sunken field in a rounded
    border; the chunk is drawn inside its 2-pixel content margins."""
    top, bottom = p["trough"]
    im = Image(16, 16, p["dialog"])
    panel(im, 0, 0, 16, 16, 2, p["box"][0][0], top, bottom)
    return im.transposed() if vertical else im


def progress_chunk(p, vertical):
    """The chunk, 12 x 12: a glossy accent bar (lighter upper half) with a
    darker edge; its corners are softened against the trough."""
    light, middle, dark, edge = p["chunk"]
    trough = mix(*p["trough"], 0.3)
    im = Image(12, 12, trough)

    def colour(x, y):
        return mix(light, middle, y / 5.0) if y < 6 else mix(dark, middle, (y - 6) / 5.0)
    paint(im, lambda x, y: edge, lambda px, py: rounded_inside(px, py, 0, 0, 12, 12, 1.5))
    paint(im, colour, lambda px, py: rounded_inside(px, py, 1, 1, 11, 11, 0.5))
    for x in range(2, 10):
        im.set(x, 1, mix(im.get(x, 1), (255, 255, 255), 0.35))
    return im.transposed() if vertical else im


SPIN_RADII = {"up": (2, 2, 0, 0), "down": (0, 0, 2, 2), "left": (2, 0, 2, 0), "right": (0, 2, 0, 2)}


def spin_arrow(p, direction):
    """One half of a spin button, four states (normal, hot, pressed,
    disabled): a push-button plate rounded on its outer corners; up and down
    halves 16 x 10, left and right 17 x 20; 3-pixel sizing margins."""
    w, h = (16, 10) if direction in ("up", "down") else (17, 20)
    out = []
    for visual in range(4):
        border, top, bottom, _ = p["button"][visual]
        im = Image(w, h, p["dialog"])
        plate(im, 0, 0, w, h, SPIN_RADII[direction], border, top, bottom)
        if visual == 1:
            for x in range(2, w - 2):
                im.set(x, 1, mix(im.get(x, 1), (255, 255, 255), 0.4))
        out.append(im)
    return stack(out)


def spin_marks(p, direction):
    """The arrow of a spin half, 7 x 4 (or 4 x 7), four states, transparent."""
    w, h = (7, 4) if direction in ("up", "down") else (4, 7)
    return stack([triangle_mark(direction, w, h, p["button"][v][3], mix(*p["button"][v][1:3], 0.5))
                  for v in range(4)])


def slider_channel(p, vertical):
    """The track bar's channel, 12 x 4, four states: a groove with a border
    that takes the accent when hot or pressed."""
    out = []
    for visual in range(4):
        edge, fill = p["channel"][visual]
        im = Image(12, 4, fill)
        im.fill(0, 0, 12, 1, edge)
        im.fill(0, 3, 12, 4, mix(edge, p["dialog"], 0.4))
        im.fill(0, 0, 1, 4, edge)
        im.fill(11, 0, 12, 4, edge)
        im.fill(1, 1, 11, 2, mix(fill, edge, 0.3))
        for x, y in ((0, 0), (11, 0), (0, 3), (11, 3)):
            im.set(x, y, mix(edge, p["dialog"], 0.5))
        out.append(im.transposed() if vertical else im)
    return stack(out)


def slider_thumb(p, vertical):
    """The track bar's thumb, 11 x 21 standing (21 x 11 lying), four states:
    a rounded plate in the scroll thumb's colours; 4-pixel sizing margins."""
    out = []
    for visual in range(4):
        border, top, bottom = p["thumb"][visual]
        im = Image(11, 21, p["dialog"])
        panel(im, 0, 0, 11, 21, 3, border, shade(top, 0.2), bottom)
        if visual != 3:
            for y in range(3, 18):
                im.set(1, y, mix(im.get(1, y), (255, 255, 255), 0.3))
        out.append(im.transposed() if vertical else im)
    return stack(out)


def slider_grip(p, vertical):
    """Three grip lines across the thumb, 5 x 5, four states, transparent."""
    out = []
    for visual in range(4):
        im = Image(5, 5, MAGENTA)
        light = shade(p["thumb"][visual][1], 0.5)
        for y in (0, 2, 4):
            im.fill(0, y, 5, y + 1, p["grip"][visual])
        for y in (1, 3):
            im.fill(0, y, 5, y + 1, light)
        out.append(im.transposed() if vertical else im)
    return stack(out)


def logo(p):
    """Logo.bmp, 48 x 48: the pack's emblem for picture statics (a ring on a
    rounded accent tile)."""
    light, dark = shade(p["accent"], 0.35), p["accent_dark"]
    im = Image(48, 48, p["dialog"])
    paint(im, lambda x, y: dark, lambda px, py: rounded_inside(px, py, 2, 2, 46, 46, 10))
    paint(im, lambda x, y: mix(light, p["accent"], (x + y) / 90.0),
          lambda px, py: rounded_inside(px, py, 3, 3, 45, 45, 9))
    paint(im, lambda x, y: (255, 255, 255), lambda px, py: 9.0 ** 2 <= (px - 24) ** 2 + (py - 24) ** 2 <= 14.0 ** 2)
    paint(im, lambda x, y: p["accent_dark"], circle(24, 24, 4.0))
    for x in range(8, 40):
        im.set(x, 4, mix(im.get(x, 4), (255, 255, 255), 0.4))
    return im


# ------------------------------------------------------------ dialog frame

CAPTION_HEIGHT = 26     # dialog frames
FRAME_CAPTION_HEIGHT = 30   # main windows
CAPTION_MARGIN = 5      # top and bottom content margin of the caption
BORDER = 4              # left, right and bottom border width


def caption_colour(p, look, y, height=CAPTION_HEIGHT, key="caption"):
    """The caption's inside colour on row y: a glossy upper half over a
    deeper lower half."""
    top, gloss, lower, bottom = p[key][look][:4]
    half = height // 2
    if y < half:
        return mix(top, gloss, y / float(half - 1))
    return mix(lower, bottom, (y - half) / float(height - half - 1))


def caption(p, height=CAPTION_HEIGHT):
    """Two 40 x height looks (active, inactive): the gradient, an outer edge
    rounded at the top, and an inner light line; the frame's window region
    cuts the same corners."""
    out = []
    r = p["corner"] // 2
    for look in range(2):
        edge, light = p["caption"][look][4:6]
        im = Image(40, height, MAGENTA)
        paint(im, lambda x, y: edge,
              lambda px, py: rounded_inside(px, py, 0, 0, 40, height + r, r), edge)
        paint(im, lambda x, y: caption_colour(p, look, y, height),
              lambda px, py: rounded_inside(px, py, 1, 1, 39, height + r, max(0, r - 1)), edge)
        # the inner light line along the top
        for x in range(r + 1, 40 - r - 1):
            im.set(x, 1, mix(im.get(x, 1), light, 0.7))
        for y in range(height):
            for x in range(40):
                if im.get(x, y) == MAGENTA:
                    im.set(x, y, edge)
        out.append(im)
    return stack(out)


def border(p, side):
    """The left, right or bottom border, two looks: the outer edge, the
    border colour and a darker line against the dialog."""
    out = []
    for look in range(2):
        edge, _, fill = p["caption"][look][4:7]
        inner = mix(fill, edge, 0.45)
        if side == "bottom":
            im = Image(12, BORDER, fill)
            for x in range(12):
                im.set(x, BORDER - 1, edge)
                im.set(x, 0, inner)
            for y in range(BORDER):
                im.set(0, y, edge)
                im.set(11, y, edge)
                if y < BORDER - 1:
                    im.set(BORDER - 1, y, inner)
                    im.set(12 - BORDER, y, inner)
            im.fill(0, 0, BORDER - 1, 1, fill)
            im.fill(0, 0, 1, 1, edge)
            im.fill(13 - BORDER, 0, 11, 1, fill)
        else:
            im = Image(BORDER, 8, fill)
            outer_x, inner_x = (0, BORDER - 1) if side == "left" else (BORDER - 1, 0)
            for y in range(8):
                im.set(outer_x, y, edge)
                im.set(inner_x, y, inner)
        out.append(im)
    return stack(out)


def cap_mark(kind, w, h):
    """The shape of a caption-button mark, centred in a w x h cell."""
    cx, cy = w / 2.0, h / 2.0
    if kind == "close":
        s = 4.0
        return lambda px, py: min(seg_distance(px, py, cx - s, cy - s, cx + s, cy + s),
                                  seg_distance(px, py, cx - s, cy + s, cx + s, cy - s)) <= 0.95
    # the box marks sit on whole pixels: crisp one-pixel lines
    x, y = w // 2, h // 2
    if kind == "min":
        return lambda px, py: rounded_inside(px, py, x - 5, y + 3, x + 5, y + 5, 0)

    def box(x0, y0, x1, y1):
        return lambda px, py: (rounded_inside(px, py, x0, y0, x1, y1, 0)
                               and not rounded_inside(px, py, x0 + 1, y0 + 2, x1 - 1, y1 - 1, 0))
    if kind == "max":
        return box(x - 5, y - 5, x + 5, y + 5)
    back = box(x - 2, y - 5, x + 5, y + 2)
    front = box(x - 5, y - 2, x + 2, y + 5)
    front_inside = lambda px, py: rounded_inside(px, py, x - 5, y - 2, x + 2, y + 5, 0)
    return lambda px, py: front(px, py) or (back(px, py) and not front_inside(px, py))


def caption_button(p, kind, height=CAPTION_HEIGHT, size=None):
    """Eight looks: normal, hot, pressed, disabled on an active caption,
    then the same on an inactive one. Transparent outside the plate; soft
    edges are blended against the caption rows the button sits on."""
    w, h = size or p["cap_button"]
    # the button group is centred between the caption's content margins
    top = CAPTION_MARGIN + (height - 2 * CAPTION_MARGIN - h) // 2
    hot, pressed = p["cap_close" if kind == "close" else "cap_other"]
    out = []
    for look in range(2):
        mark = p["caption"][look][8]
        matte = lambda x, y, look=look: caption_colour(p, look, top + y % h, height)
        for visual in range(4):
            im = Image(w, h, MAGENTA)
            colour = mark
            if visual in (1, 2):
                plate = hot if visual == 1 else pressed
                if look == 1:
                    plate = mix(plate, caption_colour(p, 1, height // 2, height), 0.35)
                paint(im, lambda x, y, c=plate: mix(shade(c, 0.18), c, y / float(h - 1)),
                      lambda px, py: rounded_inside(px, py, 0, 0, w, h, 3), matte)
                colour = (255, 255, 255)
            elif visual == 3:
                colour = mix(mark, caption_colour(p, look, height // 2, height), 0.6)
            paint(im, lambda x, y, c=colour: c, cap_mark(kind, w, h), matte)
            out.append(im)
    return stack(out)


XP_CAPTION_HEIGHT = 30
XP_BUTTON = 21          # the XP caption buttons are square plates


def xp_caption(p):
    """The XP dialog caption, two 40 x 30 looks (active, inactive): a glossy
    gradient with a light line on top and a dark base line against the
    dialog. The frame has no side borders; its top corners are rounded as
    the window region cuts them, softened against the edge colour."""
    out = []
    r = XP_CORNER // 2
    h = XP_CAPTION_HEIGHT
    for look in range(2):
        edge, light = p["xp_caption"][look][4:6]
        im = Image(40, h, edge)
        paint(im, lambda x, y: caption_colour(p, look, y, h, "xp_caption"),
              lambda px, py: rounded_inside(px, py, 0, 0, 40, h + r, r))
        for x in range(r, 40 - r):
            im.set(x, 1, mix(im.get(x, 1), light, 0.6))
        im.fill(0, h - 1, 40, h, edge)
        out.append(im)
    return stack(out)


def xp_button(p, kind):
    """Eight looks of an XP caption button (normal, hot, pressed, disabled,
    on an active then an inactive caption): a square plate with a light
    rim, always shown; the close button's plate is warm. Soft corners are
    blended against the caption rows the button sits on."""
    w = h = XP_BUTTON
    top = CAPTION_MARGIN + (XP_CAPTION_HEIGHT - 2 * CAPTION_MARGIN - h) // 2
    base, hot, pressed = p["xp_close" if kind == "close" else "xp_other"]
    out = []
    for look in range(2):
        behind = caption_colour(p, look, XP_CAPTION_HEIGHT // 2, XP_CAPTION_HEIGHT, "xp_caption")
        matte = lambda x, y, look=look: caption_colour(p, look, top + y % h, XP_CAPTION_HEIGHT, "xp_caption")
        mark = p["xp_caption"][look][8]
        for visual in range(4):
            colour = (base, hot, pressed, base)[visual]
            if look == 1:
                colour = mix(colour, behind, 0.55)
            if visual == 3:
                colour = mix(colour, behind, 0.6)
            rim = mix(colour, (255, 255, 255), 0.55 if visual != 3 else 0.2)
            im = Image(w, h, MAGENTA)
            lit = shade(colour, 0.3) if visual != 2 else shade(colour, -0.15)
            dim = shade(colour, -0.12) if visual != 2 else shade(colour, 0.1)
            panel(im, 0, 0, w, h, 3, rim, lit, dim, matte)
            fore = mark if visual != 3 else mix(mark, colour, 0.55)
            paint(im, lambda x, y, c=fore: c, cap_mark(kind, w, h), matte)
            out.append(im)
    return stack(out)


HAND = [
    "......XX........",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..XXX.....",
    ".....X..X..XX...",
    ".....X..X..X.XX.",
    "..XX.X..X..X.X.X",
    ".X..XX........XX",
    ".X...X........X.",
    "..X...........X.",
    "..X..........X..",
    "...X.........X..",
    "...X........X...",
    "....X.......X...",
    "....XXXXXXXXX...",
]


def hand_cursor():
    """A 32 x 32 monochrome pointing hand, hot spot at the finger tip."""
    size = 32
    outline = set()
    for y, row in enumerate(HAND):
        for x, ch in enumerate(row):
            if ch == "X":
                outline.add((x + 4, y + 2))
    # fill the inside: every pixel between outline pixels on its row that
    # is enclosed vertically as well
    inside = set()
    for y in range(size):
        xs = [x for (x, yy) in outline if yy == y]
        if len(xs) < 2:
            continue
        for x in range(min(xs) + 1, max(xs)):
            if (x, y) in outline:
                continue
            up = any((x, yy) in outline for yy in range(y))
            down = any((x, yy) in outline for yy in range(y + 1, size))
            if up and down:
                inside.add((x, y))
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):
        xor_bits = and_bits = 0
        for x in range(size):
            bit = 1 << (31 - x)
            if (x, y) in outline:
                pass                              # black: AND 0, XOR 0
            elif (x, y) in inside:
                xor_bits |= bit                   # white: AND 0, XOR 1
            else:
                and_bits |= bit                   # transparent: AND 1, XOR 0
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    hot_x, hot_y = 6 + 4, 0 + 2
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return directory + entry + image


# ------------------------------------------------------------- task panes

TASK_HEADER_HEIGHT = 26
TASK_BUTTON = 18


def task_header(p):
    """A pane header, 40 x 26: a gradient under a border, its top corners
    round against the dialog, open at the bottom where the body joins."""
    border, top, bottom, _ = p["task_header"]
    h = TASK_HEADER_HEIGHT
    im = Image(40, h, p["dialog"])
    panel(im, 0, 0, 40, h + 4, 4, border, top, bottom)
    return im


def task_body(p):
    """A pane body, 40 x 20: the fill inside a border on the left, right
    and bottom."""
    border, fill = p["task_body"]
    im = Image(40, 20, border)
    im.fill(1, 0, 39, 19, fill)
    return im


def task_buttons(p, expand):
    """Three looks (normal, hot, pressed) of the round header button with a
    double chevron, pointing down to expand and up to collapse."""
    w = h = TASK_BUTTON
    c = w / 2.0
    behind = mix(p["task_header"][1], p["task_header"][2], 0.5)
    out = []
    for ring, fill, mark in p["task_button"]:
        im = Image(w, h, MAGENTA)
        paint(im, lambda x, y, ring=ring: ring, circle(c, c, c - 0.5), behind)
        paint(im, lambda x, y, fill=fill: fill, circle(c, c, c - 1.7), behind)
        for dy in (-2.5, 1.5):
            tip = c + dy + (2 if expand else -1)
            base = c + dy + (-1 if expand else 2)

            def chevron(px, py, tip=tip, base=base):
                return min(seg_distance(px, py, c - 4, base, c, tip),
                           seg_distance(px, py, c + 4, base, c, tip)) <= 0.9
            paint(im, lambda x, y, mark=mark: mark, chevron, behind)
        out.append(im)
    return stack(out)


def task_items(p):
    """Eight looks of an item, 40 x 22 (normal, hot, pressed, disabled, then
    the same checked): flat on the body when normal, a soft rounded plate
    otherwise."""
    body = p["task_body"][1]
    out = []
    for border, fill in p["task_item"]:
        im = Image(40, 22, body)
        if fill and not border:
            im.fill(0, 0, 40, 22, fill)
        elif fill:
            panel(im, 0, 0, 40, 22, 3, border, shade(fill, 0.25), fill)
        out.append(im)
    return stack(out)


# --------------------------------------------------------------- menu bar

# The menu palette of each pack: the thirteen colours the flat menu bar and
# its popups draw with, in the library's order, and the band behind the bar
# (gradient top and bottom, bottom line).
MENU_PALETTES = {
    "ZQ2009": {
        "Frame": (116, 138, 170), "Background": (252, 253, 255), "Menu": (222, 231, 244),
        "HotBorder": (40, 112, 204), "Hot": (214, 230, 250), "HotDark": (178, 206, 244),
        "Pressed": (170, 200, 238), "GreyText": (150, 158, 172), "MenuText": (16, 28, 48),
        "SelMenuText": (10, 52, 120), "ButtonText": (16, 28, 48), "SelButtonText": (10, 52, 120),
        "Shadow": (150, 162, 184),
        "band": ((252, 253, 255), (214, 225, 240), (176, 192, 216)),
    },
    "Graphite": {
        "Frame": (110, 116, 128), "Background": (52, 55, 62), "Menu": (66, 70, 79),
        "HotBorder": (255, 150, 40), "Hot": (92, 72, 50), "HotDark": (128, 90, 48),
        "Pressed": (156, 100, 36), "GreyText": (108, 113, 122), "MenuText": (226, 229, 235),
        "SelMenuText": (255, 200, 130), "ButtonText": (226, 229, 235),
        "SelButtonText": (255, 178, 84), "Shadow": (28, 30, 34),
        "band": ((78, 83, 93), (52, 56, 64), (34, 36, 41)),
    },
}

MENU_KEYS = ("Frame", "Background", "Menu", "HotBorder", "Hot", "HotDark", "Pressed", "GreyText",
             "MenuText", "SelMenuText", "ButtonText", "SelButtonText", "Shadow")
MENU_BAND_HEIGHT = 26


def menu_band(name):
    """The band behind the menu bar, 8 x 26: a vertical gradient over a
    one-pixel line at the bottom, stretched across the rebar."""
    top, bottom, line = MENU_PALETTES[name]["band"]
    h = MENU_BAND_HEIGHT
    im = Image(8, h, line)
    for y in range(h - 1):
        im.fill(0, y, 8, y + 1, mix(top, bottom, y / float(h - 2)))
    return im


def menu_bar_ini(name):
    """The "MenuBar" element: the palette overrides in its main section and
    the band look."""
    m = MENU_PALETTES[name]
    lines = ["; Menu bar: the flat menus' palette, and the band behind the bar."]
    lines.append("[MenuBar]\n" + "\n".join("%s=%s" % (key, rgb(m[key])) for key in MENU_KEYS))
    lines.append("[Back@MenuBar]\nType=FillImage\nImageFile=MenuBand.bmp\nSizingType=Stretch\n"
                 "SizingMargins=0, 0, 2, 2\n")
    return "\n".join(lines)


# -------------------------------------------------------------- STYLE.INI

def rgb(c):
    return "%d, %d, %d" % c


def per_state(key, values):
    return "\n".join("%s%d=%s" % (key, i, v) for i, v in enumerate(values))


FRAME_BUTTONS = (("Close", "CaptionClose"), ("Min", "CaptionMin"), ("Max", "CaptionMax"),
                 ("Restore", "CaptionRestore"))
FRAME_BORDERS = (("Left", "BorderLeft", "0, 0, 0, 0"), ("Right", "BorderRight", "0, 0, 0, 0"),
                 ("Bottom", "BorderBottom", "%d, %d, 0, 0" % (BORDER, BORDER)))
XP_CORNER = 16
XP_BOTTOM_CORNER = 8


def frame_ini(add, p, frame, title, borders, corners, height, caption_file, caption_sizing, font,
              colours, buttons, border_kinds, button_right=2):
    """The sections of one frame family: the frame's keys, the caption, the
    caption buttons and the borders."""
    left, right, bottom = borders
    add("[%s]\nMargins=%d, %d, 0, %d" % (frame, left, right, bottom))
    for key, size in zip(("TopLeftEllipse", "TopRightEllipse", "BottomLeftEllipse", "BottomRightEllipse"),
                         corners):
        if size:
            add("%s=%d, %d" % (key, size, size))
    add("BackColor=%s\nStaticColor=%s" % (rgb(p["dialog"]), rgb(p["static"])))
    # The client areas of native edits and list boxes on the frame.
    add("FieldColor=%s\nFieldTextColor=%s\n" % (rgb(p["field"]), rgb(p["text"])))
    add("; The caption: 0 active, 1 inactive.")
    add("[%s]\nHeight=%d\nMargins=8, 4, %d, %d\nButtonRight=%d\nButtonSpace=2\nTitleOffset=2\n"
        % (title, height, CAPTION_MARGIN, CAPTION_MARGIN, button_right))
    add("[Back@%s]\nType=FillImage\nImageFile=%s\nImageCount=2\n"
        "SizingType=Stretch\nSizingMargins=%d, %d, 3, 3\n" % (title, caption_file, caption_sizing, caption_sizing))
    add("[Fore@%s]\nType=Text\nStateCount=2\nVAlign=center\nFont=%s" % (title, font))
    add(per_state("TextColor", [rgb(p[colours][look][7]) for look in range(2)]) + "\n")
    add("; Caption buttons: 0 normal, 1 hot, 2 pressed, 3 disabled; 4 to 7 the")
    add("; same on an inactive caption.")
    for section, image in buttons:
        add("[%s]\n" % section)
        add("[Fore@%s]\nType=ImageGlyph\nImageFile=%s.bmp\nImageCount=8\n"
            "Transparent=true\nTransparentColor=255, 0, 255\n" % (section, image))
    add("; Borders: 0 active, 1 inactive.")
    for section, image, margins in border_kinds:
        add("[%s]\n" % section)
        add("[Back@%s]\nType=FillImage\nImageFile=%s.bmp\nImageCount=2\n"
            "SizingType=Stretch\nSizingMargins=%s\n" % (section, image, margins))


def style_ini(name, p):
    box_text = [p["text"], p["text_hot"], p["text"], p["text_off"]]
    label_colours = [rgb(box_text[s % 4]) for s in range(12)]
    lines = []
    add = lines.append
    add("; Style pack %s. Made by styles/make_images.py from its palette:" % name)
    add("; change colours there and rerun it rather than editing this file.")
    add("")
    add("[Config]\nIsSimple=false\n")
    f, s = p["font"], p["size"]
    add("[Fonts]")
    add("$default$=name:%s, size:%d" % (f, s))
    add("$Bold=name:%s, size:%d, bold" % (f, s))
    add("$Link=name:%s, size:%d, underline" % (f, s))
    add("$BoldLink=name:%s, size:%d, bold, underline" % (f, s))
    add("$Title=name:%s, size:%d, bold" % (f, s + 2))
    # Wine's Tahoma has a bold face only up to 12 pixels (9 points)
    add("$Caption=name:%s, size:9, bold" % f)
    add("")
    add("[Cursors]\n$Hand=HAND.CUR\n")

    add("; Dialog frames: border widths (left, right, top, bottom), the corners")
    add("; cut round, the dialog background and the colour of static text.")
    corner = p["corner"]
    frame_ini(add, p, "DlgFrame", "DlgFrameTitle", (BORDER, BORDER, BORDER), (corner, corner, 0, 0),
              CAPTION_HEIGHT, "Caption.bmp", p["corner"] // 2 + 1, "$Bold", "caption",
              [("DlgFrameButton" + kind, image) for kind, image in FRAME_BUTTONS],
              [("DlgFrame%sBorder" % side, image, margins) for side, image, margins in FRAME_BORDERS])
    add("; Main windows: the dialog frame's look with a taller caption and a")
    add("; larger title.")
    frame_ini(add, p, "Frame", "FrameTitle", (BORDER, BORDER, BORDER), (corner, corner, 0, 0),
              FRAME_CAPTION_HEIGHT, "FrameCaption.bmp", p["corner"] // 2 + 1, "$Caption", "caption",
              [("FrameButton" + kind, "Frame" + image) for kind, image in FRAME_BUTTONS],
              [("Frame%sBorder" % side, image, margins) for side, image, margins in FRAME_BORDERS])
    add("; XP dialog frames: the family counted from XPDlgFrame, whose caption,")
    add("; caption buttons and borders are the kinds numbered after it: ToolsPage")
    add("; the caption, GenericItem close, SecurityItem minimise, ServicePage")
    add("; maximise, UploadItem the right and LangItem the bottom border. No kind")
    add("; has the numbers of the restore button and the left border, so this")
    add("; frame has no borders (a left one would show the system colour) and")
    add("; rounds all four corners instead.")
    xp = XP_CORNER
    frame_ini(add, p, "XPDlgFrame", "ToolsPage", (0, 0, 0), (xp, xp, XP_BOTTOM_CORNER, XP_BOTTOM_CORNER),
              XP_CAPTION_HEIGHT, "XpCaption.bmp", XP_CORNER // 2 + 1, "$Caption", "xp_caption",
              [("GenericItem", "XpClose"), ("SecurityItem", "XpMin"), ("ServicePage", "XpMax")],
              [("UploadItem", "BorderRight", "0, 0, 0, 0"),
               ("LangItem", "BorderBottom", "%d, %d, 0, 0" % (BORDER, BORDER))],
              button_right=4)

    add("; Push buttons: 0 normal, 1 hot, 2 pressed, 3 disabled, 4 default.")
    add("[PushButton]\nMargins=6, 6, 3, 3\n")
    add("[Back@PushButton]\nType=FillImage\nImageFile=PushButton.bmp\nImageCount=5\n"
        "SizingType=Stretch\nSizingMargins=4, 4, 4, 4\n")
    add("[Fore@PushButton]\nType=Text\nStateCount=5\nAlign=center\nVAlign=center\nPrefix=true\n"
        "Font=$default$")
    add(per_state("TextColor", [rgb(b[3]) for b in p["button"]]))
    add("Font4=$Bold\n")

    add("; Check boxes and radio buttons: state = check (0 off, 1 on,")
    add("; 2 indeterminate) x 4 + visual state (normal, hot, pressed, disabled).")
    for kind, mark_file, count in (("CheckButton", "CheckState.bmp", 12),
                                   ("RadioButton", "RadioState.bmp", 12)):
        add("[%s]\nGlyphSpace=5\nVisible=true\n" % kind)
        add("[Fore@%sState]\nType=ImageGlyph\nImageFile=%s\nImageCount=%d\n"
            "Transparent=true\nTransparentColor=255, 0, 255\n" % (kind, mark_file, count))
        add("[Fore@%sLabel]\nType=Text\nStateCount=12\nVAlign=center\nPrefix=true\nFont=$default$" % kind)
        add(per_state("TextColor", label_colours) + "\n")
    add("[Fore@RadioButtonStateXP]\nType=ImageGlyph\nImageFile=RadioStateXP.bmp\nImageCount=12\n"
        "Transparent=true\nTransparentColor=255, 0, 255\n")

    add("; Links: 0 normal, 1 hot, 2 pressed, 3 disabled.")
    add("[HyperLink]\nCursor=$Hand\n")
    add("[Fore@HyperLink]\nType=Text\nStateCount=4\nVAlign=center\nPrefix=true\nFont=$Link")
    add(per_state("TextColor", [rgb(c) for c in p["link"]]) + "\n")

    add("; Text statics: the state is the alignment (0 left, 1 centre, 2 right).")
    add("; Text painters of controls whose native look underlines a mnemonic")
    add("; read \"&\" as one (Prefix).")
    add("[Fore@Static]\nType=Text\nStateCount=3\nAutoWrap=true\nPrefix=true\nFont=$default$\nTextColor=%s"
        % rgb(p["static"]))
    add("Align0=left\nAlign1=center\nAlign2=right\n")

    add("; Prompt text of message boxes.")
    add("[PromptError]\nMargins=10, 10, 8, 8\n")
    add("[Back@PromptError]\nType=FillColor\nStateCount=1\nBorderSize=1\nBorderColor=%s\nFillColor=%s\n"
        % (rgb(p["prompt"]["border"]), rgb(p["prompt"]["back"])))
    add("[Fore@PromptError]\nType=Text\nStateCount=1\nAutoWrap=true\nVAlign=center\nFont=$Bold\n"
        "TextColor=%s\n" % rgb(p["prompt"]["text"]))

    add("; Scroll bars. Arrow states: direction (0 up, 4 down, 8 left, 12 right)")
    add("; + visual state (normal, hot, pressed, disabled).")
    add("[ScrollBarArrowButton]\n")
    add("[Back@ScrollBarArrowButton]\nType=FillImage\nImageFile=ScrollArrow.bmp\nImageCount=16\n"
        "SizingType=Stretch\nSizingMargins=3, 3, 3, 3\n")
    add("[Fore@ScrollBarArrowButton]\nType=ImageGlyph\nImageFile=ScrollArrowMark.bmp\nImageCount=16\n"
        "Transparent=true\nTransparentColor=255, 0, 255\n")
    for orient, margins in (("Horz", "0, 0, 1, 1"), ("Vert", "1, 1, 0, 0")):
        for part in ("Lower", "Upper"):
            add("[ScrollBar%sTrack%s]\n" % (part, orient))
            add("[Back@ScrollBar%sTrack%s]\nType=FillImage\nImageFile=Track%s.bmp\nImageCount=4\n"
                "SizingType=Stretch\nSizingMargins=%s\n" % (part, orient, orient, margins))
        thumb_margins = "6, 6, 4, 4" if orient == "Horz" else "4, 4, 6, 6"
        add("[ScrollBarThumbButton%s]\n" % orient)
        add("[Back@ScrollBarThumbButton%s]\nType=FillImage\nImageFile=Thumb%s.bmp\nImageCount=4\n"
            "SizingType=Stretch\nSizingMargins=%s\n" % (orient, orient, thumb_margins))
        add("[ScrollBarGripper%s]\n" % orient)
        add("[Fore@ScrollBarGripper%s]\nType=ImageGlyph\nImageFile=Gripper%s.bmp\nImageCount=4\n"
            "Transparent=true\nTransparentColor=255, 0, 255\n" % (orient, orient))
    add("[ScrollBarSizeBox]\n")
    add("[Back@ScrollBarSizeBox]\nType=FillColor\nStateCount=1\nBorderSize=0\nFillColor=%s\n"
        % rgb(p["track"][0]))
    add("[Fore@ScrollBarSizeBox]\nType=ImageGlyph\nImageFile=SizeGrip.bmp\nTransparent=true\n"
        "TransparentColor=255, 0, 255\n")

    add("; Edit frames, state 0: an outer and an inner line; the edit paints its")
    add("; own client area.")
    add("[Edit]\n")
    add("[Back@Edit]\nType=BorderImage\nImageFile=EditFrame.bmp\nSizingType=Stretch\n"
        "SizingMargins=2, 2, 2, 2\n")

    add("; Closed combo boxes: 0 normal, 1 hot, 2 pressed, 3 disabled. The margins")
    add("; place the text and inset the drop-down button into the border.")
    add("[Combobox]\nMargins=4, 1, 1, 1\n")
    add("[Back@Combobox]\nType=FillImage\nImageFile=Combo.bmp\nImageCount=4\nSizingType=Stretch\n"
        "SizingMargins=3, 3, 3, 3\n")
    add("[Fore@Combobox]\nType=Text\nStateCount=4\nVAlign=center\nFont=$default$")
    add(per_state("TextColor", [rgb(c) for c in (p["text"], p["text"], p["text"], p["text_off"])]) + "\n")
    add("[ComboboxDropDownButton]\n")
    add("[Back@ComboboxDropDownButton]\nType=FillImage\nImageFile=ComboButton.bmp\nImageCount=4\n"
        "SizingType=Stretch\nSizingMargins=2, 2, 2, 2\n")
    add("[Fore@ComboboxDropDownButton]\nType=ImageGlyph\nImageFile=ComboArrow.bmp\nImageCount=4\n"
        "Transparent=true\nTransparentColor=255, 0, 255\n")

    add("; Tab controls. An item's state is how it meets the selected tab x 2 +")
    add("; hot: 0 another tab, 1 the selected one, 2 the selected tab is on its")
    add("; right (a row end: on its left), 3 on its left. Items are transparent")
    add("; at the top and in their last column, where the pane shows.")
    add("[TabCtrl]\n")
    add("[Back@TabCtrl]\nType=FillColor\nStateCount=1\nBorderSize=0\nFillColor=%s\n" % rgb(p["dialog"]))
    add("[TabCtrlPane]\n")
    add("[Back@TabCtrlPane]\nType=FillImage\nImageFile=TabPane.bmp\nSizingType=Stretch\n"
        "SizingMargins=0, 0, 0, 1\n")
    add("[TabCtrlBody]\nMargins=2, 2, 2, 2\n")
    add("[Back@TabCtrlBody]\nType=FillImage\nImageFile=TabBody.bmp\nSizingType=Stretch\n"
        "SizingMargins=1, 1, 1, 1\n")
    tab_text = [rgb(p["tab_text"][i]) for i in (0, 1, 2, 3, 0, 1, 0, 1)]
    for section, image, count in (("TabCtrlLeftItem", "TabItem.bmp", 6), ("TabCtrlItem", "TabItem.bmp", 8),
                                  ("TabCtrlRightItem", "TabItemRight.bmp", 6)):
        add("[%s]\nMargins=4, 5, 2, 0\n" % section)
        add("[Back@%s]\nType=FillImage\nImageFile=%s\nImageCount=%d\nSizingType=Stretch\n"
            "SizingMargins=4, 5, 5, 2\nTransparent=true\nTransparentColor=255, 0, 255\n"
            % (section, image, 8 if image == "TabItem.bmp" else 6))
        add("[Fore@%s]\nType=Text\nStateCount=%d\nAlign=center\nVAlign=center\nPrefix=true\n"
            "Font=$default$" % (section, count))
        add(per_state("TextColor", tab_text[:count]) + "\n")

    add("; Headers of list views. An item's state is its alignment (0 left,")
    add("; 1 right, 2 centre) x 3 + 0 normal, 1 hot, 2 pressed; the rest of the")
    add("; strip is an empty left-aligned item. The sort mark: 0 none, 1 up, 2 down.")
    add("[HeaderCtrl]\n")
    add("[Back@HeaderCtrl]\nType=FillColor\nStateCount=1\nBorderSize=0\nFillColor=%s\n"
        % rgb(p["tab_fill"][1]))
    add("[HeaderCtrlItem]\nMargins=6, 1, 6, 2\n")
    add("[Back@HeaderCtrlItem]\nType=FillImage\nImageFile=HeaderItem.bmp\nImageCount=9\n"
        "SizingType=Stretch\nSizingMargins=2, 3, 2, 3\n")
    header_text = [rgb(p["tab_text"][i]) for i in (0, 1, 2)] * 3
    add("[Fore@HeaderCtrlItem]\nType=Text\nStateCount=9\nVAlign=center\nFont=$default$")
    add(per_state("TextColor", header_text))
    add(per_state("Align", ["left"] * 3 + ["right"] * 3 + ["center"] * 3) + "\n")
    add("[HeaderCtrlSort]\n")
    add("[Fore@HeaderCtrlSort]\nType=ImageGlyph\nImageFile=HeaderSort.bmp\nImageCount=3\n"
        "Transparent=true\nTransparentColor=255, 0, 255\n")
    add("[HeaderCtrlDivider]\n")
    add("[Fore@HeaderCtrlDivider]\nType=ImageGlyph\nImageFile=HeaderDivider.bmp\nImageCount=1\n"
        "Transparent=true\nTransparentColor=255, 0, 255\n")

    add("; Progress bars: the trough; the chunk is laid inside its margins.")
    for suffix, orient in (("", ""), ("Vert", "Vert")):
        add("[ProgressBar%s]\nMargins=2, 2, 2, 2\n" % suffix)
        add("[Back@ProgressBar%s]\nType=FillImage\nImageFile=Progress%s.bmp\nSizingType=Stretch\n"
            "SizingMargins=3, 3, 3, 3\n" % (suffix, orient))
        add("[ProgressChunk%s]\n" % suffix)
        add("[Back@ProgressChunk%s]\nType=FillImage\nImageFile=ProgressChunk%s.bmp\nSizingType=Stretch\n"
            "SizingMargins=2, 2, 2, 2\n" % (suffix, orient))

    add("; Spin buttons, each half: 0 normal, 1 hot, 2 pressed, 3 disabled.")
    for section, image in (("SpinUp", "SpinUp"), ("SpinDown", "SpinDown"), ("SpinDownHorz", "SpinLeft"),
                           ("SpinUpHorz", "SpinRight")):
        add("[%s]\n" % section)
        add("[Back@%s]\nType=FillImage\nImageFile=%s.bmp\nImageCount=4\nSizingType=Stretch\n"
            "SizingMargins=3, 3, 3, 3\n" % (section, image))
        add("[Fore@%s]\nType=ImageGlyph\nImageFile=%sMark.bmp\nImageCount=4\nTransparent=true\n"
            "TransparentColor=255, 0, 255\n" % (section, image))

    add("; Track bars: the background, the channel and the thumb (0 normal,")
    add("; 1 hot, 2 pressed, 3 disabled).")
    for suffix, margins in (("", "2, 2, 1, 1"), ("Vert", "1, 1, 2, 2")):
        add("[TrackBar%s]\n" % suffix)
        add("[Back@TrackBar%s]\nType=FillColor\nStateCount=1\nBorderSize=0\nFillColor=%s\n"
            % (suffix, rgb(p["dialog"])))
        add("[TrackBarTrack%s]\n" % suffix)
        add("[Back@TrackBarTrack%s]\nType=FillImage\nImageFile=TrackChannel%s.bmp\nImageCount=4\n"
            "SizingType=Stretch\nSizingMargins=%s\n" % (suffix, suffix, margins))
        add("[TrackBarThumb%s]\n" % suffix)
        add("[Back@TrackBarThumb%s]\nType=FillImage\nImageFile=TrackThumb%s.bmp\nImageCount=4\n"
            "SizingType=Stretch\nSizingMargins=4, 4, 4, 4\n" % (suffix, suffix))
        add("[Fore@TrackBarThumb%s]\nType=ImageGlyph\nImageFile=TrackGrip%s.bmp\nImageCount=4\n"
            "Transparent=true\nTransparentColor=255, 0, 255\n" % (suffix, suffix))

    add("; Pictures of picture statics, and where the pack puts them.")
    add("[BitmapPosition]\nLogo.bmp=%d, %d\n" % p["logo_at"])

    add("; Command tiles: a picture and a text, one target (0 normal, 1 hot,")
    add("; 2 pressed, 3 disabled).")
    add("[QuickScan]\nMargins=10, 10, 8, 8\nGlyphSpace=10\nCursor=$Hand\n")
    add("[Back@QuickScan]\nType=FillImage\nImageFile=Tile.bmp\nImageCount=4\n"
        "SizingType=Stretch\nSizingMargins=6, 6, 6, 6\n")
    add("[Fore@QuickScanIcon]\nType=ImageGlyph\nImageFile=ScanIcon.bmp\nTransparent=true\n"
        "TransparentColor=255, 0, 255\n")
    add("[Fore@QuickScanText]\nType=Text\nStateCount=4\nVAlign=center\nPrefix=true\nFont=$Title")
    add(per_state("TextColor", [rgb(c) for c in p["tile_text"]]) + "\n")
    add("; Task panes: a header (caption and a round expand/collapse button,")
    add("; normal, hot, pressed) over a body of items. Item state: 0 normal,")
    add("; 1 hot, 2 pressed, 3 disabled; 4 to 7 the same checked.")
    add("[TaskPaneHeader]\n")
    add("[Back@TaskPaneHeader]\nType=FillImage\nImageFile=TaskHeader.bmp\nSizingType=Stretch\n"
        "SizingMargins=5, 5, 5, 2\n")
    add("[TaskPaneHeaderLabel]\nMargins=10, 4, 6, 6\n")
    add("[Fore@TaskPaneHeaderLabel]\nType=Text\nStateCount=1\nVAlign=center\nFont=$Bold\nTextColor=%s\n"
        % rgb(p["task_header"][3]))
    for kind, image in (("Expand", "TaskExpand.bmp"), ("Collapse", "TaskCollapse.bmp")):
        add("[TaskPaneHeaderButton%s]\nMargins=0, 6, 0, 0\n" % kind)
        add("[Fore@TaskPaneHeaderButton%s]\nType=ImageGlyph\nImageFile=%s\nImageCount=3\n"
            "Transparent=true\nTransparentColor=255, 0, 255\n" % (kind, image))
    add("[TaskPaneBody]\nMargins=6, 6, 6, 8\nGlyphSpace=2\n")
    add("[Back@TaskPaneBody]\nType=FillImage\nImageFile=TaskBody.bmp\nSizingType=Stretch\n"
        "SizingMargins=1, 1, 0, 1\n")
    add("[TaskPaneItem]\nMargins=5, 5, 3, 3\nGlyphSpace=6\nCursor=$Hand\n")
    add("[Back@TaskPaneItem]\nType=FillImage\nImageFile=TaskItem.bmp\nImageCount=8\nSizingType=Stretch\n"
        "SizingMargins=4, 4, 4, 4\n")
    add("[TaskPaneItemLabel]\n")
    add("[Fore@TaskPaneItemLabel]\nType=Text\nStateCount=8\nVAlign=center\nFont=$default$")
    add("Font1=$Link\nFont4=$Bold\nFont5=$BoldLink\nFont6=$Bold\nFont7=$Bold")
    add(per_state("TextColor", [rgb(c) for c in p["task_text"]]) + "\n")
    add(menu_bar_ini(name))
    return "\r\n".join("\n".join(lines).split("\n")) + "\r\n"


def strings(text):
    return "[Strings]\r\n101=%s\r\n" % text


# ------------------------------------------------------------------- main

# Keys whose numbers are lengths in pixels; a .big pack multiplies them.
# Font sizes are points, which the library already converts at the
# screen's dpi, so they stay as they are.
PIXEL_KEYS = ("Margins", "SizingMargins", "GlyphSpace", "BorderSize", "Height", "ButtonRight",
              "ButtonSpace", "TitleOffset", "ButtonOffset", "IconWidth", "IconHeight", "AlignLeft",
              "WidthEllipse", "HeightEllipse", "TopLeftEllipse", "TopRightEllipse",
              "BottomLeftEllipse", "BottomRightEllipse")


# Tab items are as wide as the tab control makes them: the text plus a
# padding of its own that does not grow with the pictures. Their side
# margins stay as drawn for one size, or the text would be cut.
NATIVE_WIDTH_SECTIONS = ("TabCtrlItem", "TabCtrlLeftItem", "TabCtrlRightItem")


def scale_ini(text, scale):
    """STYLE.INI for pictures drawn scale times as large: every pixel length
    scaled, and the picture positions of [BitmapPosition]."""
    out = []
    section = ""
    for line in text.split("\r\n"):
        if line.startswith("["):
            section = line.strip("[]")
        label, eq, content = line.partition("=")
        key = label.rstrip("0123456789")
        if eq and not line.startswith(";") and (key in PIXEL_KEYS or label.upper().endswith(".BMP")):
            fields = [f.strip() for f in content.split(",")]
            if all(f.lstrip("-").isdigit() for f in fields):
                factors = [scale] * len(fields)
                if key == "Margins" and section in NATIVE_WIDTH_SECTIONS:
                    factors[0] = factors[1] = 1  # left, right
                content = ", ".join(str(int(f) * k) if int(f) > 0 else f for f, k in zip(fields, factors))
                line = label + eq + content
        out.append(line)
    return "\r\n".join(out)


MARK_SCALE = 1.5


def at_scale(scale, draw, *args):
    """draw(*args) with SCALE set to scale."""
    global SCALE
    previous, SCALE = SCALE, scale
    try:
        return draw(*args)
    finally:
        SCALE = previous


def build(name, scale=1):
    """Draws one pack; scale 2 makes its high-dpi companion in <name>.big
    (compiled into Style\\<name>.spk.big), which the style manager loads on
    screens of 120 dpi and more."""
    global SCALE
    SCALE = scale
    folder_name = name if scale == 1 else name + ".big"
    p = PACKS[name]
    folder = os.path.join(HERE, folder_name)
    os.makedirs(folder, exist_ok=True)
    out = lambda file, image: save_bmp(image, os.path.join(folder, file))
    out("PushButton.bmp", push_button(p))
    # Check boxes and radio buttons are 10 dialog units high: 24 pixels at
    # 144 dpi, where marks of twice the size would be cut. The high-dpi
    # marks are drawn one and a half times as large instead.
    marks = MARK_SCALE if scale != 1 else 1
    out("CheckState.bmp", at_scale(marks, check_marks, p))
    out("RadioState.bmp", at_scale(marks, radio_marks, p))
    out("RadioStateXP.bmp", at_scale(marks, radio_marks_xp, p))
    out("ScrollArrow.bmp", arrow_frames(p))
    out("ScrollArrowMark.bmp", arrow_marks(p))
    out("TrackHorz.bmp", track(p, False))
    out("TrackVert.bmp", track(p, True))
    out("ThumbHorz.bmp", thumb(p, False))
    out("ThumbVert.bmp", thumb(p, True))
    out("GripperHorz.bmp", gripper(p, False))
    out("GripperVert.bmp", gripper(p, True))
    out("SizeGrip.bmp", size_grip(p))
    out("Tile.bmp", tile(p))
    out("ScanIcon.bmp", scan_icon(p))
    out("Caption.bmp", caption(p))
    for kind, image in (("close", "CaptionClose"), ("min", "CaptionMin"), ("max", "CaptionMax"),
                        ("restore", "CaptionRestore")):
        out(image + ".bmp", caption_button(p, kind))
    for side, image in (("left", "BorderLeft"), ("right", "BorderRight"), ("bottom", "BorderBottom")):
        out(image + ".bmp", border(p, side))
    out("FrameCaption.bmp", caption(p, FRAME_CAPTION_HEIGHT))
    w, h = p["cap_button"]
    for kind, image in (("close", "CaptionClose"), ("min", "CaptionMin"), ("max", "CaptionMax"),
                        ("restore", "CaptionRestore")):
        out("Frame" + image + ".bmp", caption_button(p, kind, FRAME_CAPTION_HEIGHT, (w + 4, h + 2)))
    out("XpCaption.bmp", xp_caption(p))
    for kind, image in (("close", "XpClose"), ("min", "XpMin"), ("max", "XpMax")):
        out(image + ".bmp", xp_button(p, kind))
    out("EditFrame.bmp", edit_frame(p))
    out("Combo.bmp", combo(p))
    out("ComboButton.bmp", combo_button(p))
    out("ComboArrow.bmp", combo_marks(p))
    out("TabPane.bmp", tab_pane(p))
    out("TabBody.bmp", tab_body(p))
    out("TabItem.bmp", tab_items(p, ("right", "left")))
    out("TabItemRight.bmp", tab_items(p, ("left",)))
    out("HeaderItem.bmp", header_items(p))
    out("HeaderDivider.bmp", header_divider(p))
    out("HeaderSort.bmp", header_sort_marks(p))
    for orient, vertical in (("", False), ("Vert", True)):
        out("Progress%s.bmp" % orient, progress_bar(p, vertical))
        out("ProgressChunk%s.bmp" % orient, progress_chunk(p, vertical))
        out("TrackChannel%s.bmp" % orient, slider_channel(p, vertical))
        out("TrackThumb%s.bmp" % orient, slider_thumb(p, vertical))
        out("TrackGrip%s.bmp" % orient, slider_grip(p, vertical))
    for direction, image in (("up", "SpinUp"), ("down", "SpinDown"), ("left", "SpinLeft"), ("right", "SpinRight")):
        out(image + ".bmp", spin_arrow(p, direction))
        out(image + "Mark.bmp", spin_marks(p, direction))
    out("Logo.bmp", logo(p))
    out("TaskHeader.bmp", task_header(p))
    out("TaskBody.bmp", task_body(p))
    out("TaskItem.bmp", task_items(p))
    out("TaskExpand.bmp", task_buttons(p, True))
    out("TaskCollapse.bmp", task_buttons(p, False))
    out("MenuBand.bmp", menu_band(name))
    if scale == 1:
        # The pack chooser's pictures are read from the .spk only.
        demo, small = previews(p)
        out("Pic_demo.bmp", demo)
        out("Pic_small.bmp", small)
    write_if_changed(os.path.join(folder, "Hand.cur"), hand_cursor())
    write_if_changed(os.path.join(folder, "STYLE.INI"), scale_ini(style_ini(name, p), scale))
    write_if_changed(os.path.join(folder, "Strings.ini"), strings(p["names"]["neutral"]))
    for lang in ("0409", "0804"):
        write_if_changed(os.path.join(folder, "Strings_%s.ini" % lang), strings(p["names"][lang]))
    SCALE = 1
    print("styles/%s: done" % folder_name)


def main(argv):
    names = argv[1:] or list(PACKS)
    for name in names:
        if name not in PACKS:
            sys.exit("make_images.py: no pack %r (packs: %s)" % (name, ", ".join(PACKS)))
        build(name)
        build(name, 2)
    if not argv[1:]:
        save_bmp(slide_frames(), os.path.join(HERE, "..", "demo", "Slide.bmp"))
        print("demo/Slide.bmp: done")


if __name__ == "__main__":
    main(sys.argv)
