#!/usr/bin/env python3
"""Writes OUT: the bytes of BASE (if given) followed by SIZE bytes that do
not compress, the same for the same SEED.

  PadFile.py OUT SIZE SEED [BASE]
"""
import os
import random
import sys


def main():
    out, size, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    base = sys.argv[4] if len(sys.argv) > 4 else None
    generator = random.Random(seed)
    with open(out + ".tmp", "wb") as f:
        if base:
            with open(base, "rb") as source:
                f.write(source.read())
        block = 1 << 20
        for start in range(0, size, block):
            f.write(generator.randbytes(min(block, size - start)))
    # Renamed whole, so a stopped build never leaves a short file behind.
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
