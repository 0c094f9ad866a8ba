#!/usr/bin/env python3
"""Draws arena-pack/logo.bmp, the example package's own logo: a 440 x 110
Windows bitmap, 8 bits per pixel with a 256-entry colour table, bottom-up,
uncompressed -- a file that LoadImageA loads. Needs only the standard library.

Run from anywhere: python3 examples/make_arena_logo.py
"""
import os
import struct

WIDTH, HEIGHT = 440, 110

# 5 x 7 letters, '#' set.
FONT = {
    'A': [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    'C': [" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"],
    'E': ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    'K': ["#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"],
    'M': ["#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"],
    'N': ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"],
    'P': ["#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "],
    'R': ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    ' ': ["     "] * 7,
}

# Palette: 0-63 a dusk sky from deep blue to orange, 64-127 the ground from
# dark to warm brown, 128 black (text shadow), 129 cream (text), 130 pillar grey.
def palette():
    colours = []
    for i in range(64):
        t = i / 63
        colours.append((int(40 + 215 * t), int(30 + 120 * t), int(90 - 40 * t)))
    for i in range(64):
        t = i / 63
        colours.append((int(40 + 80 * t), int(25 + 50 * t), int(15 + 25 * t)))
    colours += [(0, 0, 0), (255, 244, 214), (120, 120, 132)]
    colours += [(0, 0, 0)] * (256 - len(colours))
    return colours

def draw():
    # pixels[y][x], y = 0 at the top.
    pixels = [[0] * WIDTH for _ in range(HEIGHT)]
    horizon = 78
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if y < horizon:
                pixels[y][x] = min(63, y * 64 // horizon)
            else:
                pixels[y][x] = 64 + min(63, (y - horizon) * 64 // (HEIGHT - horizon))
    # Four pillars standing on the arena floor.
    for left in (30, 70, 350, 390):
        for y in range(40, horizon + 6):
            for x in range(left, left + 16):
                pixels[y][x] = 130
    # The title, each font pixel drawn as 4 x 4, with a shadow.
    text, scale = "ARENA MAP PACK", 4
    text_width = len(text) * 6 * scale - scale
    left, top = (WIDTH - text_width) // 2, 28
    for offset, colour in ((3, 128), (0, 129)):
        for i, letter in enumerate(text):
            for row, line in enumerate(FONT[letter]):
                for column, cell in enumerate(line):
                    if cell != '#':
                        continue
                    for dy in range(scale):
                        for dx in range(scale):
                            x = left + offset + (i * 6 + column) * scale + dx
                            y = top + offset + row * scale + dy
                            pixels[y][x] = colour
    return pixels

def bitmap_file(pixels):
    row_size = (WIDTH + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):  # bottom-up
        image += bytes(row) + bytes(row_size - WIDTH)
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette())
    offset = 14 + 40 + len(colour_table)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(image), 0, 0, 256, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    return header + info + colour_table + bytes(image)

if __name__ == "__main__":
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "arena-pack", "logo.bmp")
    with open(target, "wb") as f:
        f.write(bitmap_file(draw()))
    print("wrote", target)
