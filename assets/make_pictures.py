#!/usr/bin/env python3
"""Draw the pictures shown in Tropilka's "About" window.

    python3 assets/make_pictures.py

writes, next to this script:

    author.png    100 x 133  cartoon portrait of the author
    designer.png  113 x 133  a child sitting at a computer

Only the Python 3 standard library is used.  Every picture is built from
simple shapes (rectangles, ellipses, polygons and thick lines) on a canvas
that is SS times larger than the result, then scaled down by averaging, which
gives soft, anti-aliased edges.  Nothing is random, so every run writes
exactly the same bytes.
"""

import math
import os
import struct
import zlib

SS = 4  # supersampling factor (SS x SS samples per output pixel)


# --------------------------------------------------------------------------
# colours

def rgb(hexstr):
    """'#rrggbb' -> (r, g, b) with components 0..255."""
    h = hexstr.lstrip('#')
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16))


def mix(c1, c2, t):
    """Linear blend between two colours, t = 0 gives c1, t = 1 gives c2."""
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def vgradient(top, bottom, y0, y1):
    """Paint function: vertical gradient from y0 (top colour) to y1."""
    c1, c2 = rgb(top), rgb(bottom)

    def paint(x, y):
        t = (y - y0) / (y1 - y0)
        return mix(c1, c2, min(1.0, max(0.0, t)))
    return paint


# --------------------------------------------------------------------------
# shapes: each one knows its bounding box and whether a point lies inside

class Shape:
    def __init__(self, box, inside):
        self.box = box          # (x0, y0, x1, y1) in picture pixels
        self.inside = inside    # f(x, y) -> bool

    def __and__(self, other):
        a, b = self.box, other.box
        box = (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))
        f, g = self.inside, other.inside
        return Shape(box, lambda x, y: f(x, y) and g(x, y))

    def __or__(self, other):
        a, b = self.box, other.box
        box = (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))
        f, g = self.inside, other.inside
        return Shape(box, lambda x, y: f(x, y) or g(x, y))

    def __sub__(self, other):
        f, g = self.inside, other.inside
        return Shape(self.box, lambda x, y: f(x, y) and not g(x, y))


def rect(x0, y0, x1, y1):
    return Shape((x0, y0, x1, y1),
                 lambda x, y: x0 <= x < x1 and y0 <= y < y1)


def rrect(x0, y0, x1, y1, r):
    """Rectangle with rounded corners of radius r."""
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape((x0, y0, x1, y1), inside)


def ellipse(cx, cy, rx, ry, angle=0.0):
    """Ellipse, optionally turned by angle degrees (clockwise on screen)."""
    a = math.radians(angle)
    c, s = round(math.cos(a), 6), round(math.sin(a), 6)
    r = max(rx, ry)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u = (dx * c + dy * s) / rx
        v = (-dx * s + dy * c) / ry
        return u * u + v * v <= 1.0
    return Shape((cx - r, cy - r, cx + r, cy + r), inside)


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def polygon(points):
    """Filled polygon (even-odd rule)."""
    pts = [(float(x), float(y)) for x, y in points]
    edges = list(zip(pts, pts[1:] + pts[:1]))
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]

    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
        return hit
    return Shape((min(xs), min(ys), max(xs), max(ys)), inside)


def line(points, width):
    """Thick polyline with round ends and joints."""
    pts = [(float(x), float(y)) for x, y in points]
    segs = list(zip(pts, pts[1:])) or [(pts[0], pts[0])]
    h = width / 2.0
    hh = h * h

    def inside(x, y):
        for (ax, ay), (bx, by) in segs:
            vx, vy = bx - ax, by - ay
            ll = vx * vx + vy * vy
            t = 0.0 if ll == 0 else ((x - ax) * vx + (y - ay) * vy) / ll
            t = min(1.0, max(0.0, t))
            dx, dy = x - (ax + t * vx), y - (ay + t * vy)
            if dx * dx + dy * dy <= hh:
                return True
        return False
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape((min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h), inside)


def curve(p0, p1, p2, steps=16):
    """Points along a quadratic Bezier curve from p0 to p2 pulled towards p1."""
    out = []
    for i in range(steps + 1):
        t = i / steps
        a, b, c = (1 - t) ** 2, 2 * t * (1 - t), t * t
        out.append((round(a * p0[0] + b * p1[0] + c * p2[0], 4),
                    round(a * p0[1] + b * p1[1] + c * p2[1], 4)))
    return out


# --------------------------------------------------------------------------
# canvas

