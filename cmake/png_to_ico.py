"""Packs PNG images into a Windows icon file, each image one size of the icon:

    python3 png_to_ico.py OUT.ico IMAGE.png...

Windows reads PNG-compressed icon images at every size since Vista.
"""
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def main():
    images = []
    for name in sys.argv[2:]:
        with open(name, "rb") as png:
            data = png.read()
        # The IHDR chunk comes first: its width and height, big-endian.
        if not data.startswith(PNG_SIGNATURE) or data[12:16] != b"IHDR":
            sys.exit(f"{name}: not a PNG image")
        width, height = struct.unpack(">II", data[16:24])
        if width > 256 or height > 256:
            sys.exit(f"{name}: {width} x {height} is larger than an icon may be")
        images.append((width, height, data))

    out = struct.pack("<HHH", 0, 1, len(images))  # reserved, an icon, the count
    offset = 6 + 16 * len(images)
    for width, height, data in images:
        # A side of 256 is written as 0; no palette; one plane of 32 bits.
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as ico:
        ico.write(out + b"".join(data for _, _, data in images))


main()
