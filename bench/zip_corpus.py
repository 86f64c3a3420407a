#!/usr/bin/env python3
"""Makes the extraction benchmark's archives in WORK (once): a.zip (~200 MB mixed content,
deflated), b.zip (20,000 files of ~4 KB, deflated), c.zip (the content of a.zip, stored)."""
import os
import random
import subprocess
import sys

work = sys.argv[1]
rng = random.Random(5)


def vocabulary(n):
    syllables = ["ka", "lo", "tri", "men", "sa", "ver", "ol", "ind", "ex", "pra", "tum", "ge",
                 "shi", "ro", "an", "del", "ux", "qui", "po", "ler"]
    return ["".join(rng.choice(syllables) for _ in range(rng.randint(1, 4))) for _ in range(n)]


WORDS = vocabulary(6000)


def text(size):
    out = []
    length = 0
    while length < size:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(6, 16))) + ".\n"
        out.append(line)
        length += len(line)
    return "".join(out).encode()[:size]


def binaries():
    pool = []
    for folder in ("/usr/bin", "/usr/lib/x86_64-linux-gnu"):
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if os.path.isfile(path) and not os.path.islink(path) and os.path.getsize(path) > 200000:
                pool.append(path)
    return pool


def binary(size, pool):
    data = b""
    while len(data) < size:
        with open(rng.choice(pool), "rb") as f:
            data += f.read(size - len(data))
    return data


def make_tree(folder, count, size_of, kind_of, pool):
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        size = size_of(i)
        kind = kind_of(i)
        if kind == "text":
            data = text(size)
        elif kind == "binary":
            data = binary(size, pool)
        else:
            data = rng.randbytes(size)
        with open(os.path.join(folder, "f%05d.%s" % (i, kind[:3])), "wb") as f:
            f.write(data)


def zip_tree(folder, archive, *options):
    if not os.path.exists(archive):
        subprocess.run(["zip", "-q", "-r", "-X", *options, archive, "."], cwd=folder, check=True)


pool = binaries()
mixed = os.path.join(work, "a")
if not os.path.isdir(mixed):
    kinds = ["text"] * 45 + ["binary"] * 35 + ["random"] * 20
    make_tree(mixed, 100, lambda i: 2_000_000, lambda i: kinds[i], pool)
small = os.path.join(work, "b")
if not os.path.isdir(small):
    make_tree(small, 20000, lambda i: rng.randint(3000, 5200),
              lambda i: "binary" if i % 5 == 0 else "text", pool)
zip_tree(mixed, os.path.join(work, "a.zip"))
zip_tree(small, os.path.join(work, "b.zip"))
zip_tree(mixed, os.path.join(work, "c.zip"), "-0")