class Canvas:
    def __init__(self, w, h, background=(255, 255, 255)):
        self.w, self.h = w, h
        self.W, self.H = w * SS, h * SS
        n = self.W * self.H
        self.r = [float(background[0])] * n
        self.g = [float(background[1])] * n
        self.b = [float(background[2])] * n

    def fill(self, shape, paint, alpha=1.0):
        """Fill shape with a colour ('#rrggbb' or a function of x, y)."""
        if isinstance(paint, str):
            col = rgb(paint)
            paint_at = None
        else:
            col = None
            paint_at = paint
        x0, y0, x1, y1 = shape.box
        X0 = max(0, int(math.floor(x0 * SS)))
        Y0 = max(0, int(math.floor(y0 * SS)))
        X1 = min(self.W, int(math.ceil(x1 * SS)) + 1)
        Y1 = min(self.H, int(math.ceil(y1 * SS)) + 1)
        inside = shape.inside
        R, G, B, W = self.r, self.g, self.b, self.W
        k = 1.0 - alpha
        for Y in range(Y0, Y1):
            y = (Y + 0.5) / SS
            row = Y * W
            for X in range(X0, X1):
                x = (X + 0.5) / SS
                if inside(x, y):
                    c = col if paint_at is None else paint_at(x, y)
                    i = row + X
                    R[i] = R[i] * k + c[0] * alpha
                    G[i] = G[i] * k + c[1] * alpha
                    B[i] = B[i] * k + c[2] * alpha

    def pixels(self):
        """Scaled-down picture as rows of bytes (RGB)."""
        rows = []
        n = SS * SS
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                sr = sg = sb = 0.0
                for j in range(SS):
                    base = (y * SS + j) * self.W + x * SS
                    for i in range(base, base + SS):
                        sr += self.r[i]
                        sg += self.g[i]
                        sb += self.b[i]
                row += bytes((clamp(sr / n), clamp(sg / n), clamp(sb / n)))
            rows.append(bytes(row))
        return rows

    def save_png(self, path):
        write_png(path, self.w, self.h, self.pixels())


def clamp(v):
    return max(0, min(255, int(v + 0.5)))


