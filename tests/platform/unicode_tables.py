#!/usr/bin/env python3
"""The Linux platform layer's character tables against Python's own Unicode and code page data:
the combining marks that CharNextW steps over (Unicode 14.0.0: general categories Mn, Mc and
Me of the Basic Multilingual Plane, as ranges) and the Windows-1252 bytes 0x80 to 0x9F (the
five Windows leaves unassigned map to the C1 controls). Exit 77 (skipped) when this Python's
Unicode data is another version.

Usage: unicode_tables.py SOURCE_DIR
"""
import re
import sys
import unicodedata

source = sys.argv[1]
failures = []


def table(path, name):
    with open(f"{source}/{path}", encoding="utf-8") as f:
        text = f.read()
    body = text[text.index(name):]
    body = body[body.index("{") + 1:body.index("};")]
    return [int(n, 16) for n in re.findall(r"0x[0-9A-Fa-f]+", body)]


if unicodedata.unidata_version != "14.0.0":
    print(f"skipped: Python's Unicode data is {unicodedata.unidata_version}, not 14.0.0")
    sys.exit(77)

marks = table("platform/linux/char_next.cpp", "kCombiningMarks[]")
ranges = list(zip(marks[0::2], marks[1::2]))
expected, start = [], None
for code in range(0x10000):
    is_mark = unicodedata.category(chr(code)) in ("Mn", "Mc", "Me")
    if is_mark and start is None:
        start = code
    if not is_mark and start is not None:
        expected.append((start, code - 1))
        start = None
if ranges != expected:
    wrong = [(f"{a:04X}-{b:04X}", f"{c:04X}-{d:04X}") for (a, b), (c, d) in zip(ranges, expected)
             if (a, b) != (c, d)][:5]
    failures.append(f"combining marks: {len(ranges)} ranges, {len(expected)} expected; "
                    f"first differences (table, Unicode): {wrong}")

high = table("platform/linux/code_page.cpp", "kCp1252High")
for byte, code in zip(range(0x80, 0xA0), high):
    try:
        want = ord(bytes([byte]).decode("cp1252"))
    except UnicodeDecodeError:
        want = byte  # unassigned: the C1 control of the same number
    if code != want:
        failures.append(f"Windows-1252 byte {byte:02X}: U+{code:04X}, expected U+{want:04X}")
if len(high) != 32:
    failures.append(f"Windows-1252: {len(high)} entries for 0x80 to 0x9F")

for failure in failures:
    print("FAIL:", failure)
print("2 tables checked" if not failures else f"{len(failures)} failed")
sys.exit(1 if failures else 0)
