#!/usr/bin/env python3
"""Draws the plan editor's cursors (32 x 32, monochrome) and writes them as .cur files here.

Each picture is drawn in black and gets a one-pixel white outline so that it shows on any
background. Run again after changing a drawing: python3 src/res/make_cursors.py
"""
import math
import os
import struct

SIZE = 32


class Picture:
    def __init__(self):
        self.black = set()

    def dot(self, x, y):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.black.add((int(round(x)), int(round(y))))

    def line(self, x0, y0, x1, y1, width=1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            for dx in range(width):
                for dy in range(width):
                    self.dot(x + dx - width // 2, y + dy - width // 2)

    def rect(self, x0, y0, x1, y1):
        self.line(x0, y0, x1, y0)
        self.line(x1, y0, x1, y1)
        self.line(x1, y1, x0, y1)
        self.line(x0, y1, x0, y0)

    def fill(self, x0, y0, x1, y1):
        for x in range(x0, x1 + 1):
            for y in range(y0, y1 + 1):
                self.dot(x, y)

    def circle(self, cx, cy, r, start=0.0, end=360.0):
        n = int(r * 8) + 8
        for i in range(n + 1):
            a = math.radians(start + (end - start) * i / n)
            self.dot(cx + r * math.cos(a), cy + r * math.sin(a))

    def write(self, path, hot):
        white = set()
        for (x, y) in self.black:
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    p = (x + dx, y + dy)
                    if p not in self.black and 0 <= p[0] < SIZE and 0 <= p[1] < SIZE:
                        white.add(p)
        xor_rows, and_rows = [], []
        for y in range(SIZE - 1, -1, -1):  # bottom-up
            xor_bits = and_bits = 0
            for x in range(SIZE):
                bit = 1 << (31 - x)
                if (x, y) in white:
                    xor_bits |= bit
                elif (x, y) not in self.black:
                    and_bits |= bit  # transparent
            xor_rows.append(struct.pack(">I", xor_bits))
            and_rows.append(struct.pack(">I", and_bits))
        header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
        palette = struct.pack("<II", 0x000000, 0xFFFFFF)
        image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
        directory = struct.pack("<HHH", 0, 2, 1)
        entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hot[0], hot[1], len(image), 6 + 16)
        with open(path, "wb") as f:
            f.write(directory + entry + image)


def hand():
    p = Picture()
    for i, x in enumerate((10, 14, 18, 22)):
        top = 6 if i in (1, 2) else 8
        p.rect(x, top, x + 3, 16)
    p.line(6, 14, 10, 19)
    p.rect(9, 16, 25, 26)
    p.fill(10, 17, 24, 25)
    return p, (16, 16)


def window_frame():
    p = Picture()
    p.rect(6, 6, 26, 26)
    p.rect(8, 8, 24, 24)
    p.line(16, 8, 16, 24)
    p.line(8, 16, 24, 16)
    return p, (16, 16)


def bucket():
    p = Picture()
    # A pail tipped to the left, paint running from its lip down to the hot spot.
    corners = [(12, 6), (26, 14), (22, 26), (8, 18)]
    for (a, b) in zip(corners, corners[1:] + corners[:1]):
        p.line(a[0], a[1], b[0], b[1])
    p.circle(17, 9, 5, 180, 360)
    p.line(8, 18, 8, 15, 2)
    return p, (8, 15)


def cross():
    p = Picture()
    p.line(15, 2, 15, 12)
    p.line(15, 18, 15, 28)
    p.line(2, 15, 12, 15)
    p.line(18, 15, 28, 15)
    p.rect(13, 13, 17, 17)
    return p, (15, 15)


def arrow():
    p = Picture()
    for y in range(1, 18):
        p.line(1, y, 1 + (y - 1) * 0.6, y)
    p.line(6, 14, 11, 23, 2)
    return p, (1, 1)


def magnifier(sign):
    p = Picture()
    p.circle(14, 14, 8)
    p.circle(14, 14, 7)
    p.line(20, 20, 28, 28, 3)
    if sign:
        p.line(10, 14, 18, 14)
    if sign == "+":
        p.line(14, 10, 14, 18)
    return p, (14, 14)


def door():
    p = Picture()
    p.rect(9, 4, 23, 28)
    p.fill(10, 5, 22, 27)
    p.black.discard((20, 16))
    p.black.discard((20, 17))
    return p, (16, 16)


CURSORS = {
    "plan_pan.cur": hand,
    "plan_window.cur": window_frame,
    "plan_room.cur": bucket,
    "plan_wall.cur": cross,
    "plan_select.cur": arrow,
    "plan_zoom_in.cur": lambda: magnifier("+"),
    "plan_zoom_out.cur": lambda: magnifier("-"),
    "plan_door.cur": door,
    "plan_zoom.cur": lambda: magnifier(None),
}

if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw in CURSORS.items():
        picture, hot = draw()
        picture.write(os.path.join(here, name), hot)
