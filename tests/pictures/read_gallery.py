#!/usr/bin/python3
"""Lists a picture gallery database as an independent reader sees it: the
category names of the "Contents" string array, then each live record's path
and volume label. Each thumbnail is written to OUTDIR/thumbN for another
program to decode. Exits with 3 when olefile is not installed.

usage: read_gallery.py imagedb.olv OUTDIR"""
import os
import struct
import sys

try:
    import olefile
except ImportError:
    sys.exit(3)


def read_count(data, pos):
    (count,) = struct.unpack_from("<H", data, pos)
    pos += 2
    if count == 0xFFFF:
        (count,) = struct.unpack_from("<I", data, pos)
        pos += 4
    return count, pos


def read_string(data, pos):
    length = data[pos]
    pos += 1
    if length == 0xFF:
        (length,) = struct.unpack_from("<H", data, pos)
        pos += 2
        if length == 0xFFFF:
            (length,) = struct.unpack_from("<I", data, pos)
            pos += 4
    return data[pos:pos + length].decode("cp1252"), pos + length


def read_counted(data, pos):
    (length,) = struct.unpack_from("<I", data, pos)
    pos += 4
    text = data[pos:pos + length]
    assert text.endswith(b"\0"), "string without its zero"
    return text[:-1].decode("cp1252"), pos + length


def main():
    path, outdir = sys.argv[1], sys.argv[2]
    ole = olefile.OleFileIO(path)
    contents = ole.openstream("Contents").read()
    count, pos = read_count(contents, 0)
    names = []
    for _ in range(count):
        name, pos = read_string(contents, pos)
        names.append(name)
    thumb = 0
    for name in names:
        print("category " + name)
        if not ole.exists(name):
            continue
        data = ole.openstream(name).read()
        (records,) = struct.unpack_from("<I", data, 0)
        pos = 4
        for _ in range(records):
            size, deleted = struct.unpack_from("<II", data, pos)
            if deleted != 1:
                field = pos + 8
                picture, field = read_counted(data, field)
                label, field = read_counted(data, field)
                (length,) = struct.unpack_from("<I", data, field)
                field += 4
                out = os.path.join(outdir, "thumb%d" % thumb)
                with open(out, "wb") as f:
                    f.write(data[field:field + length])
                print("picture %s|%s|%s" % (picture, label, out))
                thumb += 1
            pos += size + 2
    ole.close()


main()
