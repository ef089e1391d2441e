#!/usr/bin/env python3
"""Writes app/barmeter.ico: two black rows with a green and an orange bar, at 16, 32 and 48 pixels."""
import struct
import sys


def image(size):
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            half = size // 2
            inset = max(1, size // 16)
            in_top = inset <= y < half - inset // 2
            in_bottom = half + inset // 2 <= y < size - inset
            colour = (0, 0, 0, 255)  # the frames
            if in_top and inset <= x < int(size * 0.55):
                colour = (94, 231, 104, 255)  # B, G, R, A: green bar
            if in_bottom and inset <= x < int(size * 0.8):
                colour = (41, 143, 246, 255)  # orange bar
            row += bytes(colour)
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))  # bottom-up
    mask = b"\0" * (((size + 31) // 32) * 4 * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/barmeter.ico")
