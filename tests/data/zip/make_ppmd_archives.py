#!/usr/bin/env python3
"""Writes the ks_ppmd_* test archives of this folder (see MANIFEST.md):
python3 make_ppmd_archives.py OUTDIR. Needs 7z. The contents come from a fixed seed, so the
members are the same on every run (7z's own bytes may differ between its versions)."""
import os
import random
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

out = os.path.abspath(sys.argv[1])
rnd = random.Random(98)
words = [b"alpha", b"beta", b"gamma", b"delta", b"setup", b"keltra", b"window", b"archive",
         b"\n", b" ", b"block", b"stream", b"member", b"zip", b"check", b"run", b"model",
         b"context", b"escape", b"symbol"]


def text(count):
    return b" ".join(rnd.choice(words) for _ in range(count))


# Sentences drawn again and again: text that compresses well yet fills a 1 MB model.
sentences = [b" ".join(rnd.choice(words) for _ in range(rnd.randint(3, 9))) + b".\n"
             for _ in range(64)]
big = b""
while len(big) < 1200000:
    big += rnd.choice(sentences)
random_part = rnd.randbytes(6000)
contents = {
    "text.txt": text(5000),
    "big.txt": big,
    # A 3,000-byte random block repeated with one byte changed each time: long contexts.
    "far.bin": b"".join(bytes(b if i != n else b ^ 0x55 for i, b in enumerate(block))
                        for n, block in enumerate([rnd.randbytes(3000)] * 20)),
    # 7z stores what does not shrink; behind 60,000 zeros random bytes go through the model.
    "random-then-zeros.bin": random_part + bytes(60000),
}


def sevenzip(archive, names, *options):
    path = os.path.join(out, archive)
    if os.path.exists(path):
        os.remove(path)
    with tempfile.TemporaryDirectory() as folder:
        for name in names:
            open(os.path.join(folder, name), "wb").write(contents[name])
        subprocess.run(["7z", "a", "-tzip", "-mm=PPMd", "-bd", "-bso0", *options, path, *names],
                       cwd=folder, check=True)
    return path


def raw_stream(path, name):
    data = open(path, "rb").read()
    info = zipfile.ZipFile(path).getinfo(name)
    assert info.compress_type == 98
    at = info.header_offset
    start = at + 30 + sum(struct.unpack("<HH", data[at + 26:at + 30]))
    return data[start:start + info.compress_size]


def write_zip(path, members):
    """members: (name, method, compressed bytes, size, plain bytes for the CRC)."""
    local, central = b"", b""
    for name, method, packed, size, plain in members:
        crc = zlib.crc32(plain)
        fields = struct.pack("<HHHHHIIIHH", 63, 0, method, 0, 0x21, crc, len(packed), size,
                             len(name), 0)
        central += (b"PK\x01\x02" + struct.pack("<H", 63) + fields +
                    struct.pack("<HHHII", 0, 0, 0, 0, len(local)) + name.encode())
        local += b"PK\x03\x04" + fields + name.encode() + packed
    end = struct.pack("<4sHHHHIIH", b"PK\x05\x06", 0, 0, len(members), len(members),
                      len(central), len(local), 0)
    open(path, "wb").write(local + central + end)


sevenzip("ks_ppmd_7z_o2.zip", ["text.txt"], "-mo=2", "-mmem=1m")
# big.txt fills the 1 MB model several times: restart (method 0) and cut-off (method 1, -mx=9).
sevenzip("ks_ppmd_7z_o16_restart.zip", ["big.txt"], "-mo=16", "-mmem=1m")
sevenzip("ks_ppmd_7z_o16_cutoff.zip", ["big.txt", "far.bin"], "-mx=9", "-mo=16", "-mmem=1m")
sevenzip("ks_ppmd_7z_o12_16m.zip", ["big.txt"], "-mo=12", "-mmem=16m")
small = sevenzip("ks_ppmd_7z_o6.zip", ["text.txt", "far.bin", "random-then-zeros.bin"], "-mo=6",
                 "-mmem=2m")

# Members 7z will not write as PPMd (it stores them), cut from real 7z streams: the declared
# size ends the member inside a longer stream.
tail = raw_stream(small, "random-then-zeros.bin")
head = raw_stream(small, "text.txt")
write_zip(os.path.join(out, "ks_ppmd_cut.zip"), [
    ("empty", 98, head, 0, b""),
    ("one", 98, head, 1, contents["text.txt"][:1]),
    ("incompressible.bin", 98, tail, len(random_part), random_part),
])
