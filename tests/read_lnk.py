#!/usr/bin/env python3
"""Prints a Windows shortcut's target and working folder, one a line.

Reads the shell-link format: the 76-byte header, the item list (skipped),
the link information with the local path of the target, and the string
data, of which the working folder is the third when present. Exits with 1,
saying why, on anything that is not such a file.
    python3 read_lnk.py FILE.lnk
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR = 1, 2, 4, 8, 16
IS_UNICODE = 0x80


def c_string(data, at):
    end = data.index(b"\0", at)
    return data[at:end].decode("latin-1")


def read_lnk(data):
    if len(data) < 76 or struct.unpack_from("<I", data, 0)[0] != 76:
        raise ValueError("no shell-link header")
    flags = struct.unpack_from("<I", data, 20)[0]
    at = 76
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = None
    if flags & HAS_LINK_INFO:
        size, header, info_flags, _, base, _, suffix = struct.unpack_from("<7I", data, at)
        if info_flags & 1:  # the target is on a local volume
            target = c_string(data, at + base) + c_string(data, at + suffix)
        at += size
    strings = []
    for bit in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR):
        if flags & bit:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if flags & IS_UNICODE else 1
            raw = data[at + 2:at + 2 + count * width]
            if len(raw) != count * width:
                raise ValueError("string data cut short")
            # Some writers count the terminating zero too.
            strings.append(raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0"))
            at += 2 + count * width
        else:
            strings.append(None)
    if target is None:
        raise ValueError("no local target path")
    return target, strings[2] or ""


if __name__ == "__main__":
    try:
        with open(sys.argv[1], "rb") as f:
            target, workdir = read_lnk(f.read())
    except (OSError, ValueError, struct.error) as e:
        print("read_lnk: %s: %s" % (sys.argv[1], e), file=sys.stderr)
        sys.exit(1)
    print(target)
    print(workdir)
