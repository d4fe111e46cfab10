#!/usr/bin/env python3
"""Generate ORVA's pictures: res/background.bmp, res/app.ico, res/small.ico.

Standard library only, deterministic output (fixed seed, no timestamps).
Usage: make_pictures.py [OUTPUT_DIR]   (default: <repo>/res)
"""

import math
import os
import random
import struct
import sys
import zlib

BG_W, BG_H = 686, 258
BG_TARGET_MEAN = (59.0, 66.0, 78.0)
ICON_SIZE = 256

# 4x4 ordered dither, so the gradient shows no banding and stays reproducible.
BAYER4 = (
    (0, 8, 2, 10),
    (12, 4, 14, 6),
    (3, 11, 1, 9),
    (15, 7, 13, 5),
)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------- file formats

def png_bytes(width, height, rgba_rows):
    """Encode 8-bit RGBA rows (bytes of width*4 each) as a PNG, colour type 6."""

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    raw = bytearray()
    for row in rgba_rows:
        raw.append(0)  # filter: none; zlib still compresses the flat areas well
        raw += row
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def ico_bytes(png):
    """Single-entry ICO holding a 256x256 PNG (size bytes 0 mean 256)."""
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), 6 + 16)
    return header + entry + png


def bmp_bytes(width, height, rgb_rows):
    """24-bit BI_RGB bottom-up BMP; rgb_rows are top-down bytes of width*3."""
    stride = (width * 3 + 3) & ~3
    pad = b"\x00" * (stride - width * 3)
    pixels = bytearray()
    for row in reversed(rgb_rows):
        bgr = bytearray(row)
        bgr[0::3], bgr[2::3] = row[2::3], row[0::3]
        pixels += bgr + pad
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(pixels), 2834, 2834, 0, 0)
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + bytes(pixels)


def read_bmp(data):
    """Parse our own BMP back: returns (header fields dict, top-down RGB rows)."""
    magic, fsize, _, _, off = struct.unpack_from("<2sIHHI", data, 0)
    (hsize, w, h, planes, bpp, comp, simg, xppm, yppm, _, _) = \
        struct.unpack_from("<IiiHHIIiiII", data, 14)
    stride = (w * 3 + 3) & ~3
    rows = []
    for r in range(h):
        start = off + (h - 1 - r) * stride
        bgr = data[start:start + w * 3]
        rgb = bytearray(bgr)
        rgb[0::3], rgb[2::3] = bgr[2::3], bgr[0::3]
        rows.append(bytes(rgb))
    info = dict(magic=magic, file_size=fsize, offset=off, header_size=hsize,
                width=w, height=h, planes=planes, bpp=bpp, compression=comp,
                size_image=simg, xppm=xppm, yppm=yppm, stride=stride)
    return info, rows


def read_ico_png(data):
    """Parse a single-entry PNG ICO back; returns (entry dict, PNG header)."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    w, h, colors, res, planes, bits, size, off = \
        struct.unpack_from("<BBBBHHII", data, 6)
    png = data[off:off + size]
    assert png[:8] == b"\x89PNG\r\n\x1a\n", "ICO image is not a PNG"
    pw, ph, depth, ctype = struct.unpack_from(">IIBB", png, 16)
    return dict(reserved=reserved, type=kind, count=count, width=w, height=h,
                planes=planes, bits=bits, size=size, offset=off,
                total=len(data)), dict(width=pw, height=ph, depth=depth,
                                       colour_type=ctype)


# ---------------------------------------------------------------- coverage helpers

class Layer:
    """Float coverage mask (0..1) drawn with analytic anti-aliasing."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.a = [0.0] * (w * h)

    def _put(self, x, y, cov):
        i = y * self.w + x
        if cov > self.a[i]:  # max, so crossing traces do not get brighter
            self.a[i] = cov

    def segment(self, x0, y0, x1, y1, width, fade=None):
        hw = width * 0.5
        pad = hw + 1.0
        xa = max(0, int(math.floor(min(x0, x1) - pad)))
        xb = min(self.w - 1, int(math.ceil(max(x0, x1) + pad)))
        ya = max(0, int(math.floor(min(y0, y1) - pad)))
        yb = min(self.h - 1, int(math.ceil(max(y0, y1) + pad)))
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy or 1e-9
        for y in range(ya, yb + 1):
            py = y + 0.5
            for x in range(xa, xb + 1):
                px = x + 0.5
                t = clamp(((px - x0) * dx + (py - y0) * dy) / ll)
                ex, ey = px - (x0 + t * dx), py - (y0 + t * dy)
                cov = clamp(hw + 0.5 - math.sqrt(ex * ex + ey * ey))
                if cov > 0.0:
                    self._put(x, y, cov * (fade(px, py) if fade else 1.0))

    def polyline(self, pts, width, fade=None):
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            self.segment(x0, y0, x1, y1, width, fade)

    def disc(self, cx, cy, r, ring=None, fade=None):
        """Filled disc, or a ring of thickness `ring` when given."""
        xa, xb = max(0, int(cx - r - 2)), min(self.w - 1, int(cx + r + 2))
        ya, yb = max(0, int(cy - r - 2)), min(self.h - 1, int(cy + r + 2))
        for y in range(ya, yb + 1):
            for x in range(xa, xb + 1):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if ring is None:
                    cov = clamp(r + 0.5 - d)
                else:
                    cov = clamp(ring * 0.5 + 0.5 - abs(d - (r - ring * 0.5)))
                if cov > 0.0:
                    self._put(x, y, cov * (fade(x + 0.5, y + 0.5) if fade else 1.0))

    def rect_outline(self, x0, y0, x1, y1, width, fade=None):
        self.polyline([(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)], width, fade)

    def rect_fill(self, x0, y0, x1, y1):
        """Axis-aligned box with fractional edges (area coverage)."""
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)))):
            cy = clamp(min(y + 1, y1) - max(y, y0))
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
                cx = clamp(min(x + 1, x1) - max(x, x0))
                self._put(x, y, cx * cy)


