#!/usr/bin/env python3
"""Writes the reference host's sample image: a 16x16 grey baseline JPEG with EXIF and GPS
metadata. Deterministic; the output is committed as tools/pixelfold/sample.jpg.

    python3 scripts/make-sample-image.py tools/pixelfold/sample.jpg
"""
import struct
import sys

# TIFF field types
BYTE, ASCII, SHORT, LONG, RATIONAL, UNDEFINED = 1, 2, 3, 4, 5, 7
TYPE_SIZE = {BYTE: 1, ASCII: 1, SHORT: 2, LONG: 4, RATIONAL: 8, UNDEFINED: 1}


def ascii_field(tag, text):
    return (tag, ASCII, text.encode("ascii") + b"\0")


def field_bytes(ftype, value):
    if ftype in (ASCII, UNDEFINED, BYTE):
        return bytes(value)
    if ftype == SHORT:
        return b"".join(struct.pack("<H", v) for v in value)
    if ftype == LONG:
        return b"".join(struct.pack("<I", v) for v in value)
    return b"".join(struct.pack("<II", n, d) for n, d in value)


def ifd(fields, at, next_offset=0):
    """One directory at offset `at`, values that do not fit in four bytes after it."""
    fields = sorted(fields)
    entries, data = b"", b""
    data_at = at + 2 + 12 * len(fields) + 4
    for tag, ftype, value in fields:
        raw = field_bytes(ftype, value)
        count = len(raw) // TYPE_SIZE[ftype]
        if len(raw) <= 4:
            inline = raw.ljust(4, b"\0")
        else:
            inline = struct.pack("<I", data_at + len(data))
            data += raw + (b"\0" if len(raw) % 2 else b"")
        entries += struct.pack("<HHI", tag, ftype, count) + inline
    return struct.pack("<H", len(fields)) + entries + struct.pack("<I", next_offset) + data


def exif_tiff():
    when = "2021:07:14 09:05:33"
    gps = [
        (0x0000, BYTE, [2, 3, 0, 0]),
        ascii_field(0x0001, "N"),
        (0x0002, RATIONAL, [(59, 1), (54, 1), (3600, 100)]),
        ascii_field(0x0003, "E"),
        (0x0004, RATIONAL, [(10, 1), (45, 1), (1800, 100)]),
        (0x0005, BYTE, [0]),
        (0x0006, RATIONAL, [(12, 1)]),
    ]
    exif = [
        (0x829A, RATIONAL, [(1, 125)]),
        (0x829D, RATIONAL, [(28, 10)]),
        (0x8827, SHORT, [100]),
        (0x9000, UNDEFINED, list(b"0232")),
        ascii_field(0x9003, when),
        ascii_field(0x9004, when),
        (0x920A, RATIONAL, [(50, 1)]),
    ]

    def ifd0(exif_at, gps_at):
        return [
            ascii_field(0x010E, "Harbour at dawn"),
            ascii_field(0x010F, "Pixelfold"),
            ascii_field(0x0110, "Sample Camera"),
            (0x0112, SHORT, [1]),
            (0x011A, RATIONAL, [(72, 1)]),
            (0x011B, RATIONAL, [(72, 1)]),
            (0x0128, SHORT, [2]),
            ascii_field(0x0131, "make-sample-image.py"),
            ascii_field(0x0132, when),
            ascii_field(0x013B, "Pixelfold team"),
            ascii_field(0x8298, "Public domain"),
            (0x8769, LONG, [exif_at]),
            (0x8825, LONG, [gps_at]),
        ]

    # Lay out once to learn the sizes, then again with the real offsets.
    size0 = len(ifd(ifd0(0, 0), 8))
    exif_at = 8 + size0
    gps_at = exif_at + len(ifd(exif, exif_at))
    return (b"II*\0" + struct.pack("<I", 8) + ifd(ifd0(exif_at, gps_at), 8) +
            ifd(exif, exif_at) + ifd(gps, gps_at))


def segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


# The standard luminance Huffman tables (ITU T.81, K.3).
DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_VALUES = list(range(12))
AC_BITS = [0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D]
AC_VALUES = bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a"
    "25262728292a3435363738393a434445464748494a535455565758595a636465666768696a737475767778797a"
    "838485868788898a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2"
    "d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9fa")


def jpeg():
    out = b"\xFF\xD8"
    out += segment(0xE1, b"Exif\0\0" + exif_tiff())
    out += segment(0xDB, b"\x00" + bytes([1] * 64))
    out += segment(0xC0, struct.pack(">BHHB", 8, 16, 16, 1) + bytes([1, 0x11, 0]))
    out += segment(0xC4, b"\x00" + bytes(DC_BITS) + bytes(DC_VALUES))
    out += segment(0xC4, b"\x10" + bytes(AC_BITS) + AC_VALUES)
    out += segment(0xDA, bytes([1, 1, 0x00, 0, 63, 0]))
    # Four flat mid-grey blocks: each a DC difference of 0 ("00") and end-of-block ("1010").
    out += bytes([0x28, 0xA2, 0x8A])
    return out + b"\xFF\xD9"


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(jpeg())
