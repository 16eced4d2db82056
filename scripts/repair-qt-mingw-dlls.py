#!/usr/bin/env python3
"""Checks the 64-bit DLLs of an unpacked Qt for mingw-w64, and repairs the
known fault of qt6-mingw64.tar.xz in place.

   repair-qt-mingw-dlls.py DLL...

In that archive Qt6Widgets.dll and Qt6Test.dll had their source paths
(assertion texts) rewritten after linking into "/build/qt6-mingw64-src/...",
ten bytes longer each: every byte behind such a text sits 10 bytes later in
the file than the section table says. The loader (Windows' and Wine's) then
reads the TLS and export directories from the wrong bytes, and any program
linking the library dies before main. Each of those texts is shortened by ten
bytes again ("/build/qtsrc/..."), which puts every byte back where the
section table has it; the check below confirms it.

A DLL counts as sound when its export directory names the file itself and its
TLS directory (if any) starts at its .tls section. Sound files are left as
they are. Exit status 1 when a file is unsound and cannot be repaired."""
import os
import struct
import sys

LONG_PREFIX = b"/build/qt6-mingw64-src"
SHORT_PREFIX = b"/build/qtsrc"  # ten bytes shorter


def sections(data, pe):
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(count):
        entry = table + 40 * i
        name = data[entry:entry + 8].rstrip(b"\0")
        virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, entry + 8)
        yield name, rva, virtual_size, raw_offset, raw_size


def read_at(data, secs, rva, size):
    for _, start, virtual_size, raw_offset, raw_size in secs:
        if start <= rva and rva + size <= start + raw_size:
            offset = raw_offset + rva - start
            return bytes(data[offset:offset + size])
    return None


def sound(data, filename):
    try:
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0" or struct.unpack_from("<H", data, pe + 24)[0] != 0x20B:
            return False
        optional = pe + 24
        image_base = struct.unpack_from("<Q", data, optional + 24)[0]
        secs = list(sections(data, pe))
        export_rva = struct.unpack_from("<I", data, optional + 112)[0]
        if export_rva:
            directory = read_at(data, secs, export_rva, 40)
            name_rva = struct.unpack_from("<I", directory, 12)[0] if directory else 0
            name = read_at(data, secs, name_rva, len(filename) + 1) if name_rva else None
            if not name or name.lower() != filename.lower().encode() + b"\0":
                return False
        tls_rva = struct.unpack_from("<I", data, optional + 112 + 8 * 9)[0]
        if tls_rva:
            tls = [s for s in secs if s[0] == b".tls"]
            directory = read_at(data, secs, tls_rva, 8)
            if not tls or not directory or struct.unpack("<Q", directory)[0] != image_base + tls[0][1]:
                return False
        return True
    except struct.error:
        return False


def check(path):
    filename = os.path.basename(path)
    with open(path, "rb") as f:
        data = f.read()
    if sound(data, filename):
        return True
    repaired = data.replace(LONG_PREFIX, SHORT_PREFIX)
    if repaired != data and sound(repaired, filename):
        with open(path, "wb") as f:
            f.write(repaired)
        print(f"{path}: repaired ({data.count(LONG_PREFIX)} source paths shortened)")
        return True
    print(f"{path}: its export or TLS directory is not where its section table says", file=sys.stderr)
    return False


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: repair-qt-mingw-dlls.py DLL...")
    results = [check(path) for path in sys.argv[1:]]
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
