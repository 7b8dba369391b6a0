#!/usr/bin/env python3
"""Makes the sources and descriptions of the setups scripts/bench-run
measures: many2000 and many10000 (files of 1 to 64 KB, text-like, spread
over 100 folders), gross (one 300 MB file of zeros) and wartet (a component
program that runs until it is released).
Usage: make_run_setups.py OUTPUT_DIR RECORDER_EXE
"""
import os
import random
import shutil
import sys

TABLE = bytes((b"etaoinshrdlucmfw  \n"[i % 19]) for i in range(256))
TAIL = """
[Settings]
AppName=Bench
Version=1.0
Company=Firma
StandardReg=1
[UninstallInfo]
DisplayName=Bench
[Directories]
FolderCount=0
[Registry]
RegCount=0
[Links]
LinkCount=0
"""


def many(out, count):
    rng = random.Random(count)
    pool = os.urandom(8 << 20).translate(TABLE)
    folder = os.path.join(out, "many%d" % count)
    os.makedirs(folder, exist_ok=True)
    lines = ["[Files]"]
    per_folder = max(count // 100, 1)
    for n in range(1, count + 1):
        size = rng.randint(1024, 64 * 1024)
        start = rng.randint(0, len(pool) - size)
        with open(os.path.join(folder, "%d.dat" % n), "wb") as f:
            f.write(pool[start:start + size])
        lines.append("many%d/%d.dat=%%selected%%\\d%d\\%d.dat" %
                     (count, n, (n - 1) // per_folder + 1, n))
    with open(os.path.join(out, "many%d.setup" % count), "w") as f:
        f.write("\n".join(lines) + "\n" + TAIL)


def main():
    out, recorder = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    many(out, 2000)
    many(out, 10000)
    with open(os.path.join(out, "gross.bin"), "wb") as f:
        f.truncate(300 << 20)
    with open(os.path.join(out, "gross.setup"), "w") as f:
        f.write("[Files]\ngross.bin=%selected%\\gross.bin\n" + TAIL)
    shutil.copy(recorder, os.path.join(out, "recorder.exe"))
    with open(os.path.join(out, "klein.txt"), "w") as f:
        f.write("klein\n")
    with open(os.path.join(out, "wartet.setup"), "w") as f:
        f.write("[Files]\nklein.txt=%selected%\\klein.txt\n"
                "[Component1]\nExecutable=recorder.exe C:\\gestartet.txt /warten C:\\nie.txt\n"
                "File=recorder.exe\n" + TAIL)


if __name__ == "__main__":
    main()
