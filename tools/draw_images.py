#!/usr/bin/env python3
"""Draws the program's images (row marks, toolbar glyphs, toolbar background) as PNG files.

The images are committed under resources/images; run this again only to change them.
"""
import os
import struct
import sys
import zlib


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[(0, 0, 0, 0)] * width for _ in range(height)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c)
            self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c)
            self.dot(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polygon(self, points, c):
        for y in range(self.h):
            xs = []
            n = len(points)
            for i in range(n):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
                if (ya <= y + 0.5 < yb) or (yb <= y + 0.5 < ya):
                    xs.append(xa + (y + 0.5 - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(round(a)), int(round(b))):
                    self.dot(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.dot(x, y, c)

    def save(self, path):
        raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in self.px)
        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(png)


INK = (40, 40, 48, 255)
PAPER = (250, 250, 244, 255)
FOLD = (200, 200, 190, 255)
WAVE = (30, 90, 200, 255)
ORANGE = (235, 130, 20, 255)
GREEN = (30, 150, 60, 255)
RED = (200, 40, 40, 255)
GOLD = (230, 180, 40, 255)


def page(c):
    c.rect(3, 1, 12, 14, PAPER)
    c.frame(2, 0, 13, 15, INK)
    c.polygon([(10, 0), (14, 0), (14, 4)], (0, 0, 0, 0))
    c.line(10, 0, 13, 3, INK)
    c.line(10, 0, 10, 3, INK)
    c.line(10, 3, 13, 3, INK)


def waveform(c, color):
    ys = [8, 6, 10, 5, 11, 7, 9, 8]
    for i in range(len(ys) - 1):
        c.line(4 + i, ys[i], 5 + i, ys[i + 1], color)


def row_images(out):
    c = Canvas(16, 16)
    page(c)
    waveform(c, WAVE)
    c.save(os.path.join(out, "row0.png"))
    for step in (1, 2, 3):
        c = Canvas(16, 16)
        page(c)
        waveform(c, WAVE)
        # The encoder's mark grows from the bottom of the page as the file is encoded.
        top = 14 - step * 3
        c.rect(4, top, 11, 13, ORANGE)
        c.save(os.path.join(out, "row%d.png" % step))
    c = Canvas(16, 16)
    page(c)
    # A note: the finished MP3.
    c.rect(8, 4, 9, 11, GREEN)
    c.rect(9, 4, 11, 5, GREEN)
    c.disc(7, 11.5, 2.2, GREEN)
    c.save(os.path.join(out, "row4.png"))
    c = Canvas(16, 16)
    # A luggage tag with its hole: the entry carries a tag.
    c.polygon([(1, 8), (6, 3), (14, 3), (14, 13), (6, 13)], GOLD)
    c.line(6, 3, 14, 3, INK)
    c.line(14, 3, 14, 13, INK)
    c.line(14, 13, 6, 13, INK)
    c.line(6, 13, 1, 8, INK)
    c.line(1, 8, 6, 3, INK)
    c.disc(5, 8, 1.3, PAPER)
    c.save(os.path.join(out, "row5.png"))


def glyphs(out):
    c = Canvas(16, 16)
    c.rect(6, 1, 9, 14, GREEN)
    c.rect(1, 6, 14, 9, GREEN)
    c.save(os.path.join(out, "add.png"))
    c = Canvas(16, 16)
    c.polygon([(3, 1), (14, 8), (3, 15)], WAVE)
    c.save(os.path.join(out, "encode.png"))
    c = Canvas(16, 16)
    c.rect(2, 2, 13, 13, RED)
    c.save(os.path.join(out, "stop.png"))
    c = Canvas(16, 16)
    c.rect(3, 2, 6, 13, ORANGE)
    c.rect(9, 2, 12, 13, ORANGE)
    c.save(os.path.join(out, "pause.png"))
    c = Canvas(16, 16)
    # An open door with an arrow leaving through it.
    c.frame(1, 1, 8, 14, INK)
    c.polygon([(8, 1), (12, 3), (12, 16), (8, 14)], (140, 90, 40, 255))
    c.rect(5, 7, 14, 8, RED)
    c.polygon([(12, 4), (16, 7.5), (12, 11)], RED)
    c.save(os.path.join(out, "bye.png"))


def toolbar(out):
    # A vertical gradient with a faint grain, tiled across the toolbar.
    c = Canvas(32, 45)
    for y in range(45):
        shade = int(236 - y * 0.9)
        for x in range(32):
            grain = 4 if (x * 7 + y * 3) % 11 == 0 else 0
            c.dot(x, y, (shade - grain, shade - grain, shade + 6 - grain, 255))
    c.save(os.path.join(out, "toolbar.png"))


ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def app_icon(out):
    # A blue tile with a sound wave running into an orange blade: the program's icon, drawn at
    # every size a desktop asks for, so each size is sharp.
    for n in ICON_SIZES:
        c = Canvas(n, n)
        k = n / 16.0
        r = max(1, int(round(3 * k)))
        tile = (32, 84, 168, 255)
        c.rect(r, 0, n - 1 - r, n - 1, tile)
        c.rect(0, r, n - 1, n - 1 - r, tile)
        for cx, cy in ((r, r), (n - 1 - r, r), (r, n - 1 - r), (n - 1 - r, n - 1 - r)):
            c.disc(cx, cy, r, tile)
        heights = (0.18, 0.36, 0.55, 0.32, 0.45, 0.22)
        bar = max(1, int(round(0.9 * k)))
        for i, h in enumerate(heights):
            x = int(round((1.6 + i * 1.5) * k))
            half = int(round(h * n / 2))
            c.rect(x, n // 2 - half, x + bar - 1, n // 2 + half - 1, (255, 255, 255, 255))
        c.polygon([(10.6 * k, 3.5 * k), (14.6 * k, 8 * k), (10.6 * k, 12.5 * k)],
                  (255, 160, 40, 255))
        c.save(os.path.join(out, "tolvane-%d.png" % n))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "resources", "images")
    os.makedirs(out, exist_ok=True)
    row_images(out)
    glyphs(out)
    toolbar(out)
    app_icon(out)


if __name__ == "__main__":
    main()
