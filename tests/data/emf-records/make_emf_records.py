#!/usr/bin/env python3
"""Writes the enhanced metafiles of the EMF record tests (alpha blends and
wide dashed pens) and renders each once with LibreOffice as the outside
reference the tests compare our player with. (LibreOffice 7.4 draws no
gradient fills and no user-styled pens, and blends per-pixel alpha as if the
colours were not premultiplied and without the constant alpha; those are
checked against their documented results in the tests instead, and the
pictures here keep to what it draws as documented: per-pixel alpha over
black or all or nothing, and a constant alpha on its own.)

    tests/data/emf-records/make_emf_records.py            # metafiles and references
    tests/data/emf-records/make_emf_records.py --no-render

The references need `soffice` (libreoffice-core and libreoffice-draw). Each
picture is 480 x 360 pixels at 96 dpi: the frame is 5 x 3.75 inches and the
reference device has 96 pixels an inch, so one logical unit is one pixel.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 480, 360

PS_GEOMETRIC = 0x10000
PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT = 1, 2, 3, 4
PS_ENDCAP_ROUND, PS_ENDCAP_SQUARE, PS_ENDCAP_FLAT = 0, 0x100, 0x200
PS_JOIN_ROUND, PS_JOIN_BEVEL, PS_JOIN_MITER = 0, 0x1000, 0x2000
STOCK = 0x80000000
BLACK_BRUSH, NULL_BRUSH, NULL_PEN = 4, 5, 8
MARK = 6


def rgb(r, g, b):
    return r | g << 8 | b << 16


class Emf:
    def __init__(self):
        self.records = []
        self.handles = 1

    def record(self, kind, payload):
        self.records.append(struct.pack('<II', kind, 8 + len(payload)) + payload)

    def brush(self, colour):
        slot = self.handles
        self.handles += 1
        self.record(39, struct.pack('<IIII', slot, 0, colour, 0))
        return slot

    def pen(self, style, width, colour):
        slot = self.handles
        self.handles += 1
        payload = struct.pack('<IIIII', slot, 0, 0, 0, 0)
        payload += struct.pack('<IIIIII', style, width, 0, colour, 0, 0)
        self.record(95, payload)
        return slot

    def select(self, slot):
        self.record(37, struct.pack('<I', slot))

    def delete(self, slot):
        self.record(40, struct.pack('<I', slot))

    def rectangle(self, l, t, r, b):
        self.record(43, struct.pack('<iiii', l, t, r, b))

    def polyline(self, points, polygon=False):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        payload = struct.pack('<iiiiI', min(xs), min(ys), max(xs), max(ys), len(points))
        payload += b''.join(struct.pack('<hh', x, y) for x, y in points)
        self.record(86 if polygon else 87, payload)

    def alpha_blend(self, dest, src_size, constant, per_pixel, pixels, bits):
        """pixels: rows top to bottom of (b, g, r, a), premultiplied when 32-bit."""
        w, h = len(pixels[0]), len(pixels)
        stride = (w * bits // 8 + 3) // 4 * 4
        data = b''
        for row in reversed(pixels):  # bottom-up
            line = b''
            for b, g, r, a in row:
                line += bytes([b, g, r, a]) if bits == 32 else bytes([b, g, r])
            data += line + b'\0' * (stride - len(line))
        bmi = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(data), 0, 0, 0, 0)
        x, y, cx, cy = dest
        blend = struct.pack('<BBBB', 0, 0, constant, 1 if per_pixel else 0)
        xform = struct.pack('<6f', 1, 0, 0, 1, 0, 0)
        fixed = 108 - 8
        payload = struct.pack('<iiii', x, y, x + cx - 1, y + cy - 1)
        payload += struct.pack('<iiii', x, y, cx, cy) + blend + struct.pack('<ii', 0, 0) + xform
        payload += struct.pack('<II', 0, 0)
        payload += struct.pack('<IIII', 8 + fixed, len(bmi), 8 + fixed + len(bmi), len(data))
        payload += struct.pack('<ii', src_size[0], src_size[1])
        self.record(114, payload + bmi + data)

    def marks(self):
        """Black squares in two corners, by which the reference renderer's
        placement of the picture on its page is found."""
        self.select(STOCK | NULL_PEN)
        self.select(STOCK | BLACK_BRUSH)
        self.rectangle(0, 0, MARK + 1, MARK + 1)
        self.rectangle(WIDTH - MARK, HEIGHT - MARK, WIDTH + 1, HEIGHT + 1)

    def bytes(self):
        body = b''.join(self.records)
        eof = struct.pack('<IIIII', 14, 20, 0, 16, 20)
        total = 88 + len(body) + len(eof)
        header = struct.pack('<II', 1, 88)
        header += struct.pack('<iiii', 0, 0, WIDTH - 1, HEIGHT - 1)
        header += struct.pack('<iiii', 0, 0, WIDTH * 2540 // 96, HEIGHT * 2540 // 96)
        header += struct.pack('<IIIIHHIII', 0x464D4520, 0x10000, total, len(self.records) + 2, self.handles, 0, 0, 0, 0)
        header += struct.pack('<iiii', 960, 960, 254, 254)
        return header + body + eof


def alpha_blends():
    e = Emf()
    e.select(STOCK | NULL_PEN)
    red = e.brush(rgb(220, 0, 0))
    blue = e.brush(rgb(0, 0, 200))
    e.select(red)
    e.rectangle(0, 60, WIDTH, 140)
    e.select(blue)
    e.rectangle(0, 220, WIDTH, 300)
    # An opaque green picture at half strength.
    green = [[(0, 200, 0, 0)] * 20 for _ in range(20)]
    e.alpha_blend((20, 20, 200, 140), (20, 20), 128, False, green, 24)
    # A picture with its own alpha: black, from clear to solid across it.
    ramp = [[(0, 0, 0, x * 255 // 63) for x in range(64)] for _ in range(16)]
    e.alpha_blend((260, 20, 192, 128), (64, 16), 255, True, ramp, 32)
    # Yellow and magenta squares with clear ones between (not stretched:
    # the renderer smooths what it stretches, where the blend takes the
    # nearest pixel).
    squares = []
    for y in range(80):
        row = []
        for x in range(240):
            if (x // 20 + y // 20) % 2:
                row.append((0, 0, 0, 0))
            else:
                row.append((0, 255, 255, 255) if y < 40 else (255, 0, 255, 255))
        squares.append(row)
    e.alpha_blend((120, 220, 240, 80), (240, 80), 255, True, squares, 32)
    return e


def dashes():
    e = Emf()
    e.select(STOCK | NULL_BRUSH)
    rows = [
        (PS_DASH | PS_ENDCAP_FLAT, 10, rgb(200, 0, 0)),
        (PS_DOT | PS_ENDCAP_FLAT, 10, rgb(0, 128, 0)),
        (PS_DASHDOT | PS_ENDCAP_FLAT, 10, rgb(0, 0, 200)),
        (PS_DASHDOTDOT | PS_ENDCAP_FLAT, 10, rgb(128, 0, 128)),
        (PS_DASH | PS_ENDCAP_SQUARE, 12, rgb(160, 96, 0)),
        (PS_DASH | PS_ENDCAP_ROUND, 12, rgb(0, 0, 0)),
    ]
    y = 24
    for style, width, colour in rows:
        pen = e.pen(PS_GEOMETRIC | style, width, colour)
        e.select(pen)
        e.polyline([(24, y), (300, y)])
        e.select(STOCK | NULL_PEN)
        e.delete(pen)
        y += 36
    # A corner and a closed outline with a dashed pen.
    pen = e.pen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER, 8, rgb(0, 0, 160))
    e.select(pen)
    e.polyline([(330, 24), (456, 24), (456, 150)])
    e.rectangle(330, 190, 456, 330)
    e.select(STOCK | NULL_PEN)
    e.delete(pen)
    return e


def crop_to_marks(page, out):
    """Cuts the picture out of the page the renderer placed it on: from the
    top-left corner mark, WIDTH x HEIGHT pixels."""
    size = subprocess.run(['identify', '-format', '%w %h', page], check=True, capture_output=True, text=True).stdout
    w, h = map(int, size.split())
    rgb = subprocess.run(['convert', page, '-background', 'white', '-flatten', 'rgb:-'], check=True,
                         capture_output=True).stdout
    dark = lambda x, y: max(rgb[3 * (y * w + x):3 * (y * w + x) + 3]) < 100
    top = next(y for y in range(h) if any(dark(x, y) for x in range(w)))
    left = next(x for x in range(w) if any(dark(x, y) for y in range(top, min(h, top + MARK + 2))))
    subprocess.run(['convert', page, '-background', 'white', '-flatten', '-crop',
                    '%dx%d+%d+%d' % (WIDTH, HEIGHT, left, top), '+repage', out], check=True)


def main():
    pictures = {'alphablend': alpha_blends(), 'dashes': dashes()}
    for name, emf in pictures.items():
        emf.marks()
        with open(os.path.join(HERE, name + '.emf'), 'wb') as f:
            f.write(emf.bytes())
    if '--no-render' in sys.argv:
        return
    with tempfile.TemporaryDirectory() as tmp:
        profile = 'file://' + os.path.join(tmp, 'profile')
        subprocess.run(['soffice', '-env:UserInstallation=' + profile, '--headless', '--convert-to', 'png',
                        '--outdir', tmp] + [os.path.join(HERE, n + '.emf') for n in pictures],
                       check=True, stdout=subprocess.DEVNULL)
        for name in pictures:
            crop_to_marks(os.path.join(tmp, name + '.png'), os.path.join(HERE, name + '.png'))


if __name__ == '__main__':
    main()
