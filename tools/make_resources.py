#!/usr/bin/env python3
"""Regenerates the program's bitmaps and icon from code.

    python3 tools/make_resources.py [--out DIR]

Writes into resources/ (or DIR):
  PB_BACK.bmp       60 x 60 background tile, 4 bits per pixel (16-colour
                    palette), uncompressed: a dark woven texture on which
                    yellow bold text stays readable.
  AboutPicture.bmp  118 x 118, 24 bits per pixel: a PIC chip in its socket.
  MainIcon.png      64 x 64 RGBA program icon: the same chip, seen from above.
  icons/NxN.png     the program icon at the desktop's icon sizes (16, 32, 48,
                    64, 128 and 256 pixels), installed into the hicolor theme.
  icons/scalable.svg  the same icon as a scalable drawing, from the same
                    measures and colours, for the theme's scalable folder.
  icons/MainIcon.ico the icon of the Windows executable (16, 32, 48 and 256).

Python 3 standard library only, and no randomness from outside the script, so
the output is byte-for-byte the same on every run; the committed files are
checked against it by the look tests.
"""

import argparse
import math
import os
import struct
import zlib

TILE = 60


def hash01(x, y, seed):
    """Deterministic value noise in [0, 1) for one lattice point."""
    h = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h ^= h >> 16
    return (h & 0xFFFF) / 65536.0


def smooth_noise(x, y, cell, seed):
    """Bilinear value noise with a lattice of `cell` pixels that wraps at the
    tile edge, so the tile joins its neighbours without a seam."""
    n = TILE // cell
    gx, gy = x / cell, y / cell
    x0, y0 = int(gx), int(gy)
    fx, fy = gx - x0, gy - y0
    fx = fx * fx * (3 - 2 * fx)
    fy = fy * fy * (3 - 2 * fy)

    def v(i, j):
        return hash01(i % n, j % n, seed)

    top = v(x0, y0) * (1 - fx) + v(x0 + 1, y0) * fx
    bottom = v(x0, y0 + 1) * (1 - fx) + v(x0 + 1, y0 + 1) * fx
    return top * (1 - fy) + bottom * fy


# ---------------------------------------------------------------- PB_BACK tile

def tile_palette():
    """16 blue-grey shades, darkest first, all somewhat darker than the
    windows' gray (128,128,128), so yellow text keeps a contrast ratio of at
    least 4.5 on every one of them; the spread stays small for a quiet
    texture."""
    dark, light = (64, 70, 84), (104, 110, 122)
    pal = []
    for i in range(16):
        t = i / 15
        pal.append(tuple(round(a + (b - a) * t) for a, b in zip(dark, light)))
    return pal


def tile_level(x, y):
    """Brightness in [0, 1] of the woven texture at one pixel: 6-pixel
    blocks of threads running alternately across and down, each thread
    rounded by a cosine, with a little cloudy noise over it."""
    block = 6
    bx, by = x // block, y // block
    u, v = x % block, y % block
    across = (bx + by) % 2 == 0
    # Position inside the thread (3 threads of 2 pixels per block).
    t = (v if across else u) % 2
    along = (u if across else v) / (block - 1)
    thread = 0.55 + 0.25 * (1 - t) - 0.12 * abs(along - 0.5) * 2
    # Gap between blocks reads as a faint shadow.
    if (across and v == block - 1) or (not across and u == block - 1):
        thread -= 0.18
    cloud = smooth_noise(x, y, 20, 7) - 0.5
    grain = hash01(x, y, 3) - 0.5
    level = thread + 0.35 * cloud + 0.12 * grain
    return min(1.0, max(0.0, level))


def make_tile():
    pal = tile_palette()
    rows = []
    for y in range(TILE):
        rows.append([min(15, max(0, int(tile_level(x, y) * 16))) for x in range(TILE)])
    return pal, rows


def bmp_4bpp(width, height, palette, rows):
    """Uncompressed 16-colour BMP: file header, BITMAPINFOHEADER, palette of
    16 RGBQUADs, bottom-up rows padded to 4 bytes."""
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, width, 2):
            hi = row[i]
            lo = row[i + 1] if i + 1 < width else 0
            line.append((hi << 4) | lo)
        line.extend(b"\0" * (stride - len(line)))
        pixels += line
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels),
                       2835, 2835, 16, 16)
    offset = 14 + len(info) + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + pal + bytes(pixels)


# ------------------------------------------------------------ chip drawings

