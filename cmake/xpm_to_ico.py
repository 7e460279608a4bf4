"""Writes the wizard's icon (an XPM image) as a Windows icon file for the
programs' resources:

    python3 xpm_to_ico.py ICON.xpm OUT.ico

The file holds the image at its own size and at each half of it down to 16
pixels, each 32-bit with transparency, the smaller ones averaged from the
larger so that Windows need not scale them itself.
"""
import re
import struct
import sys


def read_xpm(path):
    """The image as rows of (red, green, blue, alpha) tuples."""
    with open(path, encoding="ascii") as xpm:
        lines = re.findall(r'"([^"]*)"', xpm.read())
    width, height, colours, per_pixel = (int(n) for n in lines[0].split()[:4])
    palette = {}
    for line in lines[1 : 1 + colours]:
        key, spec = line[:per_pixel], line[per_pixel:].split()
        value = spec[spec.index("c") + 1]
        if value.lower() == "none":
            palette[key] = (0, 0, 0, 0)
        elif re.fullmatch(r"#[0-9a-fA-F]{6}", value):
            palette[key] = tuple(int(value[i : i + 2], 16) for i in (1, 3, 5)) + (255,)
        else:
            sys.exit(f"{path}: colour {value!r} is not #RRGGBB or None")
    rows = lines[1 + colours : 1 + colours + height]
    return [[palette[row[x * per_pixel : (x + 1) * per_pixel]] for x in range(width)] for row in rows]


def halved(image):
    """Each 2 x 2 square as one pixel: colours weighted by their opacity."""
    out = []
    for y in range(0, len(image) - 1, 2):
        row = []
        for x in range(0, len(image[0]) - 1, 2):
            square = [image[y][x], image[y][x + 1], image[y + 1][x], image[y + 1][x + 1]]
            alpha = sum(p[3] for p in square)
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(sum(p[c] * p[3] for p in square) / alpha) for c in range(3))
                           + (round(alpha / 4),))
        out.append(row)
    return out


def dib(image):
    """An icon image as Windows stores it: a bitmap header (twice the height,
    for the mask), BGRA rows from the bottom up, then the 1-bit mask, rows
    padded to 4 bytes, set where the image is transparent."""
    height, width = len(image), len(image[0])
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(image) for (r, g, b, a) in row)
    stride = (width + 31) // 32 * 4
    mask = b""
    for row in reversed(image):
        bits = 0
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits |= 1 << (stride * 8 - 1 - x)
        mask += bits.to_bytes(stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main():
    image = read_xpm(sys.argv[1])
    images = [image]
    while len(images[-1]) >= 32 and len(images[-1]) % 2 == 0 and len(images[-1][0]) % 2 == 0:
        images.append(halved(images[-1]))
    datas = [dib(i) for i in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for picture, data in zip(images, datas):
        side = lambda n: 0 if n >= 256 else n  # 256 is written as 0
        out += struct.pack("<BBBBHHII", side(len(picture[0])), side(len(picture)), 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[2], "wb") as ico:
        ico.write(out + b"".join(datas))


main()
