#!/usr/bin/env python3
"""Writes the ks_* Deflate64, bzip2 and LZMA-wrap test archives of this folder (see MANIFEST.md):
python3 make_method_archives.py OUTDIR. Needs 7z. The contents come from a fixed seed, so the
members are the same on every run (7z's own bytes may differ between its versions)."""
import bz2
import os
import random
import subprocess
import sys
import tempfile
import zipfile

out = os.path.abspath(sys.argv[1])
rnd = random.Random(18)
acgt = bytes(rnd.choice(b"ACGT") for _ in range(60000))
words = [b"alpha", b"beta", b"gamma", b"delta", b"setup", b"keltra", b"window", b"archive",
         b"\n", b" ", b"block", b"stream", b"member", b"zip", b"check", b"run"]
contents = {
    "empty": b"",
    "one": b"x",
    "incompressible.bin": bytes(rnd.getrandbits(8) for _ in range(4000)),
    # Matches 60,000 bytes back: distance codes past 32 KiB.
    "far.txt": acgt + acgt,
    # Matches of 65,538 bytes: the longest length code.
    "zeros.bin": bytes(200000),
    # Four 100 KB blocks at 7z's -md=100k.
    "words.txt": b" ".join(rnd.choice(words) for _ in range(55666)),
    # Runs of 4 and more equal bytes, and very long ones.
    "runs.bin": b"".join(bytes([rnd.getrandbits(8)]) * rnd.choice([1, 3, 4, 5, 9, 260, 3000])
                         for _ in range(300)),
    # A 4,090-byte block again and again, one byte in 64 changed each time: under a 4 KiB
    # dictionary every match reads the bytes just past the window's write position.
    "period.bin": b"".join(bytes(b ^ (1 if i % 64 == r else 0) for i, b in enumerate(block))
                           for r, block in enumerate([random.Random(4090).randbytes(4090)] * 12)),
}


def set_method(path, names, method):
    """Rewrites the method field of the named members (local and central headers)."""
    data = bytearray(open(path, "rb").read())
    with zipfile.ZipFile(path) as z:
        infos = [i for i in z.infolist() if i.filename in names]
    end = data.rfind(b"PK\x05\x06")
    at = int.from_bytes(data[end + 16:end + 20], "little")
    while data[at:at + 4] == b"PK\x01\x02":
        name = data[at + 46:at + 46 + int.from_bytes(data[at + 28:at + 30], "little")].decode()
        if name in names:
            data[at + 10:at + 12] = method.to_bytes(2, "little")
        at += 46 + sum(int.from_bytes(data[at + o:at + o + 2], "little") for o in (28, 30, 32))
    for info in infos:
        data[info.header_offset + 8:info.header_offset + 10] = method.to_bytes(2, "little")
    open(path, "wb").write(bytes(data))


def sevenzip(archive, method, names, *options):
    with tempfile.TemporaryDirectory() as folder:
        for name in names:
            open(os.path.join(folder, name), "wb").write(contents[name])
        path = os.path.join(out, archive)
        if os.path.exists(path):
            os.remove(path)
        subprocess.run(["7z", "a", "-tzip", "-mm=" + method, "-bd", "-bso0", *options, path,
                        *names], cwd=folder, check=True)


sevenzip("ks_deflate64-7z.zip", "Deflate64", ["empty", "far.txt", "zeros.bin"], "-mx=9")
sevenzip("ks_bzip2-7z.zip", "BZip2", ["empty", "words.txt", "runs.bin", "zeros.bin"],
         "-md=100k", "-mx=9")
sevenzip("ks_lzma_7z_wrap.zip", "LZMA:d=4k:eos=off", ["period.bin"])

# 7z stores what does not shrink; these deflate streams use no length-258 code, so they mean
# the same under Deflate64.
path = os.path.join(out, "ks_deflate64-zlib.zip")
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
    for name in ("one", "incompressible.bin"):
        z.writestr(name, contents[name])
set_method(path, {"one", "incompressible.bin"}, 9)

# Two bzip2 streams one after the other in one member, written stored and then relabelled.
path = os.path.join(out, "ks_bzip2-python.zip")
two = contents["words.txt"][:20000]
with zipfile.ZipFile(path, "w", zipfile.ZIP_BZIP2) as z:
    for name in ("empty", "one", "incompressible.bin"):
        z.writestr(name, contents[name])
    info = zipfile.ZipInfo("two-streams")
    z.writestr(info, two, compress_type=zipfile.ZIP_STORED)
data = bytearray(open(path, "rb").read())
streams = bz2.compress(two[:12345], 1) + bz2.compress(two[12345:], 9)
with zipfile.ZipFile(path) as z:
    info = z.getinfo("two-streams")
offset = info.header_offset
name_length = int.from_bytes(data[offset + 26:offset + 28], "little")
extra_length = int.from_bytes(data[offset + 28:offset + 30], "little")
start = offset + 30 + name_length + extra_length
rest = data[start + len(two):]
data[offset + 18:offset + 22] = len(streams).to_bytes(4, "little")
delta = len(streams) - len(two)
central = rest.rfind(b"PK\x05\x06")
rest[central + 16:central + 20] = (int.from_bytes(rest[central + 16:central + 20], "little") +
                                   delta).to_bytes(4, "little")
at = rest.find(b"PK\x01\x02")
while rest[at:at + 4] == b"PK\x01\x02":
    if rest[at + 46:at + 46 + 11] == b"two-streams":
        rest[at + 20:at + 24] = len(streams).to_bytes(4, "little")
    at += 46 + sum(int.from_bytes(rest[at + o:at + o + 2], "little") for o in (28, 30, 32))
data = data[:start] + streams + rest
open(path, "wb").write(bytes(data))
set_method(path, {"two-streams"}, 12)
