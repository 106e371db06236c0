#!/usr/bin/env python3
"""Draws the recorder window's artwork with the standard library only and writes it to ui/art/:

banner.jpg     400 x 64 banner with the product name (baseline JPEG, encoder below)
glyphs.bmp     224 x 32 strip of seven toolbar glyphs: Record, Play, Pause, Stop, Options,
               About, Help; magenta (255, 0, 255) is the transparent mask colour
kestova.ico    window icon, 16, 20, 24, 32, 40, 48, 64 and 96 pixels, 32-bit with alpha
icon48.jpg     the 48 x 48 icon on the light 3-D face colour, for the About window's picture
handpoint.cur  the hand cursor, 32 x 32 (and 48, 64), hot spot on the finger tip
icon16.png     the icon with alpha at 16, 32 and 80 pixels, for the web add-in's manifest

The banner, the glyphs and the About picture are drawn again for 150 % and 200 % displays
(banner150.jpg, glyphs200.bmp, icon72.jpg, icon96.jpg, ...): the same shapes, sampled finer.

Output is deterministic, so re-running it leaves the committed files unchanged.
"""
import math
import zlib
import os
import struct
import sys

MASK = (255, 0, 255)
FACE = (240, 240, 240)  # the light 3-D face colour the About window is drawn on


class Canvas:
    """RGBA pixels, top-down; shapes are drawn with 4 x 4 supersampled coverage. Shapes and boxes
    are given in 100 % units; `scale` pixels make one unit."""

    def __init__(self, width, height, fill=(0, 0, 0, 0), scale=1):
        self.scale = scale
        self.width, self.height = round(width * scale), round(height * scale)
        self.px = [list(fill) for _ in range(self.width * self.height)]

    def blend(self, x, y, rgb, alpha):
        if not (0 <= x < self.width and 0 <= y < self.height) or alpha <= 0:
            return
        p = self.px[y * self.width + x]
        out_a = alpha + p[3] / 255 * (1 - alpha)
        for i in range(3):
            under = p[i] * p[3] / 255 * (1 - alpha)
            p[i] = round((rgb[i] * alpha + under) / out_a) if out_a else 0
        p[3] = round(out_a * 255)

    def shape(self, inside, rgb, box=None):
        s = self.scale
        x0, y0, x1, y1 = [math.floor(v * s) for v in box[:2]] + [math.ceil(v * s) for v in box[2:]] if box else \
            (0, 0, self.width, self.height)
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                hits = sum(inside((x + (i + 0.5) / 4) / s, (y + (j + 0.5) / 4) / s) for i in range(4) for j in range(4))
                self.blend(x, y, rgb, hits / 16)

    def rgb_rows(self, background):
        """Opaque rows: each pixel composited over `background`."""
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                p = self.px[y * self.width + x]
                a = p[3] / 255
                row.append(tuple(round(p[i] * a + background[i] * (1 - a)) for i in range(3)))
            rows.append(row)
        return rows


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx, cy = min(max(x, x0 + r), x1 - r), min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    def inside(x, y):
        s = (side(a, b, x, y), side(b, c, x, y), side(c, a, x, y))
        return all(v >= 0 for v in s) or all(v <= 0 for v in s)
    return inside


# 5 x 7 pixel font: just the letters the artwork writes.
FONT = {
    'K': "10001 10010 10100 11000 10100 10010 10001", 'O': "01110 10001 10001 10001 10001 10001 01110",
    'e': "00000 00000 01110 10001 11111 10000 01110", 's': "00000 00000 01111 10000 01110 00001 11110",
    't': "01000 01000 11100 01000 01000 01001 00110", 'o': "00000 00000 01110 10001 10001 10001 01110",
    'v': "00000 00000 10001 10001 10001 01010 00100", 'a': "00000 00000 01110 00001 01111 10001 01111",
    'f': "00110 01001 01000 11100 01000 01000 01000", 'r': "00000 00000 10110 11001 10000 10000 10000",
    'u': "00000 00000 10001 10001 10001 10011 01101", 'l': "01100 00100 00100 00100 00100 00100 01110",
    'k': "10000 10000 10010 10100 11000 10100 10010", 'i': "00100 00000 01100 00100 00100 00100 01110",
    '?': "01110 10001 00001 00110 00100 00000 00100",
}


