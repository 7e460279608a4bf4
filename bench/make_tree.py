#!/usr/bin/env python3
"""Writes a game-like tree for the zip benchmark: FOLDERS folders of FILES
files, about SIZE_MB in all; most files are text-like and compress, one in
five is random bytes (already-compressed media). Same seed, same bytes."""
import os
import random
import sys

root, size_mb = sys.argv[1], int(sys.argv[2])
folders, files = 8, 40
rng = random.Random(1234)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
         for _ in range(3000)]
per_file = size_mb * 1024 * 1024 // (folders * files)

for f in range(folders):
    folder = os.path.join(root, f"Pack{f}")
    os.makedirs(folder, exist_ok=True)
    for n in range(files):
        path = os.path.join(folder, f"file{n:03}." + ("bin" if n % 5 == 4 else "txt"))
        with open(path, "wb") as out:
            if n % 5 == 4:
                out.write(rng.randbytes(per_file))
            else:
                chunks, length = [], 0
                while length < per_file:
                    line = b" ".join(rng.choices(words, k=12)) + b" %d\n" % rng.randint(0, 99999)
                    chunks.append(line)
                    length += len(line)
                out.write(b"".join(chunks)[:per_file])
