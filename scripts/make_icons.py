#!/usr/bin/env python3
"""Draws the toolbar and window icons of zrk6 into resources/icons.

Plain Python (no imaging library): each icon is a list of filled shapes in a 24 x 24
design space, rendered with 4 x 4 supersampling and written as PNG at 24 px and, for
high-DPI screens, 48 px (name@2x.png). Run it again after changing a design.
"""
import math
import os
import struct
import zlib

SS = 4  # supersampling factor


def rgba(hexcolor, alpha=255):
    h = hexcolor.lstrip('#')
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16), alpha)


# --- shapes: each is (inside(x, y) -> bool, bbox, colour) in design units -------------

def polygon(points, color):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        result = False
        n = len(points)
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return (inside, (min(xs), min(ys), max(xs), max(ys)), color)


def rect(x0, y0, x1, y1, color, radius=0.0):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        if radius <= 0:
            return True
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return (inside, (x0, y0, x1, y1), color)


def circle(cx, cy, r, color):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, (cx - r, cy - r, cx + r, cy + r), color)


def line(x0, y0, x1, y1, width, color):
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color)


def outlined_polygon(points, fill, edge, inset=1.0):
    """A polygon with an edge: the edge colour underneath, the fill shrunk towards the centre."""
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    inner = []
    for x, y in points:
        inner.append((x + (inset if x < cx else -inset), y + (inset if y < cy else -inset)))
    return [polygon(points, edge), polygon(inner, fill)]


# --- rendering -------------------------------------------------------------------------

def render(shapes, size, design=24.0):
    scale = size / design
    n = size * SS
    acc = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
    sub = 1.0 / (SS * SS)
    for inside, (bx0, by0, bx1, by1), color in shapes:
        r, g, b, a = color
        a /= 255.0
        px0 = max(0, int(bx0 * scale * SS) - 1)
        py0 = max(0, int(by0 * scale * SS) - 1)
        px1 = min(n, int(bx1 * scale * SS) + 2)
        py1 = min(n, int(by1 * scale * SS) + 2)
        cover = {}
        for sy in range(py0, py1):
            y = (sy + 0.5) / (scale * SS)
            for sx in range(px0, px1):
                x = (sx + 0.5) / (scale * SS)
                if inside(x, y):
                    key = (sy // SS) * size + sx // SS
                    cover[key] = cover.get(key, 0.0) + sub
        for key, c in cover.items():
            alpha = a * min(c, 1.0)
            dst = acc[key]
            out_a = alpha + dst[3] * (1 - alpha)
            if out_a <= 0:
                continue
            for i, v in enumerate((r, g, b)):
                dst[i] = (v * alpha + dst[i] * dst[3] * (1 - alpha)) / out_a
            dst[3] = out_a
    rows = []
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            r, g, b, a = acc[y * size + x]
            row += bytes((int(round(r)), int(round(g)), int(round(b)), int(round(a * 255))))
        rows.append(bytes(row))
    return b''.join(rows)


def write_png(path, size, raw):
    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF)
    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9))
    png += chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


# --- designs ---------------------------------------------------------------------------

EDGE = rgba('#44546a')
PAPER = rgba('#ffffff')
LINE = rgba('#9aa8b8')


def page_lines(x0, x1, ys):
    return [rect(x0, y - 0.5, x1, y + 0.5, LINE) for y in ys]


def icon_new():
    shapes = outlined_polygon([(4.5, 2), (14, 2), (19.5, 7.5), (19.5, 22), (4.5, 22)], PAPER, EDGE)
    shapes.append(polygon([(14, 2), (14, 7.5), (19.5, 7.5)], rgba('#c9d3df')))
    shapes.append(line(14, 2, 14, 7.5, 1, EDGE))
    shapes.append(line(14, 7.5, 19.5, 7.5, 1, EDGE))
    shapes.append(circle(8.5, 6.5, 2.0, rgba('#f5b400')))
    return shapes


def icon_open():
    back = [(2, 5), (9, 5), (11, 7.5), (21, 7.5), (21, 20), (2, 20)]
    front = [(2, 20), (5.5, 11), (23, 11), (19.5, 20)]
    return (outlined_polygon(back, rgba('#e0a526'), rgba('#8a5a00'))
            + [polygon([(6, 9), (19, 9), (19, 13), (6, 13)], PAPER)]
            + outlined_polygon(front, rgba('#ffd45c'), rgba('#8a5a00')))


def icon_save():
    return [
        rect(3, 3, 21, 21, rgba('#1f4e8c'), radius=2),
        rect(4, 4, 20, 20, rgba('#2f6fc4'), radius=1.5),
        rect(7, 3.5, 17, 10, rgba('#d9e1ea')),
        rect(13.5, 4.5, 15.5, 9, rgba('#1f4e8c')),
        rect(6, 13, 18, 21, PAPER),
    ] + page_lines(7.5, 16.5, [15.5, 18])


def icon_print():
    return [
        rect(6.5, 2, 17.5, 10, EDGE),
        rect(7.5, 3, 16.5, 10, PAPER),
        rect(2.5, 8, 21.5, 17.5, rgba('#4a5563'), radius=2),
        rect(3.5, 9, 20.5, 16.5, rgba('#8896a8'), radius=1.5),
        circle(18, 11.5, 1, rgba('#2ecc40')),
        rect(6.5, 14, 17.5, 22, EDGE),
        rect(7.5, 14, 16.5, 21, PAPER),
    ] + page_lines(9, 15, [16.5, 19])