# ---------------------------------------------------------------- background

CHIP = (548.0, 62.0, 628.0, 142.0)   # chip outline on the free right side
TEXT_BOX = (14, 22, 450, 200)        # where labels and values go


def route(start, steps):
    """PCB-style path: steps are (dx, dy) moves applied one after another."""
    pts = [start]
    x, y = start
    for dx, dy in steps:
        x, y = x + dx, y + dy
        pts.append((x, y))
    return pts


def circuit_layers():
    rng = random.Random(20240607)
    traces = Layer(BG_W, BG_H)
    pads = Layer(BG_W, BG_H)
    chip = Layer(BG_W, BG_H)
    body = Layer(BG_W, BG_H)

    # Traces that run left towards the text fade out before reaching it.
    def fade_left(px, py):
        return smoothstep(455.0, 530.0, px)

    x0, y0, x1, y1 = CHIP
    body.rect_fill(x0, y0, x1, y1)
    chip.rect_outline(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, 1.4)
    chip.rect_outline(x0 + 14.5, y0 + 14.5, x1 - 14.5, y1 - 14.5, 1.0)
    chip.disc(x0 + 8, y0 + 8, 2.2)  # pin-1 mark

    n = 6
    step = (x1 - x0) / (n + 1)
    for k in range(n):
        off = (k + 1) * step
        # pins
        chip.segment(x0 + off, y0 - 5, x0 + off, y0, 3.0)
        chip.segment(x0 + off, y1, x0 + off, y1 + 5, 3.0)
        chip.segment(x0 - 5, y0 + off, x0, y0 + off, 3.0)
        chip.segment(x1, y0 + off, x1 + 5, y0 + off, 3.0)

        # right side: out to the edge with one 45-degree jog
        jog = (k - 2.5) * 6.0
        sx, sy = x1 + 5, y0 + off
        pts = route((sx, sy), [(10 + k * 3, 0), (abs(jog), jog * 1.0),
                               (BG_W - sx, 0)])
        traces.polyline(pts, 1.3)

        # top side: up and bend towards the right / off the top
        sx, sy = x0 + off, y0 - 5
        bend = 14 + rng.randint(0, 10)
        if k < 3:
            pts = route((sx, sy), [(0, -bend), (-(30 - k * 6), -(30 - k * 6)),
                                   (0, -sy)])
        else:
            pts = route((sx, sy), [(0, -bend), (18 + k * 4, -(18 + k * 4)),
                                   (0, -sy)])
        traces.polyline(pts, 1.3)

        # left side: fan out leftwards, ending in vias that fade near the text
        sx, sy = x0 - 5, y0 + off
        spread = (k - 2.5) * 14.0
        length = 40 + rng.randint(0, 40)
        pts = route((sx, sy), [(-12 - k * 2, 0), (-abs(spread), spread),
                               (-length, 0)])
        traces.polyline(pts, 1.3, fade_left)
        ex, ey = pts[-1]
        pads.disc(ex - 3, ey, 3.6, ring=1.5, fade=fade_left)

        # bottom side: first two pins end in vias, the rest run off the corner
        sx, sy = x0 + off, y1 + 5
        if k < 2:
            # nested so the two left-bound traces never cross
            pts = route((sx, sy), [(0, 10 + k * 12), (-18, 18), (-30 - k * 20, 0)])
            traces.polyline(pts, 1.3, fade_left)
            ex, ey = pts[-1]
            pads.disc(ex - 3, ey, 3.6, ring=1.5, fade=fade_left)
        else:
            pts = route((sx, sy), [(0, 12 + k * 4), (BG_H, BG_H)])
            traces.polyline(pts, 1.3)

    # A few stray vias in the gaps, as on a real board.
    for (vx, vy) in ((668, 40), (652, 168), (500, 22), (640, 196), (478, 150)):
        pads.disc(vx, vy, 3.0, ring=1.3, fade=fade_left)

    # Quiet edge detail: short traces hugging the top and left borders.
    def edge_fade(px, py):
        return 0.8  # a touch fainter than the chip's own traces

    for i, (sx, ln) in enumerate(((40, 90), (150, 60), (230, 120))):
        y = 6 + (i % 2) * 4
        pts = route((sx, y), [(ln, 0), (6, -6), (0, -y)])
        traces.polyline(pts, 1.1, edge_fade)
        pads.disc(sx - 2.5, y, 2.6, ring=1.2, fade=edge_fade)
    for i, (sy, ln) in enumerate(((70, 60), (150, 40))):
        x = 5 + i * 2
        pts = route((x, sy), [(0, ln), (-x, x)])
        traces.polyline(pts, 1.1, edge_fade)
        pads.disc(x, sy - 2.5, 2.4, ring=1.1, fade=edge_fade)
    return traces, pads, chip, body


