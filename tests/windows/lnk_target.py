#!/usr/bin/env python3
"""Usage: lnk_target.py <file.lnk>

Prints what a Windows shortcut points at, one "key=value" line each: target (the local path), arguments,
workdir and icon, read as the shell reads them ([MS-SHLLINK]); a missing part prints nothing after the "=".
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR, HAS_ARGUMENTS, HAS_ICON, UNICODE = (
    1 << bit for bit in range(8))


def c_string(data, at, wide):
    if wide:
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[at:end].decode("utf-16-le")
    return data[at:data.index(b"\0", at)].decode("cp1252")


def main(path):
    data = open(path, "rb").read()
    if len(data) < 0x4C or struct.unpack_from("<I", data, 0)[0] != 0x4C:
        sys.exit(f"{path}: not a shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = 0x4C
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = ""
    if flags & HAS_LINK_INFO:
        size, header_size, info_flags = struct.unpack_from("<III", data, at)
        if info_flags & 1:  # VolumeIDAndLocalBasePath
            if header_size >= 0x24:
                target = c_string(data, at + struct.unpack_from("<I", data, at + 0x1C)[0], True)
            else:
                target = c_string(data, at + struct.unpack_from("<I", data, at + 0x10)[0], False)
        at += size
    strings = {}
    for flag in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR, HAS_ARGUMENTS, HAS_ICON):
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if flags & UNICODE else 1
            raw = data[at + 2:at + 2 + count * width]
            # Wine counts a terminating NUL that the format leaves out.
            strings[flag] = raw.decode("utf-16-le" if width == 2 else "cp1252").rstrip("\0")
            at += 2 + count * width
    print(f"target={target}")
    print(f"arguments={strings.get(HAS_ARGUMENTS, '')}")
    print(f"workdir={strings.get(HAS_WORKING_DIR, '')}")
    print(f"icon={strings.get(HAS_ICON, '')}")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip())
    main(sys.argv[1])