def text(canvas, x, y, string, scale, rgb, space=None):
    for ch in string:
        if ch == ' ':
            x += space if space is not None else 3 * scale
            continue
        rows = FONT[ch].split()
        for j, row in enumerate(rows):
            for i, bit in enumerate(row):
                if bit == '1':
                    canvas.shape(rect(x + i * scale, y + j * scale, x + (i + 1) * scale, y + (j + 1) * scale), rgb,
                                 (x + i * scale, y + j * scale, x + (i + 1) * scale, y + (j + 1) * scale))
        x += 6 * scale - 1


def microphone(canvas, ox, oy, size, body, stand):
    """A capsule on a stand, fitted into a size x size square."""
    s = size / 32
    canvas.shape(rounded_rect(ox + 11 * s, oy + 2 * s, ox + 21 * s, oy + 20 * s, 5 * s), body)
    ring_out, ring_in = circle(ox + 16 * s, oy + 14 * s, 9 * s), circle(ox + 16 * s, oy + 14 * s, 7 * s)
    canvas.shape(lambda x, y: ring_out(x, y) and not ring_in(x, y) and y > oy + 13 * s, stand)
    canvas.shape(rect(ox + 15 * s, oy + 22 * s, ox + 17 * s, oy + 28 * s), stand)
    canvas.shape(rounded_rect(ox + 10 * s, oy + 27 * s, ox + 22 * s, oy + 30 * s, 1.2 * s), stand)


def banner(scale=1):
    c = Canvas(400, 64, scale=scale)
    top, bottom = (28, 58, 112), (38, 120, 168)
    for y in range(c.height):
        for x in range(c.width):
            t = x / (c.width - 1) * 0.6 + y / (c.height - 1) * 0.4
            c.px[y * c.width + x] = [round(top[i] + (bottom[i] - top[i]) * t) for i in range(3)] + [255]
    # A quiet waveform along the bottom edge.
    wave = lambda x, y: abs(y - (52 + 6 * math.sin(x / 11) * math.sin(x / 53))) < 1.2
    c.shape(wave, (120, 190, 225), (0, 40, 400, 64))
    c.shape(circle(36, 32, 26), (255, 255, 255), (8, 4, 64, 60))
    microphone(c, 16, 12, 40, (200, 40, 40), (60, 60, 70))
    text(c, 71, 20, " Kestova for Outlook", 3, (10, 25, 50), space=9)   # shadow
    text(c, 70, 19, " Kestova for Outlook", 3, (255, 255, 255), space=9)
    return c.rgb_rows((0, 0, 0))


def glyph(index, scale=1):
    c = Canvas(32, 32, scale=scale)
    if index == 0:    # Record
        c.shape(circle(16, 16, 12), (150, 20, 20))
        c.shape(circle(16, 16, 10), (225, 40, 40))
        c.shape(circle(13, 12, 3.5), (245, 140, 140))
    elif index == 1:  # Play
        c.shape(triangle((8, 4), (27, 16), (8, 28)), (20, 110, 30))
        c.shape(triangle((10, 8), (23, 16), (10, 24)), (60, 175, 60))
    elif index == 2:  # Pause
        for x in (7, 18):
            c.shape(rounded_rect(x, 5, x + 7, 27, 1.5), (30, 70, 150))
            c.shape(rounded_rect(x + 1, 6, x + 6, 26, 1.2), (70, 120, 210))
    elif index == 3:  # Stop
        c.shape(rounded_rect(6, 6, 26, 26, 2.5), (40, 40, 50))
        c.shape(rounded_rect(8, 8, 24, 24, 2), (95, 100, 115))
    elif index == 4:  # Options: a gear
        def gear(x, y):
            dx, dy = x - 16, y - 16
            r, a = math.hypot(dx, dy), math.atan2(dy, dx)
            tooth = math.cos(8 * a) > 0.3
            return 5 <= r <= (13.5 if tooth else 10.5)
        c.shape(gear, (90, 95, 105))
        c.shape(lambda x, y: gear(x, y) and math.hypot(x - 16, y - 16) <= 9.5, (150, 155, 165))
    elif index in (5, 6):  # About, Help: a letter on a blue disc
        c.shape(circle(16, 16, 13), (20, 70, 160))
        c.shape(circle(16, 16, 11.5), (50, 120, 215))
        text(c, 11 if index == 5 else 10, 6, 'i' if index == 5 else '?', 3, (255, 255, 255))
    return c


