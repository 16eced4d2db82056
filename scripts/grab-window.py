#!/usr/bin/env python3
"""Saves an X window (by id, or the whole screen with "root") as a PNG, or
with --dark-pixels prints how many of its pixels are near black (text).

   grab-window.py WINDOW_ID|root OUT.png
   grab-window.py WINDOW_ID|root --dark-pixels

Only libX11 through ctypes and the standard library: the pictures of the
Windows programs under Wine come from the X server they draw on."""
import ctypes
import ctypes.util
import struct
import sys
import zlib


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: grab-window.py WINDOW_ID|root OUT.png|--dark-pixels")
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
    x11.XGetImage.restype = ctypes.c_void_p
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XGetPixel.restype = ctypes.c_ulong
    x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    window = x11.XDefaultRootWindow(display) if sys.argv[1] == "root" else int(sys.argv[1], 0)
    attributes = XWindowAttributes()
    if not x11.XGetWindowAttributes(display, window, ctypes.byref(attributes)):
        sys.exit("no such window")
    width, height = attributes.width, attributes.height
    image = x11.XGetImage(display, window, 0, 0, width, height, 0xFFFFFFFF, 2)  # ZPixmap
    if not image:
        sys.exit("cannot read the window")
    if sys.argv[2] == "--dark-pixels":
        dark = 0
        for y in range(height):
            for x in range(width):
                pixel = x11.XGetPixel(image, x, y)
                if max((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF) < 80:
                    dark += 1
        print(dark)
        return
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            pixel = x11.XGetPixel(image, x, y)
            row += bytes(((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF))
        rows.append(bytes(row))
    with open(sys.argv[2], "wb") as out:
        out.write(png(width, height, rows))


if __name__ == "__main__":
    main()
