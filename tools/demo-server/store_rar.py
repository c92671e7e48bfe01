#!/usr/bin/env python3
"""Writes RAR 4 archives whose entries are stored, not compressed: enough for the demo
packages, which the box's extraction reads like any other archive.

    store_rar.py ARCHIVE FOLDER   -- the folder itself and everything below it

Names are kept as UTF-8 under the archive's Unicode flag (a name without a zero byte is
read as UTF-8), with "\\" between folders, as archives made on Windows have them."""
import os
import struct
import sys
import time
import zlib

MARKER = b"Rar!\x1a\x07\x00"
END_OF_ARCHIVE = b"\xc4\x3d\x7b\x00\x40\x07\x00"
LONG_BLOCK, UNICODE_NAME, DIRECTORY = 0x8000, 0x0200, 0x00E0
HOST_WIN32, VERSION_29, METHOD_STORE = 2, 29, 0x30
ATTR_DIRECTORY, ATTR_ARCHIVE = 0x10, 0x20


def block(head_type, flags, body):
    """A block: its CRC (low 16 bits of CRC-32 from the type on), type, flags, size, body."""
    header = struct.pack("<BHH", head_type, flags, 7 + len(body)) + body
    return struct.pack("<H", zlib.crc32(header) & 0xFFFF) + header


def dos_time(seconds):
    t = time.localtime(seconds)
    return ((max(t.tm_year, 1980) - 1980) << 25 | t.tm_mon << 21 | t.tm_mday << 16
            | t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec // 2)


def file_block(name, data, is_folder, mtime):
    encoded = name.encode("utf-8")
    flags = LONG_BLOCK | UNICODE_NAME | (DIRECTORY if is_folder else 0)
    body = struct.pack("<IIBIIBBHI", len(data), len(data), HOST_WIN32, zlib.crc32(data),
                       dos_time(mtime), VERSION_29, METHOD_STORE, len(encoded),
                       ATTR_DIRECTORY if is_folder else ATTR_ARCHIVE) + encoded
    return block(0x74, flags, body) + data


def entries(folder):
    """(name in the archive, path, is folder) for the folder and everything below it."""
    base = os.path.dirname(os.path.abspath(folder))
    for root, folders, files in os.walk(folder):
        folders.sort()
        yield os.path.relpath(root, base), root, True
        for name in sorted(files):
            path = os.path.join(root, name)
            yield os.path.relpath(path, base), path, False


def write_archive(archive, folder):
    parts = [MARKER, block(0x73, 0, b"\x00" * 6)]
    for name, path, is_folder in entries(folder):
        data = b"" if is_folder else open(path, "rb").read()
        parts.append(file_block(name.replace(os.sep, "\\"), data, is_folder, os.path.getmtime(path)))
    parts.append(END_OF_ARCHIVE)
    with open(archive, "wb") as out:
        out.write(b"".join(parts))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_archive(sys.argv[1], sys.argv[2])