def render_background():
    top_left = (36.0, 42.0, 53.0)
    bottom_right = (66.0, 74.0, 88.0)
    glow = (16.0, 20.0, 28.0)       # soft light behind the chip, for depth
    trace_col = (92.0, 112.0, 138.0)
    pad_col = (118.0, 138.0, 164.0)
    chip_col = (128.0, 150.0, 178.0)
    body_col = (40.0, 47.0, 59.0)
    accent_col = (86.0, 156.0, 214.0)

    traces, pads, chip, body = circuit_layers()
    cx = (CHIP[0] + CHIP[2]) / 2
    cy = (CHIP[1] + CHIP[3]) / 2

    img = [None] * (BG_W * BG_H)
    for y in range(BG_H):
        for x in range(BG_W):
            px, py = x + 0.5, y + 0.5
            # diagonal gradient, darker where the text sits (top-left)
            t = clamp(0.62 * px / BG_W + 0.38 * py / BG_H)
            t = t * t * (3 - 2 * t)
            c = mix(top_left, bottom_right, t)
            g = math.exp(-((px - cx) ** 2 + (py - cy) ** 2) / (2 * 95.0 ** 2))
            c = (c[0] + glow[0] * g, c[1] + glow[1] * g, c[2] + glow[2] * g)
            # gentle vignette to frame the picture
            vx = min(px, BG_W - px) / 40.0
            vy = min(py, BG_H - py) / 30.0
            v = 0.9 + 0.1 * min(1.0, vx, vy)
            c = (c[0] * v, c[1] * v, c[2] * v)
            i = y * BG_W + x
            if body.a[i]:
                c = mix(c, body_col, body.a[i] * 0.85)
            if traces.a[i]:
                c = mix(c, trace_col, traces.a[i] * 0.55)
            if pads.a[i]:
                c = mix(c, pad_col, pads.a[i] * 0.7)
            if chip.a[i]:
                c = mix(c, chip_col, chip.a[i] * 0.75)
            img[i] = c

    # Thin accent line between the last text row and the wide button.
    line = Layer(BG_W, BG_H)
    line.segment(20, 205.5, 670, 205.5, 1.0)
    for y in range(203, 209):
        for x in range(BG_W):
            a = line.a[y * BG_W + x]
            if a:
                f = smoothstep(20, 120, x) * (1 - smoothstep(560, 670, x))
                img[y * BG_W + x] = mix(img[y * BG_W + x], accent_col, a * f * 0.8)

    # Shift the whole picture so its mean colour lands on the target; measure
    # after quantising because dithering and clamping move it slightly.
    rows = quantise(img)
    for _ in range(4):
        mean = measure_mean(rows)
        shift = [BG_TARGET_MEAN[k] - mean[k] for k in range(3)]
        if all(abs(v) < 0.05 for v in shift):
            break
        img = [(c[0] + shift[0], c[1] + shift[1], c[2] + shift[2]) for c in img]
        rows = quantise(img)
    return rows


