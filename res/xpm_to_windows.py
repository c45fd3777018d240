#!/usr/bin/env python3
"""Converts the XPM pictures into the formats a Windows resource script takes.

    xpm_to_windows.py INPUT.xpm OUTPUT.bmp|OUTPUT.ico

Run by the Windows build, so the .bmp and .ico files are never committed and can never differ
from the drawings. A .bmp is 24 bits per pixel (transparent pixels become the dialog's grey);
an .ico holds the one picture with 32-bit colour and alpha. Standard library only.
"""

import struct
import sys

# COLOR_BTNFACE of Windows' classic scheme, under a flag's transparent pixels.
BUTTON_FACE = (0xF0, 0xF0, 0xF0)


def read_xpm(path):
    """Returns (width, height, rows of (r, g, b, a))."""
    with open(path, encoding="ascii") as f:
        strings = [line.split('"')[1] for line in f if line.startswith('"')]
    width, height, ncolours, cpp = (int(v) for v in strings[0].split())
    palette = {}
    for entry in strings[1:1 + ncolours]:
        key, value = entry[:cpp], entry[cpp:].split()[-1]
        if value == "None":
            palette[key] = (0, 0, 0, 0)
        else:
            palette[key] = (int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16), 255)
    rows = []
    for line in strings[1 + ncolours:1 + ncolours + height]:
        rows.append([palette[line[x * cpp:(x + 1) * cpp]] for x in range(width)])
    return width, height, rows


def bitmap_rows(rows, bytes_per_pixel):
    """Bottom-up rows in BGR(A), each padded to four bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, a in row:
            if bytes_per_pixel == 3:
                if a == 0:
                    r, g, b = BUTTON_FACE
                line += bytes((b, g, r))
            else:
                line += bytes((b, g, r, a))
        line += bytes(-len(line) % 4)
        out += line
    return bytes(out)


def info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def bmp(width, height, rows):
    pixels = bitmap_rows(rows, 3)
    header = info_header(width, height, 24, len(pixels))
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0,
                              14 + len(header))
    return file_header + header + pixels


def ico(width, height, rows):
    pixels = bitmap_rows(rows, 4)
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    # An icon's header counts the colour and the mask rows together: twice the height.
    image = info_header(width, height * 2, 32, len(pixels) + len(mask)) + pixels + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    source, target = sys.argv[1:3]
    width, height, rows = read_xpm(source)
    data = ico(width, height, rows) if target.endswith(".ico") else bmp(width, height, rows)
    with open(target, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