def glyph_strip(scale=1):
    """Opaque where the glyph covers at least half a pixel, the mask colour elsewhere."""
    size = round(32 * scale)
    rows = [[MASK] * (7 * size) for _ in range(size)]
    for g in range(7):
        c = glyph(g, scale)
        for y in range(size):
            for x in range(size):
                p = c.px[y * size + x]
                if p[3] >= 128:
                    rows[y][g * size + x] = tuple(p[:3])
    return rows


def bmp24(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = b''.join(bytes(v for p in row for v in (p[2], p[1], p[0])).ljust(stride, b'\0') for row in reversed(rows))
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + 40 + len(data), 0, 0, 54) + header + data


def dib32(c):
    """An icon or cursor image: BGRA bottom-up, then the 1-bit AND mask (set = transparent)."""
    w, h = c.width, c.height
    xor = b''.join(bytes((p[2], p[1], p[0], p[3])) for y in reversed(range(h)) for p in c.px[y * w:(y + 1) * w])
    mask_stride = ((w + 31) // 32) * 4
    mask = b''
    for y in reversed(range(h)):
        bits = 0
        for x in range(w):
            bits = bits << 1 | (c.px[y * w + x][3] == 0)
        mask += (bits << (mask_stride * 8 - w)).to_bytes(mask_stride, 'big')
    header = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def icon_file(kind, images):
    """kind 1: icon (planes, bit count); kind 2: cursor (hot spot x, y)."""
    out = struct.pack('<HHH', 0, kind, len(images))
    blobs = [dib32(c) for c, _ in images]
    offset = 6 + 16 * len(images)
    for (c, extra), blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', c.width % 256, c.height % 256, 0, 0, extra[0], extra[1], len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


def png(c):
    """RGBA, 8 bits a channel, no filter."""
    raw = b''.join(b'\0' + bytes(v for p in c.px[y * c.width:(y + 1) * c.width] for v in p) for y in range(c.height))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    header = struct.pack('>IIBBBBB', c.width, c.height, 8, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')


def window_icon(size):
    c = Canvas(size, size)
    s = size / 32
    c.shape(rounded_rect(1 * s, 1 * s, 31 * s, 31 * s, 6 * s), (30, 80, 150))
    c.shape(rounded_rect(2 * s, 2 * s, 30 * s, 30 * s, 5 * s), (45, 115, 190))
    microphone(c, 0, 0, size, (235, 235, 240), (250, 250, 255))
    return c


HAND = """
.....XX.........
....XooX........
....XooX........
....XooX........
....XooX........
....XooXXX......
....XooXooXXX...
....XooXooXooXX.
.XX.XooXooXooXoX
XooXXoooooooooX
XoooXooooooooooX
.XooXooooooooooX
..XooooooooooooX
..XoooooooooooX.
...XooooooooooX.
...XoooooooooX..
....XooooooooX..
....XooooooooX..
....XXXXXXXXXX..
"""


def hand_cursor(scale=1):
    c = Canvas(32, 32, scale=scale)
    colours = {'X': (0, 0, 0), 'o': (255, 255, 255)}
    for y, row in enumerate(HAND.split()):
        for x, ch in enumerate(row):
            if ch in colours:
                cell = (x + 4, y + 2, x + 5, y + 3)
                c.shape(rect(*cell), colours[ch], cell)
    return c


# --- Baseline JPEG encoder: 4:4:4 YCbCr, standard quantisation tables scaled to a quality, and
# fixed-length Huffman codes (4 bits for DC sizes, 8 bits for AC symbols), which every decoder
# accepts and which keep this short; the banner is small, so the size cost does not matter.

ZIGZAG = [0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14,
          21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53,
          60, 61, 54, 47, 55, 62, 63]
LUMA_Q = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22,
          29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64, 78, 87, 103,
          121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHROMA_Q = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99,
            99, 99, 99, 99, 99] + [99] * 32
DC_SYMBOLS = list(range(12))
AC_SYMBOLS = [0x00, 0xF0] + [run << 4 | size for run in range(16) for size in range(1, 11)]


def scaled_table(table, quality):
    factor = 5000 / quality if quality < 50 else 200 - 2 * quality
    return [max(1, min(255, (q * factor + 50) // 100)) for q in table]


def segment(marker, payload):
    return struct.pack('>HH', marker, len(payload) + 2) + payload


class BitWriter:
    def __init__(self):
        self.out, self.acc, self.n = bytearray(), 0, 0

    def put(self, value, length):
        self.acc, self.n = self.acc << length | (value & ((1 << length) - 1)), self.n + length
        while self.n >= 8:
            self.n -= 8
            byte = self.acc >> self.n & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)  # byte stuffing
        self.acc &= (1 << self.n) - 1

    def flush(self):
        if self.n:
            self.put((1 << (8 - self.n)) - 1, 8 - self.n)  # pad with ones


COS = [[math.cos((2 * x + 1) * u * math.pi / 16) * (math.sqrt(0.5) if u == 0 else 1) for x in range(8)] for u in range(8)]


def fdct(block):
    rows = [[sum(block[y * 8 + x] * COS[u][x] for x in range(8)) / 2 for u in range(8)] for y in range(8)]
    return [sum(rows[y][u] * COS[v][y] for y in range(8)) / 2 for v in range(8) for u in range(8)]


def magnitude(value):
    size = abs(value).bit_length()
    return size, (value if value >= 0 else value + (1 << size) - 1)


def encode_block(bits, coefficients, table, previous_dc):
    q = [round(coefficients[ZIGZAG[k]] / table[ZIGZAG[k]]) for k in range(64)]
    size, extra = magnitude(q[0] - previous_dc)
    bits.put(DC_SYMBOLS.index(size), 4)
    bits.put(extra, size)
    run = 0
    last = max((k for k in range(1, 64) if q[k]), default=0)
    for k in range(1, last + 1):
        if q[k] == 0:
            run += 1
            continue
        while run > 15:
            bits.put(AC_SYMBOLS.index(0xF0), 8)
            run -= 16
        size, extra = magnitude(q[k])
        bits.put(AC_SYMBOLS.index(run << 4 | size), 8)
        bits.put(extra, size)
        run = 0
    if last < 63:
        bits.put(AC_SYMBOLS.index(0x00), 8)
    return q[0]


def huffman_table(table_class, table_id, symbols, length):
    counts = [0] * 16
    counts[length - 1] = len(symbols)
    return bytes([table_class << 4 | table_id] + counts + symbols)


def jpeg(rows, quality=92):
    h, w = len(rows), len(rows[0])
    tables = (scaled_table(LUMA_Q, quality), scaled_table(CHROMA_Q, quality))
    planes = [[], [], []]
    for y in range(h):
        for x in range(w):
            r, g, b = rows[y][x]
            planes[0].append(0.299 * r + 0.587 * g + 0.114 * b - 128)
            planes[1].append(-0.168736 * r - 0.331264 * g + 0.5 * b)
            planes[2].append(0.5 * r - 0.418688 * g - 0.081312 * b)
    bits, dc = BitWriter(), [0, 0, 0]
    for by in range(0, h, 8):
        for bx in range(0, w, 8):
            for comp in range(3):
                block = [planes[comp][min(by + j, h - 1) * w + min(bx + i, w - 1)] for j in range(8) for i in range(8)]
                dc[comp] = encode_block(bits, fdct(block), tables[min(comp, 1)], dc[comp])
    bits.flush()
    out = b'\xFF\xD8' + segment(0xFFE0, b'JFIF\0\x01\x01\0\0\x01\0\x01\0\0')
    for i, table in enumerate(tables):
        out += segment(0xFFDB, bytes([i]) + bytes(table[ZIGZAG[k]] for k in range(64)))
    out += segment(0xFFC0, struct.pack('>BHHB', 8, h, w, 3) + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    for table_id in range(2):
        out += segment(0xFFC4, huffman_table(0, table_id, DC_SYMBOLS, 4) + huffman_table(1, table_id, AC_SYMBOLS, 8))
    out += segment(0xFFDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    return out + bytes(bits.out) + b'\xFF\xD9'


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'ui', 'art')
    files = {
        'kestova.ico': icon_file(1, [(window_icon(s), (1, 32)) for s in (16, 20, 24, 32, 40, 48, 64, 96)]),
        'handpoint.cur': icon_file(2, [(hand_cursor(k), (round(10 * k), round(2 * k))) for k in (1, 1.5, 2)]),
    }
    for size in (16, 32, 80):
        files[f'icon{size}.png'] = png(window_icon(size))
    for percent in (100, 150, 200):
        k, suffix = percent / 100, '' if percent == 100 else str(percent)
        files[f'banner{suffix}.jpg'] = jpeg(banner(k))
        files[f'glyphs{suffix}.bmp'] = bmp24(glyph_strip(k))
        files[f'icon{round(48 * k)}.jpg'] = jpeg(window_icon(round(48 * k)).rgb_rows(FACE))
    for name, data in files.items():
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(data)
        print(f'{name}: {len(data)} bytes')


if __name__ == '__main__':
    main()