def radio(x=3.0):
    return [
        rect(x + 1.5, 1, x + 3.5, 7, rgba('#2b2f36'), radius=0.8),
        rect(x, 5.5, x + 9.5, 22.5, rgba('#2b2f36'), radius=2),
        rect(x + 1.3, 7.5, x + 8.2, 12, rgba('#9fe0a8'), radius=0.6),
        circle(x + 2.8, 15, 0.9, rgba('#c9d3df')), circle(x + 4.75, 15, 0.9, rgba('#c9d3df')),
        circle(x + 6.7, 15, 0.9, rgba('#c9d3df')), circle(x + 2.8, 17.6, 0.9, rgba('#c9d3df')),
        circle(x + 4.75, 17.6, 0.9, rgba('#c9d3df')), circle(x + 6.7, 17.6, 0.9, rgba('#c9d3df')),
        rect(x + 2.5, 19.7, x + 7, 20.7, rgba('#5b6470')),
    ]


def arrow(down, color, edge):
    if down:
        pts = [(15.5, 4), (19.5, 4), (19.5, 12), (22.8, 12), (17.5, 19), (12.2, 12), (15.5, 12)]
    else:
        pts = [(15.5, 19), (19.5, 19), (19.5, 11), (22.8, 11), (17.5, 4), (12.2, 11), (15.5, 11)]
    cx = 17.5
    inner = []
    for x, y in pts:
        inner.append((x + (0.9 if x < cx else -0.9 if x > cx else 0), y + (0.9 if (down and y < 10) or (not down and y > 14) else -1.3 if down and y > 18 else 1.3 if not down and y < 5 else 0)))
    return [polygon(pts, edge), polygon(inner, color)]


def icon_read():
    return radio() + arrow(True, rgba('#3cb44b'), rgba('#1d6b27'))


def icon_write():
    return radio() + arrow(False, rgba('#f58231'), rgba('#9c4a10'))


def icon_about():
    return [
        circle(12, 12, 10, rgba('#1f4e8c')),
        circle(12, 12, 9, rgba('#3a7bd5')),
        circle(12, 7, 1.6, PAPER),
        rect(10.6, 10, 13.4, 18, PAPER, radius=0.8),
    ]


UNDO_ARROW = [(2, 11), (10, 3.5), (10, 7.5), (15, 7.5), (21.5, 13), (21.5, 20.5), (17.5, 20.5), (17.5, 14.5),
              (14.5, 11.5), (10, 11.5), (10, 18.5)]


def shrink(points, by=1.0):
    """Moves each vertex of a simple polygon inwards along its corner bisector."""
    n = len(points)
    area = sum(points[i][0] * points[(i + 1) % n][1] - points[(i + 1) % n][0] * points[i][1] for i in range(n))
    sign = 1 if area > 0 else -1
    out = []
    for i in range(n):
        px, py = points[i - 1]
        x, y = points[i]
        nx_, ny_ = points[(i + 1) % n]
        e1 = (x - px, y - py)
        e2 = (nx_ - x, ny_ - y)
        l1 = math.hypot(*e1)
        l2 = math.hypot(*e2)
        n1 = (-e1[1] / l1 * sign, e1[0] / l1 * sign)
        n2 = (-e2[1] / l2 * sign, e2[0] / l2 * sign)
        bx, by_ = n1[0] + n2[0], n1[1] + n2[1]
        dot = n1[0] * n2[0] + n1[1] * n2[1]
        scale = by / max(0.3, (1 + dot))
        out.append((x + bx * scale, y + by_ * scale))
    return out


def icon_undo():
    return [polygon(UNDO_ARROW, rgba('#1f4e8c')), polygon(shrink(UNDO_ARROW), rgba('#3a7bd5'))]


def icon_redo():
    mirrored = [(24.0 - x, y) for x, y in UNDO_ARROW]
    return [polygon(mirrored, rgba('#1f4e8c')), polygon(shrink(mirrored), rgba('#3a7bd5'))]


def icon_app():
    return [rect(1, 1, 23, 23, rgba('#e8eef5'), radius=4)] + radio(7.25)


ICONS = {
    'new': icon_new, 'open': icon_open, 'save': icon_save, 'print': icon_print,
    'read': icon_read, 'write': icon_write, 'about': icon_about,
    'undo': icon_undo, 'redo': icon_redo,
}


HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'icons')
    os.makedirs(out, exist_ok=True)
    for name, design in ICONS.items():
        shapes = design()
        write_png(os.path.join(out, name + '.png'), 24, render(shapes, 24))
        write_png(os.path.join(out, name + '@2x.png'), 48, render(shapes, 48))
    app = icon_app()
    # The sizes of the desktop's hicolor icon theme, installed by the package.
    for size in HICOLOR_SIZES:
        write_png(os.path.join(out, 'zrk6-%d.png' % size), size, render(app, size))
    write_png(os.path.join(out, 'zrk6.png'), 64, render(app, 64))


if __name__ == '__main__':
    main()
