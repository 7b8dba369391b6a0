#!/usr/bin/env python3
"""Makes the benchmark archives with Python's zipfile (deflated):
large.zip: 20 files, about 400 MB in all; many.zip: 10,000 files of 1 to 64 KB,
named 1 .. 10000 as the payload archive names its files.
Usage: make_bench_archives.py OUTPUT_DIR
"""
import os
import random
import sys
import zipfile

# Bytes mapped onto 16 letters, blanks and line ends: text-like data that
# deflate halves, so inflate does about the work it does on real payloads.
TABLE = bytes((b"etaoinshrdlucmfw  \n"[i % 19]) for i in range(256))


def text(size):
    return os.urandom(size).translate(TABLE)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rng = random.Random(1)
    with zipfile.ZipFile(os.path.join(out, "large.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(1, 21):
            z.writestr("daten/file%02d.bin" % i, text(20 * 1000 * 1000))
    pool = text(8 << 20)
    with zipfile.ZipFile(os.path.join(out, "many.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(1, 10001):
            size = rng.randint(1024, 64 * 1024)
            start = rng.randint(0, len(pool) - size)
            z.writestr(str(i), pool[start:start + size])


if __name__ == "__main__":
    main()
