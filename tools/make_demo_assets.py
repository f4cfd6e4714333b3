#!/usr/bin/env python3
"""Draws the demo service's two avatar pictures (PNG, and JPEG through ffmpeg).

Run once when the pictures should change; the results are committed under demo_assets/.
"""
import math
import os
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def avatar_pixels(width, height, background, face):
    """A head-and-shoulders figure on a diagonal gradient, as RGB rows."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            t = (x + y) / float(width + height)
            color = [int(c * (0.75 + 0.25 * t)) for c in background]
            head = math.hypot(x - width * 0.5, y - height * 0.40) < min(width, height) * 0.20
            body = math.hypot((x - width * 0.5) * 0.8, y - height * 1.02) < height * 0.42
            if head or body:
                color = list(face)
            row += bytes(color)
        rows.append(bytes(row))
    return rows


def write_png(path, width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + r for r in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = os.path.join(HERE, "demo_assets")
    os.makedirs(out, exist_ok=True)
    png = os.path.join(out, "avatar.png")
    write_png(png, 96, 96, avatar_pixels(96, 96, (40, 120, 220), (250, 235, 215)))
    # The JPEG has another aspect ratio and colour, so tests can tell the two apart.
    tmp = os.path.join(out, "jpeg-source.png")
    write_png(tmp, 128, 100, avatar_pixels(128, 100, (230, 90, 40), (255, 250, 240)))
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", tmp, "-q:v", "3",
                    os.path.join(out, "avatar.jpg")], check=True)
    os.remove(tmp)
    return 0


if __name__ == "__main__":
    sys.exit(main())