def lerp(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def inside_round_rect(px, py, x0, y0, x1, y1, r):
    if px < x0 or px > x1 or py < y0 or py > y1:
        return False
    cx = min(max(px, x0 + r), x1 - r)
    cy = min(max(py, y0 + r), y1 - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def chip_sample(px, py, size):
    """Colour (r, g, b, a) of a DIP-18 chip seen from above, in a square of
    `size` units; coordinates in the same units. Alpha 0 outside the chip."""
    s = size / 118.0
    body = (30 * s, 14 * s, 88 * s, 104 * s)  # x0, y0, x1, y1
    pins = 9
    pitch = (body[3] - body[1] - 8 * s) / pins
    # Pins stick out left and right of the body.
    for i in range(pins):
        top = body[1] + 4 * s + i * pitch + pitch * 0.25
        bottom = top + pitch * 0.5
        if top <= py <= bottom:
            if body[0] - 12 * s <= px < body[0] or body[2] < px <= body[2] + 12 * s:
                shade = 0.75 + 0.25 * (1 - (py - top) / max(bottom - top, 1e-6))
                return (200 * shade, 204 * shade, 212 * shade, 1.0)
    if inside_round_rect(px, py, *body, 4 * s):
        # Notch at the top and pin-1 dot.
        if (px - (body[0] + body[2]) / 2) ** 2 + (py - body[1]) ** 2 <= (7 * s) ** 2:
            return (14, 14, 18, 1.0)
        if (px - body[0] - 10 * s) ** 2 + (py - body[1] - 14 * s) ** 2 <= (3.5 * s) ** 2:
            return (90, 92, 100, 1.0)
        # Soft top light across the body.
        t = (px - body[0]) / (body[2] - body[0])
        g = 34 + 26 * math.exp(-((t - 0.3) ** 2) / 0.05)
        return (g, g, g + 6, 1.0)
    return (0, 0, 0, 0.0)


def wisp_sample(px, py, size):
    """Brightness of a thin yellow curl drawn over the chip (the wisp)."""
    s = size / 118.0
    cx, cy = 59 * s, 59 * s
    dx, dy = px - cx, py - cy
    r = math.hypot(dx, dy)
    a = math.atan2(dy, dx)
    # Spiral r = k * angle, two turns.
    best = 1e9
    for turn in range(3):
        ang = (a + math.pi) + 2 * math.pi * turn
        target = 4 * s * ang
        best = min(best, abs(r - target))
    if r > 40 * s:
        return 0.0
    width = 1.6 * s * (0.6 + r / (40 * s))
    return max(0.0, 1 - best / width)


def render(size, background, samples=4):
    """Supersampled picture: rows of (r, g, b, a) tuples, values 0..255."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    px = x + (sx + 0.5) / samples
                    py = y + (sy + 0.5) / samples
                    bg = background(px, py) if background else (0, 0, 0, 0.0)
                    c = chip_sample(px, py, size)
                    if c[3] > 0:
                        col = c
                    else:
                        col = bg
                    w = wisp_sample(px, py, size)
                    if w > 0:
                        col = lerp(col[:3], (255, 240, 40), w) + (max(col[3], w),)
                    a = col[3]
                    acc[0] += col[0] * a
                    acc[1] += col[1] * a
                    acc[2] += col[2] * a
                    acc[3] += a
            n = samples * samples
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [min(255, round(c / acc[3])) for c in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], min(255, round(alpha * 255))))
        rows.append(row)
    return rows


def about_background(px, py):
    """Sky blue at the top fading to teal at the bottom, with a socket."""
    t = py / 118.0
    col = lerp((166, 202, 240), (0, 128, 128), t)
    if 22 <= px <= 96 and 8 <= py <= 110:
        col = lerp(col, (40, 40, 46), 0.55)
    return col + (1.0,)


def bmp_24bpp(rows):
    height, width = len(rows), len(rows[0])
    stride = ((width * 24 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for (r, g, b, _a) in row:
            line += bytes((b, g, r))
        line.extend(b"\0" * (stride - len(line)))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


def png_rgba(rows):
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def halve(rows):
    """Half the size: each pixel the alpha-weighted mean of a 2 x 2 block."""
    out = []
    for y in range(0, len(rows), 2):
        row = []
        for x in range(0, len(rows[0]), 2):
            block = [rows[y + j][x + i] for j in (0, 1) for i in (0, 1)]
            a = sum(p[3] for p in block)
            rgb = [round(sum(p[c] * p[3] for p in block) / a) if a else 0 for c in range(3)]
            row.append((rgb[0], rgb[1], rgb[2], round(a / 4)))
        out.append(row)
    return out


def icons():
    """The program icon at the desktop's sizes. The small ones are drawn at
    their own size, so their edges stay crisp; 256 is drawn with fewer samples
    per pixel and halved for 128, which keeps the script quick."""
    big = render(256, None, samples=2)
    images = {size: render(size, None) for size in (16, 32, 48, 64)}
    images[128] = halve(big)
    images[256] = big
    return images


def svg_number(v):
    """A coordinate with two decimals and no trailing zeros."""
    text = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def svg_colour(rgb):
    return "#" + "".join(f"{min(255, max(0, round(c))):02x}" for c in rgb)


def wisp_outline(s):
    """Closed outline of the wisp of wisp_sample: the spiral r = 4 * angle, as
    wide as the full-brightness width of the drawn curl. Its end runs on
    until its inner edge reaches r = 40, where icon_svg clips it, so it
    tapers off as the drawn curl does."""
    n = 200
    end = 10.0 + 0.8 * 1.6 / 4
    centre, side = [], ([], [])
    for i in range(n + 1):
        theta = end * i / n
        r = 4 * s * theta
        # wisp_sample measures the angle from the negative x axis.
        centre.append((59 * s - r * math.cos(theta), 59 * s - r * math.sin(theta)))
    for i, (x, y) in enumerate(centre):
        (ax, ay), (bx, by) = centre[max(i - 1, 0)], centre[min(i + 1, n)]
        length = math.hypot(bx - ax, by - ay)
        nx, ny = -(by - ay) / length, (bx - ax) / length
        half = 0.8 * s * (0.6 + 4 * s * end * i / n / (40 * s))
        side[0].append((x + nx * half, y + ny * half))
        side[1].append((x - nx * half, y - ny * half))
    points = side[0] + side[1][::-1]
    return "M" + " L".join(f"{svg_number(x)},{svg_number(y)}" for x, y in points) + " Z"


def icon_svg():
    """The program icon as SVG in the 118-unit square of chip_sample and
    wisp_sample: the same body, pins, notch, dot, light and wisp."""
    s = 1.0
    x0, y0, x1, y1 = 30 * s, 14 * s, 88 * s, 104 * s
    pins = 9
    pitch = (y1 - y0 - 8 * s) / pins
    n = svg_number
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="118" height="118" '
           'viewBox="0 0 118 118">',
           '<title>Dranel-Wisp Command Interface</title>',
           "<defs>",
           '<linearGradient id="pin" x1="0" y1="0" x2="0" y2="1">'
           f'<stop offset="0" stop-color="{svg_colour((200, 204, 212))}"/>'
           f'<stop offset="1" stop-color="{svg_colour((150, 153, 159))}"/>'
           "</linearGradient>",
           '<linearGradient id="body" x1="0" y1="0" x2="1" y2="0">']
    for i in range(21):
        t = i / 20
        g = 34 + 26 * math.exp(-((t - 0.3) ** 2) / 0.05)
        out.append(f'<stop offset="{n(t)}" stop-color="{svg_colour((g, g, g + 6))}"/>')
    out += ["</linearGradient>",
            f'<clipPath id="wisp"><circle cx="{n(59 * s)}" cy="{n(59 * s)}" r="{n(40 * s)}"/>'
            "</clipPath>", "</defs>"]
    for i in range(pins):
        top = y0 + 4 * s + i * pitch + pitch * 0.25
        for left in (x0 - 12 * s, x1):
            out.append(f'<rect x="{n(left)}" y="{n(top)}" width="{n(12 * s)}" '
                       f'height="{n(pitch * 0.5)}" fill="url(#pin)"/>')
    out.append(f'<rect x="{n(x0)}" y="{n(y0)}" width="{n(x1 - x0)}" height="{n(y1 - y0)}" '
               f'rx="{n(4 * s)}" fill="url(#body)"/>')
    mid, notch = (x0 + x1) / 2, 7 * s
    out.append(f'<path d="M{n(mid - notch)},{n(y0)} A{n(notch)},{n(notch)} 0 0 0 '
               f'{n(mid + notch)},{n(y0)} Z" fill="{svg_colour((14, 14, 18))}"/>')
    out.append(f'<circle cx="{n(x0 + 10 * s)}" cy="{n(y0 + 14 * s)}" r="{n(3.5 * s)}" '
               f'fill="{svg_colour((90, 92, 100))}"/>')
    out.append(f'<path d="{wisp_outline(s)}" fill="{svg_colour((255, 240, 40))}" '
               'clip-path="url(#wisp)"/>')
    out.append("</svg>")
    return ("\n".join(out) + "\n").encode()


def ico(images):
    """A Windows icon file holding the given images as PNG entries (read by
    Windows Vista and later), smallest first."""
    sizes = sorted(images)
    pngs = [png_rgba(images[size]) for size in sizes]
    head = struct.pack("<HHH", 0, 1, len(sizes))
    offset = len(head) + 16 * len(sizes)
    entries = b""
    for size, data in zip(sizes, pngs):
        # A width or height of 256 is written as 0.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return head + entries + b"".join(pngs)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "resources"))
    out = parser.parse_args().out
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)

    pal, rows = make_tile()
    icon = icons()
    files = {
        "PB_BACK.bmp": bmp_4bpp(TILE, TILE, pal, rows),
        "AboutPicture.bmp": bmp_24bpp(render(118, about_background)),
        "MainIcon.png": png_rgba(icon[64]),
    }
    for size, image in icon.items():
        files[f"icons/{size}x{size}.png"] = png_rgba(image)
    files["icons/scalable.svg"] = icon_svg()
    # The icon of the Windows executable, as Explorer shows it.
    files["icons/MainIcon.ico"] = ico({size: icon[size] for size in (16, 32, 48, 256)})
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
