#!/usr/bin/env python3
"""Writes the 3D control bar's pictures (24-bit BMP) into this folder.

2047.bmp: the button back to the plan, 400 x 17: a slate strip with a row of small floor-plan
outlines (a square with a wall stub). No pixel is white, the bar's transparent colour.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y counted from the top."""
    row = (width * 3 + 3) // 4 * 4
    body = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - width * 3)
        body += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + body)


SLATE = (0x70, 0x88, 0xA8)
EDGE = (0x38, 0x44, 0x60)
INK = (0x20, 0x1C, 0x38)


def plan_button(x, y):
    if x == 0 or y == 0 or x == 399 or y == 16:
        return EDGE
    # A plan outline every 50 pixels: a 9 x 9 square with one inner wall.
    cell = (x - 20) % 50
    if 0 <= cell < 11 and 3 <= y <= 13 and x >= 20:
        on_square = cell in (0, 10) or y in (3, 13)
        on_wall = cell == 5 and y >= 8
        if on_square or on_wall:
            return INK
    return SLATE


if __name__ == "__main__":
    write_bmp(os.path.join(HERE, "2047.bmp"), 400, 17, plan_button)
