#!/usr/bin/env python3
"""Writes arrow.3ds into this folder: the body of the simulator's avatar.

One mesh named "Arrow": a square shaft and a four-sided head pointing along +x, one unit across
in every direction (x, y and z from -0.5 to 0.5), with one orange material. The simulator
stretches it to its size. Faces wind counter-clockwise seen from outside.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def chunk(cid, body=b"", *children):
    data = body + b"".join(children)
    return struct.pack("<HI", cid, 6 + len(data)) + data


def text(s):
    return s.encode("ascii") + b"\0"


def colour(r, g, b):
    return chunk(0x0011, bytes((r, g, b)))


SHAFT_END, SHAFT, HEAD = 0.1, 0.15, 0.5
POINTS = [
    # The shaft's back square (0-3) and front square (4-7).
    (-0.5, -SHAFT, -SHAFT), (-0.5, SHAFT, -SHAFT), (-0.5, SHAFT, SHAFT), (-0.5, -SHAFT, SHAFT),
    (SHAFT_END, -SHAFT, -SHAFT), (SHAFT_END, SHAFT, -SHAFT), (SHAFT_END, SHAFT, SHAFT), (SHAFT_END, -SHAFT, SHAFT),
    # The head's base (8-11) and its tip (12).
    (SHAFT_END, -HEAD, -HEAD), (SHAFT_END, HEAD, -HEAD), (SHAFT_END, HEAD, HEAD), (SHAFT_END, -HEAD, HEAD),
    (0.5, 0.0, 0.0),
]


def quad(a, b, c, d):
    return [(a, b, c), (a, c, d)]


FACES = (
    quad(0, 3, 2, 1)  # back, facing -x
    + quad(0, 1, 5, 4) + quad(1, 2, 6, 5) + quad(2, 3, 7, 6) + quad(3, 0, 4, 7)  # shaft sides
    + quad(8, 11, 10, 9)  # the head's base, facing -x
    + [(8, 9, 12), (9, 10, 12), (10, 11, 12), (11, 8, 12)]  # the head's sides
)


def mesh():
    points = struct.pack("<H", len(POINTS)) + b"".join(struct.pack("<3f", *p) for p in POINTS)
    identity = struct.pack("<12f", 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0)
    faces = struct.pack("<H", len(FACES)) + b"".join(struct.pack("<4H", a, b, c, 7) for a, b, c in FACES)
    group = text("Arrow") + struct.pack("<H", len(FACES)) + b"".join(struct.pack("<H", i) for i in range(len(FACES)))
    return chunk(0x4000, text("Arrow"),
                 chunk(0x4100, b"", chunk(0x4110, points), chunk(0x4160, identity),
                       chunk(0x4120, faces, chunk(0x4130, group))))


def material():
    return chunk(0xAFFF, b"", chunk(0xA000, text("Arrow")), chunk(0xA010, b"", colour(0x60, 0x30, 0x00)),
                 chunk(0xA020, b"", colour(0xF0, 0x90, 0x20)), chunk(0xA030, b"", colour(0xFF, 0xFF, 0xFF)))


def arrow():
    data = chunk(0x3D3D, b"", chunk(0x3D3E, struct.pack("<I", 3)), material(),
                 chunk(0x0100, struct.pack("<f", 1.0)), mesh())
    return chunk(0x4D4D, b"", chunk(0x0002, struct.pack("<I", 3)), data)


if __name__ == "__main__":
    with open(os.path.join(HERE, "arrow.3ds"), "wb") as out:
        out.write(arrow())
