#!/usr/bin/env python3
"""Makes the benchmark archives with Python's zipfile (deflated):
large.zip: 20 files, about 400 MB in all; many.zip: 10,000 files of 1 to 64 KB,
named 1 .. 10000 as the payload archive names its files; many100k.zip:
100,000 files of 20 to 200 bytes, named alike.
install-large.szp and install-many.szp: payloads of the same kinds of files
for the installation run, with the scrambled payload list and the uninstaller
image; the large one puts its files into %selected%\\daten, the many one
spreads them over 100 sub-folders of %selected%.
Usage: make_bench_archives.py OUTPUT_DIR PAYLOAD_FORMAT_HEADER
The scramble offset is read from the header the program is built with.
"""
import os
import random
import re
import sys
import zipfile

# Bytes mapped onto 16 letters, blanks and line ends: text-like data that
# deflate halves, so inflate does about the work it does on real payloads.
TABLE = bytes((b"etaoinshrdlucmfw  \n"[i % 19]) for i in range(256))

LARGE_FILES = 20
LARGE_SIZE = 20 * 1000 * 1000
MANY_FILES = 10000
MANY_FOLDERS = 100
TINY_FILES = 100000


def text(size):
    return os.urandom(size).translate(TABLE)


def scramble(listed, offset):
    """The payload list as stored: every byte of a line raised by the offset,
    the CR LF line breaks left as they are."""
    lines = listed.encode("cp1252").split(b"\r\n")
    return b"\r\n".join(bytes((b + offset) % 256 for b in line) for line in lines)


def write_payload(path, files, offset):
    """`files` yields (destination, content) in file-number order."""
    destinations = []
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for n, (destination, data) in enumerate(files, 1):
            z.writestr(str(n), data)
            destinations.append(destination)
        lines = ["[Listfile]", "FileCount=%d" % len(destinations)]
        lines += ["%d=%s" % (n, d) for n, d in enumerate(destinations, 1)]
        z.writestr("(listfile)", scramble("\r\n".join(lines) + "\r\n", offset))
        z.writestr("in32i$$.ex_", b"MZ uninstaller image")


def small_files(pool, rng):
    """Sizes 1 to 64 KB, cut from `pool` at random places."""
    for _ in range(MANY_FILES):
        size = rng.randint(1024, 64 * 1024)
        start = rng.randint(0, len(pool) - size)
        yield pool[start:start + size]


def main():
    out, header = sys.argv[1], sys.argv[2]
    offset = int(re.search(r"kScrambleOffset = (\d+);", open(header).read()).group(1))
    os.makedirs(out, exist_ok=True)
    with zipfile.ZipFile(os.path.join(out, "large.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(1, LARGE_FILES + 1):
            z.writestr("daten/file%02d.bin" % i, text(LARGE_SIZE))
    pool = text(8 << 20)
    with zipfile.ZipFile(os.path.join(out, "many.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for i, data in enumerate(small_files(pool, random.Random(1)), 1):
            z.writestr(str(i), data)

    tiny = random.Random(3)
    with zipfile.ZipFile(os.path.join(out, "many100k.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(1, TINY_FILES + 1):
            size = tiny.randint(20, 200)
            start = tiny.randint(0, len(pool) - size)
            z.writestr(str(i), pool[start:start + size])

    write_payload(os.path.join(out, "install-large.szp"),
                  (("%%selected%%\\daten\\file%02d.bin" % i, text(LARGE_SIZE))
                   for i in range(1, LARGE_FILES + 1)), offset)
    per_folder = MANY_FILES // MANY_FOLDERS
    write_payload(os.path.join(out, "install-many.szp"),
                  (("%%selected%%\\d%d\\%d.dat" % ((n - 1) // per_folder + 1, n), data)
                   for n, data in enumerate(small_files(pool, random.Random(2)), 1)), offset)


if __name__ == "__main__":
    main()
