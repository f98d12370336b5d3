#!/usr/bin/env python3
"""Draws the two certificate logos (resources/images/CertificateLogo/*.png).

Both pictures are built from a few flat shapes, anti-aliased by 4x4 supersampling, and
written as RGBA PNG files with nothing but the standard library, so the same script
always gives the same bytes. Run it from anywhere: python3 scripts/make-certificate-logos.py
"""

import math
import os
import struct
import zlib

WIDTH, HEIGHT = 260, 288  # 4 times the 65 x 72 box the certificate draws them in
SAMPLES = 4

BLUE_TOP = (0x55, 0x60, 0xE6)
BLUE_BOTTOM = (0x2B, 0x32, 0x96)
WHITE = (0xFF, 0xFF, 0xFF)
RED = (0xED, 0x1C, 0x24)
DARK_RED = (0xA8, 0x12, 0x18)


def inside_polygon(points, x, y):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return math.hypot(x - px, y - py)


def shield_outline(inset):
    """A shield in unit coordinates: flat top with rounded corners, straight sides, and
    two arcs that meet in a point at the bottom."""
    left, right, top = 0.06 + inset, 0.94 - inset, 0.04 + inset * 1.1
    corner = 0.10
    points = []
    for k in range(9):  # top-left corner
        a = math.pi + k * (math.pi / 2) / 8
        points.append((left + corner + corner * math.cos(a), top + corner + corner * math.sin(a)))
    for k in range(9):  # top-right corner
        a = 1.5 * math.pi + k * (math.pi / 2) / 8
        points.append((right - corner + corner * math.cos(a), top + corner + corner * math.sin(a)))
    shoulder = 0.50
    tip = (0.5, 0.97 - inset * 1.3)
    for k in range(25):  # right side curving into the tip
        t = k / 24
        cx, cy = right, shoulder + (0.88 - shoulder) * 0.55
        x = (1 - t) ** 2 * right + 2 * (1 - t) * t * cx + t * t * tip[0]
        y = (1 - t) ** 2 * shoulder + 2 * (1 - t) * t * cy + t * t * tip[1]
        points.append((x, y))
    for k in range(1, 25):  # and back up the left side
        t = 1 - k / 24
        cx, cy = left, shoulder + (0.88 - shoulder) * 0.55
        x = (1 - t) ** 2 * left + 2 * (1 - t) * t * cx + t * t * tip[0]
        y = (1 - t) ** 2 * shoulder + 2 * (1 - t) * t * cy + t * t * tip[1]
        points.append((x, y))
    return points


def gradient(y):
    t = max(0.0, min(1.0, y))
    return tuple(round(a + (b - a) * t) for a, b in zip(BLUE_TOP, BLUE_BOTTOM))


def left_logo_layers():
    outer = shield_outline(0.0)
    ring_out = shield_outline(0.045)
    ring_in = shield_outline(0.07)
    # The letter K: a stem and two arms, in unit coordinates of the picture.
    stem = [(0.31, 0.19), (0.42, 0.19), (0.42, 0.61), (0.31, 0.61)]
    upper_arm = [(0.40, 0.42), (0.60, 0.19), (0.74, 0.19), (0.47, 0.49)]
    lower_arm = [(0.45, 0.385), (0.75, 0.61), (0.61, 0.61), (0.40, 0.46)]
    letter = (stem, upper_arm, lower_arm)

    def shield(x, y):
        return inside_polygon(outer, x, y)

    def ring(x, y):
        return inside_polygon(ring_out, x, y) and not inside_polygon(ring_in, x, y)

    def k(x, y):
        return any(inside_polygon(p, x, y) for p in letter)

    def strokes(x, y):  # three erased lines under the letter, getting shorter
        for row, (a, b) in enumerate(((0.31, 0.69), (0.37, 0.63), (0.43, 0.57))):
            if segment_distance(x, y, a, 0.675 + row * 0.05, b, 0.675 + row * 0.05) < 0.013:
                return True
        return False

    return [
        (shield, lambda x, y: gradient(y), 1.0),
        (ring, lambda x, y: WHITE, 0.85),
        (k, lambda x, y: WHITE, 1.0),
        (strokes, lambda x, y: WHITE, 0.75),
    ]


def right_logo_layers():
    cx, cy, radius = 0.5, 0.40, 0.44
    aspect = HEIGHT / WIDTH  # unit y is stretched by the picture's height

    def polar(x, y):
        dx, dy = x - cx, (y - cy) * aspect
        return math.hypot(dx, dy), math.atan2(dy, dx)

    def seal(x, y):
        r, a = polar(x, y)
        return r < radius * (0.94 + 0.06 * math.cos(20 * a))

    def ring(x, y):
        r, _ = polar(x, y)
        return radius * 0.70 < r < radius * 0.76

    def check(x, y):
        yy = (y - cy) * aspect + cy
        return (segment_distance(x, yy, 0.33, 0.41, 0.45, 0.52) < 0.045 or
                segment_distance(x, yy, 0.45, 0.52, 0.68, 0.28) < 0.045)

    def ribbon(points):
        return lambda x, y: inside_polygon(points, x, y)

    left_tail = [(0.30, 0.62), (0.45, 0.66), (0.36, 0.99), (0.29, 0.90), (0.19, 0.95)]
    right_tail = [(0.55, 0.66), (0.70, 0.62), (0.81, 0.95), (0.71, 0.90), (0.64, 0.99)]

    return [
        (ribbon(left_tail), lambda x, y: DARK_RED, 1.0),
        (ribbon(right_tail), lambda x, y: RED, 1.0),
        (seal, lambda x, y: gradient((y - 0.0) / 0.8), 1.0),
        (ring, lambda x, y: WHITE, 0.85),
        (check, lambda x, y: WHITE, 1.0),
    ]


def render(layers):
    rows = []
    step = 1.0 / SAMPLES
    for py in range(HEIGHT):
        row = bytearray([0])  # PNG filter type: none
        for px in range(WIDTH):
            r = g = b = a = 0.0  # premultiplied
            for test, colour, opacity in layers:
                hits = 0
                sx = sy = 0.0
                for j in range(SAMPLES):
                    y = (py + (j + 0.5) * step) / HEIGHT
                    for i in range(SAMPLES):
                        x = (px + (i + 0.5) * step) / WIDTH
                        if test(x, y):
                            hits += 1
                            sx, sy = x, y
                if not hits:
                    continue
                cover = opacity * hits / (SAMPLES * SAMPLES)
                cr, cg, cb = colour(sx, sy)
                r = cr * cover + r * (1 - cover)
                g = cg * cover + g * (1 - cover)
                b = cb * cover + b * (1 - cover)
                a = 255 * cover + a * (1 - cover)
            if a > 0:
                scale = 255 / a
                row += bytes((round(r * scale), round(g * scale), round(b * scale), round(a)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(pixels, 9)))
        out.write(chunk(b"IEND", b""))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images", "CertificateLogo")
    os.makedirs(folder, exist_ok=True)
    write_png(os.path.join(folder, "left-logo.png"), render(left_logo_layers()))
    write_png(os.path.join(folder, "right-logo.png"), render(right_logo_layers()))


if __name__ == "__main__":
    main()