def write_png(path, w, h, rows):
    """Write an 8-bit RGB PNG (no filtering, zlib level 9)."""
    def chunk(kind, data):
        c = struct.pack('>I', len(data)) + kind + data
        return c + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)

    raw = b''.join(b'\x00' + r for r in rows)
    png = (b'\x89PNG\r\n\x1a\n'
           + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
           + chunk(b'IDAT', zlib.compress(raw, 9))
           + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(png)


# --------------------------------------------------------------------------
# author.png: head-and-shoulders portrait of a smiling grown-up

def draw_author():
    c = Canvas(100, 133)
    W, H = 100, 133

    # soft background with a few pale "bubbles"
    c.fill(rect(0, 0, W, H), vgradient('#bfe3f5', '#fff4d9', 0, H))
    c.fill(circle(12, 20, 16), '#ffffff', 0.25)
    c.fill(circle(88, 40, 20), '#ffffff', 0.22)
    c.fill(circle(80, 8, 9), '#ffffff', 0.30)
    c.fill(circle(18, 84, 12), '#ffffff', 0.18)

    skin = '#f6c9a2'
    skin_shade = '#e4a77f'
    hair = '#6a4128'
    hair_light = '#8a5a3a'

    # hair behind the head
    c.fill(ellipse(50, 54, 26, 28), hair)

    # shoulders: sweater with a V-neck and a shirt collar
    body = ellipse(50, 135, 50, 38)
    c.fill(body, vgradient('#3f9e96', '#2f7d77', 97, 133))
    c.fill(body & ellipse(50, 97, 44, 8), '#ffffff', 0.10)     # light on top
    c.fill(polygon([(36, 97), (64, 97), (50, 118)]), '#e9eef3')    # shirt
    c.fill(line([(35, 97), (50, 118), (65, 97)], 2.6), '#2a6f6a')  # V edge

    # neck
    c.fill(rect(42, 80, 58, 101), skin)
    c.fill(ellipse(50, 87, 9, 5), skin_shade, 0.55)   # shadow under chin
    c.fill(polygon([(38, 93), (50, 107), (42, 104), (36, 97)]), '#ffffff')
    c.fill(polygon([(62, 93), (50, 107), (58, 104), (64, 97)]), '#ffffff')
    c.fill(line([(38, 93), (50, 107), (62, 93)], 0.8), '#c9d2da')

    # ears
    for x in (27.5, 72.5):
        c.fill(ellipse(x, 63, 4.5, 6.5), skin)
        c.fill(ellipse(x, 63.5, 2.2, 3.8), skin_shade, 0.6)

    # face
    face = ellipse(50, 61, 22, 27)
    c.fill(face, skin)
    c.fill(face & ellipse(44, 52, 14, 15), '#ffffff', 0.12)   # light on forehead

    # fringe: hair over the top of the head with a side parting
    top = ellipse(50, 49, 23.5, 17)
    sweep = polygon([(24, 60), (24, 30), (76, 30), (76, 54), (66, 44),
                     (54, 42), (42, 46), (32, 52)])
    c.fill(top & sweep, hair)
    c.fill(ellipse(44, 28.5, 8, 3.2, -14), hair)                # a tuft on top
    c.fill(ellipse(55, 28, 6, 2.6, 12), hair)
    c.fill(line(curve((38, 38), (48, 33), (62, 36)), 2.0), hair_light)
    c.fill(line(curve((60, 40), (68, 41), (72, 48)), 1.6), hair_light, 0.8)

    # cheeks
    for x in (36, 64):
        c.fill(ellipse(x, 72, 4.5, 3.2), '#f08f86', 0.35)

    # eyes
    for x in (41, 59):
        c.fill(ellipse(x, 63, 3.6, 3.2), '#ffffff')
        c.fill(circle(x + 0.5, 63.4, 2.2), '#4a3020')
        c.fill(circle(x + 0.5, 63.4, 1.1), '#1b120c')
        c.fill(circle(x + 1.3, 62.4, 0.75), '#ffffff')

    # eyebrows
    c.fill(line(curve((35, 54), (40, 51), (46, 53.5)), 2.0), hair)
    c.fill(line(curve((54, 53.5), (60, 51), (65, 54)), 2.0), hair)

    # round glasses
    frame = '#33302e'
    for x in (41, 59):
        c.fill(circle(x, 63, 7.2) - circle(x, 63, 6.0), frame)
        c.fill(circle(x, 63, 6.0) & ellipse(x - 2, 60, 3, 2, -30), '#ffffff', 0.35)
    c.fill(line(curve((47.5, 62), (50, 60.5), (52.5, 62)), 1.2), frame)
    c.fill(line([(33.9, 62), (28, 60.5)], 1.2), frame)
    c.fill(line([(66.1, 62), (72, 60.5)], 1.2), frame)

    # nose
    c.fill(line(curve((50, 66), (47.5, 71.5), (50.5, 72.5)), 1.4), skin_shade)

    # smile
    mouth = ellipse(50, 77, 7.5, 5.5) & rect(40, 77, 60, 84)
    c.fill(mouth, '#9c3a3a')
    c.fill(mouth & rect(40, 77, 60, 79.2), '#fdfdfd')
    c.fill(mouth & ellipse(50, 82.5, 4, 2.2), '#e27b7b')
    c.fill(line(curve((41.5, 76.6), (50, 77.4), (58.5, 76.6)), 1.0), '#7d2c2c')

    return c


# --------------------------------------------------------------------------
# designer.png: a child at the computer, seen from the side

def draw_designer():
    c = Canvas(113, 133)
    W, H = 113, 133

    # wall and floor
    c.fill(rect(0, 0, W, 118), vgradient('#fdf0d2', '#f7dcc0', 0, 118))
    c.fill(rect(0, 118, W, H), vgradient('#d9a66c', '#c48a52', 118, H))
    c.fill(rect(0, 117, W, 119), '#b07845')

    # window with sky and a sun
    c.fill(rrect(5, 8, 37, 36, 2), '#ffffff')
    c.fill(rect(7, 10, 35, 34), vgradient('#8fd0f4', '#d6effb', 10, 34))
    c.fill(circle(28, 17, 4), '#ffd84a')
    c.fill(ellipse(15, 27, 6, 2.5), '#ffffff', 0.9)
    c.fill(rect(20, 10, 22, 34), '#ffffff')
    c.fill(rect(7, 21, 35, 23), '#ffffff')

    # chair: backrest, seat, post, feet
    chair = '#e2574c'
    c.fill(rect(19, 102, 22, 118), '#5b5f66')
    c.fill(line([(8, 120), (33, 120)], 2.4), '#5b5f66')
    c.fill(circle(9, 121.5, 2), '#33363b')
    c.fill(circle(32, 121.5, 2), '#33363b')
    c.fill(rrect(5, 60, 12, 101, 3), chair)
    c.fill(rrect(7, 96, 42, 102, 2.5), chair)
    c.fill(rect(7, 96, 42, 97.5), '#ffffff', 0.25)

    # legs (jeans) and shoes, partly under the desk
    jeans = '#3d6fb6'
    c.fill(line([(18, 92), (46, 94)], 10), jeans)
    c.fill(line([(46, 94), (50, 116)], 8), jeans)
    c.fill(ellipse(54, 118, 7, 3.6), '#2f2f36')
    c.fill(ellipse(52, 116.8, 3, 1), '#ffffff', 0.3)

    # body: T-shirt
    shirt = '#f29a2e'
    c.fill(rrect(13, 63, 37, 97, 9), shirt)
    c.fill(rrect(13, 63, 20, 97, 6), '#ffffff', 0.12)

    # head
    skin = '#f6c9a2'
    skin_shade = '#e4a77f'
    c.fill(rect(24, 56, 32, 66), skin)                          # neck
    head = circle(31, 47, 14)
    c.fill(head, skin)
    c.fill(circle(44, 50, 2.4), skin)                           # nose
    hair = '#7a4a26'
    # hair: cap over the back and top of the head with a fringe
    c.fill(head & polygon([(10, 30), (50, 30), (46, 39), (38, 40),
                           (34, 44), (29, 47), (26, 58), (10, 60)]), hair)
    c.fill(circle(19, 40, 6.5), hair)
    c.fill(circle(14, 49, 5), hair)                             # ponytail
    c.fill(ellipse(10.5, 56, 4, 7, 20), hair)
    c.fill(circle(16, 46, 2.2), '#3db5e6')                      # hair band
    c.fill(line(curve((22, 37), (30, 33), (40, 35)), 1.4), '#a06a3c')
    c.fill(ellipse(28, 50, 2.6, 3.4), skin)                     # ear
    c.fill(ellipse(28.3, 50.3, 1.2, 2), skin_shade, 0.7)
    # face, looking at the screen
    c.fill(circle(40.3, 47.5, 1.7), '#2a1c12')
    c.fill(circle(40.8, 46.9, 0.6), '#ffffff')
    c.fill(line(curve((37.5, 43.5), (40, 42.2), (42.5, 43.5)), 1.1), hair)
    c.fill(ellipse(37.5, 53.5, 3, 2), '#f08f86', 0.45)          # cheek
    c.fill(line(curve((39.5, 55.5), (42, 57.5), (44.3, 55.6)), 1.1), '#9c3a3a')

    # desk
    desk = '#b9834f'
    c.fill(rect(102, 91, 107, 118), '#99683b')                 # leg
    c.fill(rect(46, 89, W, 92), '#a06e3f')                      # front edge
    c.fill(rect(46, 86, W, 89.5), desk)

    # monitor
    c.fill(rrect(78, 83, 100, 87, 1.5), '#5b5f66')              # foot
    c.fill(rect(86, 70, 92, 84), '#6d727a')                     # stand
    c.fill(rrect(60, 34, 111, 74, 3), '#3a3f4a')                # case
    screen = rect(64, 38, 107, 70)
    c.fill(screen, vgradient('#7cc7f2', '#d9f3c8', 38, 70))
    c.fill(screen & ellipse(86, 76, 30, 10), '#8fcf6a')         # meadow
    # a winding trail of stepping stones across the screen
    trail = curve((68, 64), (82, 44), (98, 58), 8) + curve((98, 58), (104, 62), (104, 46), 4)[1:]
    for x, y in trail:
        c.fill(circle(x, y, 1.7), '#ffffff')
        c.fill(circle(x, y, 1.1), '#f4b23a')
    c.fill(line([(104, 45), (104, 39)], 0.8), '#3a3f4a')        # goal flag
    c.fill(polygon([(104.3, 39), (108, 40.6), (104.3, 42.2)]), '#e2574c')
    c.fill(circle(68, 64, 2.2), '#3d6fb6')                      # start
    c.fill(rect(60, 34, 111, 37), '#ffffff', 0.08)

    # keyboard and mouse
    c.fill(polygon([(49, 86), (51, 83), (73, 83), (75, 86)]), '#d4d8de')
    for i in range(6):
        c.fill(rect(53 + i * 3.2, 84, 55.2 + i * 3.2, 85.2), '#9aa1ab')
    c.fill(ellipse(79, 84.8, 3, 1.6), '#f2f2f2')
    c.fill(line([(81.5, 84.6), (84, 83.8)], 0.6), '#5b5f66')

    # arm reaching the keyboard (drawn last, so it is in front)
    c.fill(line([(27, 70), (34, 80), (50, 83)], 7), shirt)
    c.fill(line([(38, 81), (52, 83.5)], 4.6), skin)
    c.fill(ellipse(54, 83.5, 3.4, 2.2), skin)

    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    draw_author().save_png(os.path.join(here, 'author.png'))
    draw_designer().save_png(os.path.join(here, 'designer.png'))


if __name__ == '__main__':
    main()
