#!/usr/bin/env python3
"""Writes the two small pictures that the Windows-side round-trip test embeds.

picture.pvb  5 x 3 "pvb/rle": a run that crosses a row end, literals, a run
             of count 0, and a run cut off at the last pixel.
picture.bmp  3 x 2, 8 bits per pixel, bottom-up rows padded to 4 bytes.
"""
import struct
from pathlib import Path

here = Path(__file__).parent

stream = bytes([0xFF, 7, 6, 1, 2, 0xFF, 9, 0, 3, 0xFF, 236, 4, 0xFF, 5, 1, 0xFF, 8, 9])
(here / "picture.pvb").write_bytes(b"pvb/rle" + struct.pack(">HH", 5, 3) + stream)

width, height = 3, 2
rows_top_down = [[10, 11, 12], [20, 21, 22]]
pixels = b"".join(bytes(row) + b"\0" for row in reversed(rows_top_down))
colours = b"".join(bytes([i, i, i, 0]) for i in range(256))
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 0, 0, 256, 0)
offset = 14 + len(info) + len(colours)
header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
(here / "picture.bmp").write_bytes(header + info + colours + pixels)
