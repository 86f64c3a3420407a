#!/usr/bin/env python3
"""Builds a benchmark archive from copies of the method 1-6 members of a real archive.

    legacy_corpus.py SOURCE.zip TARGET.zip COPIES [METHOD...]

The compressed bytes are copied unchanged; only names and offsets differ, so every tool
decodes the same streams COPIES times and process start-up stops dominating the timing.
"""
import struct
import sys


def members(data):
    end = data.rfind(b"PK\x05\x06")
    count, = struct.unpack_from("<H", data, end + 10)
    at, = struct.unpack_from("<I", data, end + 16)
    for _ in range(count):
        fields = struct.unpack_from("<IHHHHHHIIIHHHHHII", data, at)
        name_len, extra_len, comment_len = fields[10], fields[11], fields[12]
        name = data[at + 46:at + 46 + name_len]
        yield fields, name
        at += 46 + name_len + extra_len + comment_len


def main():
    source, target, copies = sys.argv[1], sys.argv[2], int(sys.argv[3])
    wanted = {int(m) for m in sys.argv[4:]} or set(range(1, 7))
    data = open(source, "rb").read()
    body, directory, entries, total = bytearray(), bytearray(), 0, 0
    for fields, name in members(data):
        method, csize, local = fields[4], fields[8], fields[16]
        if method not in wanted:
            continue
        lname, lextra = struct.unpack_from("<HH", data, local + 26)
        start = local + 30 + lname + lextra
        stream = data[start:start + csize]
        for i in range(copies):
            new_name = b"%05d/" % i + name.replace(b"\\", b"/").split(b"/")[-1]
            offset = len(body)
            body += struct.pack("<IHHHHHIIIHH", 0x04034B50, fields[2], fields[3], method,
                                fields[5], fields[6], fields[7], csize, fields[9],
                                len(new_name), 0) + new_name + stream
            directory += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, fields[1], fields[2],
                                     fields[3], method, fields[5], fields[6], fields[7], csize,
                                     fields[9], len(new_name), 0, 0, 0, 0, 0, offset) + new_name
            entries += 1
            total += fields[9]
    if entries > 0xFFFF:
        sys.exit("too many entries")
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, entries, entries, len(directory),
                      len(body), 0)
    open(target, "wb").write(bytes(body + directory + end))
    print(total)


if __name__ == "__main__":
    main()
