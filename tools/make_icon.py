#!/usr/bin/env python3
"""Draws res/qvdutil.ico: one 32 x 32, 16-colour image of an address book
with a fax sheet, in the standard VGA palette."""
import struct, sys

PALETTE = [0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
           0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF]
BLACK, NAVY, GRAY, SILVER, BLUE, WHITE, YELLOW, RED = 0, 4, 8, 7, 12, 15, 11, 9

W = H = 32
pixels = [[None] * W for _ in range(H)]  # None = transparent

def rect(x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            pixels[y][x] = colour

# Book: navy cover with a blue face, white page edges, red spine band.
rect(4, 2, 24, 29, NAVY)
rect(6, 3, 23, 28, BLUE)
rect(24, 4, 26, 29, WHITE)
rect(24, 29, 26, 29, GRAY)
rect(4, 2, 6, 29, RED)
for y in range(5, 28, 4):
    rect(3, y, 4, y + 1, SILVER)          # rings of the binding
# Index tabs
rect(27, 6, 28, 9, YELLOW)
rect(27, 12, 28, 15, WHITE)
rect(27, 18, 28, 21, YELLOW)
# Fax sheet on the cover, with lines of text and a number row
rect(10, 8, 21, 24, WHITE)
rect(10, 8, 21, 8, GRAY)
rect(21, 8, 21, 24, GRAY)
for y in (11, 14, 17):
    rect(12, y, 19, y, BLACK)
rect(12, 20, 14, 21, RED)
rect(16, 20, 19, 21, BLACK)

def ico():
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(H)):              # bottom-up rows
        row = pixels[y]
        for x in range(0, W, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            xor.append((hi << 4) | lo)
        bits = 0
        for x in range(W):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack('>I', bits)
    palette = b''.join(struct.pack('<BBBB', c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', W, H, 16, 0, 1, 4, len(image), 22)
    return directory + image

with open(sys.argv[1] if len(sys.argv) > 1 else 'res/qvdutil.ico', 'wb') as out:
    out.write(ico())
