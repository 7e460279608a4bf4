#!/usr/bin/env python3
"""Lists a zip archive with Python's own reader, independent of minizip.

One line per entry: name, size, CRC-32, date and time, Unix mode (octal),
compression method and the zip64 flag; then "ok" when every entry reads back
with a matching CRC, or the first bad entry.
"""
import sys
import zipfile

with zipfile.ZipFile(sys.argv[1]) as archive:
    for info in archive.infolist():
        y, mo, d, h, mi, s = info.date_time
        zip64 = info.extract_version >= 45
        print(f"{info.filename}|{info.file_size}|{info.CRC:08x}|"
              f"{y:04}-{mo:02}-{d:02} {h:02}:{mi:02}:{s:02}|{info.external_attr >> 16:o}|"
              f"{info.compress_type}|{int(zip64)}")
    bad = archive.testzip()
    print("ok" if bad is None else f"bad {bad}")