def quantise(img):
    rows = []
    for y in range(BG_H):
        row = bytearray(BG_W * 3)
        brow = BAYER4[y & 3]
        for x in range(BG_W):
            d = (brow[x & 3] + 0.5) / 16.0 - 0.5
            c = img[y * BG_W + x]
            j = x * 3
            row[j] = int(clamp(math.floor(c[0] + d + 0.5), 0, 255))
            row[j + 1] = int(clamp(math.floor(c[1] + d + 0.5), 0, 255))
            row[j + 2] = int(clamp(math.floor(c[2] + d + 0.5), 0, 255))
        rows.append(bytes(row))
    return rows


def measure_mean(rows):
    tot = [0, 0, 0]
    for row in rows:
        for k in range(3):
            tot[k] += sum(row[k::3])
    n = float(len(rows) * (len(rows[0]) // 3))
    return [t / n for t in tot]


def luminance(r, g, b):
    def lin(c):
        c /= 255.0
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b)


# ---------------------------------------------------------------- icons

def sd_round_box(px, py, cx, cy, hx, hy, r):
    """Signed distance to a rounded rectangle (negative inside)."""
    qx = abs(px - cx) - hx + r
    qy = abs(py - cy) - hy + r
    ox, oy = max(qx, 0.0), max(qy, 0.0)
    return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r


def cov_of(d):
    return clamp(0.5 - d)


def over(c, col, a):
    return mix(c, col, a) if a > 0.0 else c


def render_icon(simple):
    s = ICON_SIZE
    mid = s / 2.0
    tile_top = (62.0, 76.0, 96.0)
    tile_bottom = (30.0, 37.0, 49.0)
    body_light = (236.0, 241.0, 247.0)
    body_dark = (200.0, 211.0, 224.0)
    pin_col = (186.0, 200.0, 217.0)
    die_top = (78.0, 176.0, 236.0)
    die_bottom = (38.0, 118.0, 196.0)
    if simple:
        # the small icon keeps the chip but drops fine detail and gets a
        # warmer accent so both can be told apart in a list
        die_top, die_bottom = (250.0, 170.0, 70.0), (222.0, 120.0, 36.0)

    body_h = 58.0
    pins = 3 if simple else 4
    pin_w = 18.0 if simple else 12.0
    pin_len = 24.0
    pitch = 34.0 if simple else 28.0
    centres = [(k - (pins - 1) / 2.0) * pitch for k in range(pins)]
    pin_boxes = []
    for o in centres:
        out = body_h + pin_len / 2.0 - 2.0
        pin_boxes.append((mid + o, mid - out, pin_w / 2, pin_len / 2))
        pin_boxes.append((mid + o, mid + out, pin_w / 2, pin_len / 2))
        pin_boxes.append((mid - out, mid + o, pin_len / 2, pin_w / 2))
        pin_boxes.append((mid + out, mid + o, pin_len / 2, pin_w / 2))
    pin_reach = body_h + pin_len

    rows = []
    for y in range(s):
        row = bytearray(s * 4)
        for x in range(s):
            px, py = x + 0.5, y + 0.5
            d_tile = sd_round_box(px, py, mid, mid, 120.0, 120.0, 50.0)
            a_tile = cov_of(d_tile)
            if a_tile <= 0.0:
                continue
            c = mix(tile_top, tile_bottom, py / s)
            # faint inner rim light along the tile edge
            rim = clamp(1.0 - abs(d_tile + 2.5) / 1.5) * (0.16 - 0.10 * py / s)
            c = over(c, (255.0, 255.0, 255.0), rim)

            ax, ay = abs(px - mid), abs(py - mid)
            if ax < pin_reach + 14 and ay < pin_reach + 14:
                # soft drop shadow under the chip
                d_sh = sd_round_box(px, py - 6.0, mid, mid, body_h + 4, body_h + 4, 16.0)
                c = over(c, (8.0, 12.0, 20.0), 0.45 * (1.0 - smoothstep(-6.0, 10.0, d_sh)))
                a_pin = 0.0
                for (bx, by, hx, hy) in pin_boxes:
                    if abs(px - bx) < hx + 1 and abs(py - by) < hy + 1:
                        a_pin = max(a_pin, cov_of(sd_round_box(px, py, bx, by, hx, hy, 3.5)))
                c = over(c, pin_col, a_pin)
                d_body = sd_round_box(px, py, mid, mid, body_h, body_h, 12.0)
                a_body = cov_of(d_body)
                if a_body > 0.0:
                    t = (py - (mid - body_h)) / (2 * body_h)
                    c = over(c, mix(body_light, body_dark, clamp(t)), a_body)
                    die_h = 34.0 if simple else 30.0
                    d_die = sd_round_box(px, py, mid, mid, die_h, die_h, 7.0)
                    t = (py - (mid - die_h)) / (2 * die_h)
                    c = over(c, mix(die_top, die_bottom, clamp(t)), cov_of(d_die))
                    if not simple:
                        # die detail: a lighter inset square and a pin-1 dot
                        d_in = sd_round_box(px, py, mid, mid, 16.0, 16.0, 4.0)
                        ring = cov_of(abs(d_in) - 1.5)
                        c = over(c, (200.0, 232.0, 252.0), ring * 0.9)
                        d_dot = math.hypot(px - (mid - body_h + 14), py - (mid - body_h + 14)) - 5.0
                        c = over(c, (70.0, 84.0, 104.0), cov_of(d_dot))
            j = x * 4
            row[j] = int(clamp(round(c[0]), 0, 255))
            row[j + 1] = int(clamp(round(c[1]), 0, 255))
            row[j + 2] = int(clamp(round(c[2]), 0, 255))
            row[j + 3] = int(clamp(round(a_tile * 255.0), 0, 255))
        rows.append(bytes(row))
    return rows


# ---------------------------------------------------------------- main

def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(here, os.pardir, "res")
    out_dir = os.path.normpath(out_dir)
    os.makedirs(out_dir, exist_ok=True)

    bg_rows = render_background()
    bg_path = os.path.join(out_dir, "background.bmp")
    with open(bg_path, "wb") as f:
        f.write(bmp_bytes(BG_W, BG_H, bg_rows))

    for name, simple in (("app.ico", False), ("small.ico", True)):
        png = png_bytes(ICON_SIZE, ICON_SIZE, render_icon(simple))
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(ico_bytes(png))

    # Read everything back so a broken writer is caught here, not in the build.
    with open(bg_path, "rb") as f:
        data = f.read()
    info, rows = read_bmp(data)
    assert info["magic"] == b"BM" and info["header_size"] == 40
    assert (info["width"], info["height"], info["bpp"], info["compression"]) == (BG_W, BG_H, 24, 0)
    assert info["size_image"] == info["stride"] * BG_H
    assert info["file_size"] == len(data) == info["offset"] + info["size_image"]
    mean = measure_mean(rows)
    assert all(abs(mean[k] - BG_TARGET_MEAN[k]) <= 2.0 for k in range(3))
    x0, y0, x1, y1 = TEXT_BOX
    brightest = max(luminance(*rows[y][x * 3:x * 3 + 3])
                    for y in range(y0, y1) for x in range(x0, x1))
    contrast = 1.05 / (brightest + 0.05)
    print("%s: %d bytes, %dx%d %d bpp, mean RGB %.2f %.2f %.2f, "
          "min white-text contrast %.1f:1"
          % (bg_path, len(data), info["width"], info["height"], info["bpp"],
             mean[0], mean[1], mean[2], contrast))

    for name in ("app.ico", "small.ico"):
        path = os.path.join(out_dir, name)
        with open(path, "rb") as f:
            data = f.read()
        entry, png = read_ico_png(data)
        assert (entry["type"], entry["count"], entry["width"], entry["height"]) == (1, 1, 0, 0)
        assert (entry["planes"], entry["bits"]) == (1, 32)
        assert entry["offset"] + entry["size"] == len(data)
        assert (png["width"], png["height"], png["depth"], png["colour_type"]) == (256, 256, 8, 6)
        print("%s: %d bytes, 1 image %dx%d RGBA PNG"
              % (path, len(data), png["width"], png["height"]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
