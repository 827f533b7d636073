#!/usr/bin/env python3
"""Writes docs/names.md, the reference of every name a host may ask for, from the two tables of
include/pixelfold/property_names.h.

    python3 scripts/make-names-reference.py            # rewrite docs/names.md
    python3 scripts/make-names-reference.py --check    # fail when docs/names.md is stale
    python3 scripts/make-names-reference.py --compare-csv FILE
                                        # fail unless FILE (pixelfold --list-names --csv)
                                        # holds the same rows
"""
import argparse
import csv
import difflib
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
HEADER = ROOT / "include" / "pixelfold" / "property_names.h"
PAGE = ROOT / "docs" / "names.md"

COLUMNS = ["name", "tag", "standard name", "standard type", "values", "answers with",
           "attributes", "answered", "why"]

TYPE_TEXT = {
    "kByte": "BYTE", "kAscii": "ASCII", "kShort": "SHORT", "kLong": "LONG",
    "kRational": "RATIONAL", "kUndefined": "UNDEFINED", "kSLong": "SLONG",
    "kSRational": "SRATIONAL", "kShortOrLong": "SHORT or LONG", "kByteOrShort": "BYTE or SHORT",
    "kAnyNumber": "the samples' type",
}
ANSWERED_TEXT = {
    "kAlways": "always", "kWhenOneValue": "one value only", "kWhenText": "as text only",
    "kNever": "never",
}
SIZE_NAMES = [
    ("Width", "the image's width in pixels"),
    ("Height", "the image's height in pixels"),
    ("Color Depth", "bits per pixel"),
]

INTRODUCTION = """\
# Names

Every name a host may ask for in the group "Image", one row each: "Width", "Height" and "Color
Depth", read from the file's header, then the 217 metadata names, answered from the image's
TIFF, EXIF and GPS property items. `pixelfold --list-names` prints the same table (`--json`,
`--csv`). Names are compared without regard to the case of A to Z.

A name goes unanswered for one file when the file does not hold its item (most names belong to
a few formats or cameras), or when the item holds what the plug-in does not convert: several
values (an array, such as GPS latitude's degrees, minutes and seconds) or undefined bytes. The
column "answered" says which names can be answered at all: always when present, only when the
item holds one value, only where a format stores it as text, or never.

Columns:

- tag: the TIFF, EXIF or GPS tag whose item answers the name (hexadecimal); GPS tags are the
  small numbers 0x0000 to 0x001A. Tags 0x5000 and above, and 0x0301 to 0x0320, are GDI+'s own
  (from PNG, GIF and JPEG structures, or a thumbnail's tags renumbered) and have no standard
  name.
- standard name: the tag's name in the TIFF, EXIF or GPS standard, which other tools use; the
  reference host `pixelfold` accepts it in `--names`.
- standard type and values: the type and the count of values the standard gives the tag. A file
  may store another type; the answer follows the type the file stores.
- answers with: the `VARIANT` type of the answer for that standard type: `VT_I4` for whole
  numbers, `VT_R8` for fractions (numerator divided by denominator), `VT_BSTR` for text, and
  for the dates `VT_DATE` (days since 30 December 1899, the fraction the time of day), or
  `VT_BSTR` holding the text when it is no valid date.
- attributes: the attribute flags the plug-in writes with the answer.
"""


def c_string(literals):
    """The text of adjacent C string literals."""
    return "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', literals))


def read_header():
    text = HEADER.read_text(encoding="utf-8")
    rows = [
        {"name": name, "tag": int(tag, 16), "attributes": attributes, "date": kind == "kDate"}
        for name, tag, attributes, kind in re.findall(
            r'\{PIXELFOLD_NAME\("(\w+)"\),\s*(0x[0-9A-Fa-f]+),\s*(\d+),\s*(kPlain|kDate)\}', text)
    ]
    references = {}
    for tag, standard, type_, count, answered, why in re.findall(
            r'\{(0x[0-9A-Fa-f]+),\s*"([^"]*)",\s*TagType::(\w+),\s*"([^"]*)",\s*'
            r'Answered::(\w+),\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\}', text):
        references[int(tag, 16)] = (standard, type_, count, answered, c_string(why))
    return rows, references


def answers_with(type_, answered, is_date):
    if answered == "kNever":
        return "-"
    if answered == "kWhenText" or type_ == "kAscii":
        return "VT_DATE or VT_BSTR" if is_date else "VT_BSTR"
    if type_ in ("kRational", "kSRational"):
        return "VT_R8"
    if type_ == "kAnyNumber":
        return "VT_I4 or VT_R8"
    return "VT_I4"


def table():
    """The rows, each a list of COLUMNS texts; fails when the two tables disagree."""
    rows, references = read_header()
    if len(rows) != 217:
        sys.exit(f"{HEADER}: {len(rows)} name rows, expected 217")
    missing = sorted({row["tag"] for row in rows} ^ set(references))
    if missing or len(references) != len(rows):
        sys.exit(f"{HEADER}: the two tables differ in tags: {[hex(t) for t in missing]}")
    out = [[name, "-", "-", "-", "1", "VT_I4", "1", "always", f"from the header: {what}"]
           for name, what in SIZE_NAMES]
    for row in rows:
        standard, type_, count, answered, why = references[row["tag"]]
        out.append([
            row["name"], f"0x{row['tag']:04X}", standard or "none (GDI+)", TYPE_TEXT[type_], count,
            answers_with(type_, answered, row["date"]), row["attributes"],
            ANSWERED_TEXT[answered], why,
        ])
    return out


def page():
    lines = [INTRODUCTION, "| " + " | ".join(COLUMNS) + " |",
             "|" + "|".join(" --- " for _ in COLUMNS) + "|"]
    for row in table():
        lines.append("| " + " | ".join(cell.replace("|", "\\|") for cell in row) + " |")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--compare-csv", metavar="FILE")
    arguments = parser.parse_args()
    if arguments.compare_csv:
        with open(arguments.compare_csv, newline="", encoding="utf-8") as listed:
            got = list(csv.reader(listed))
        expected = [COLUMNS] + table()
        if got != expected:
            for a, b in zip(got + [None] * len(expected), expected):
                if a != b:
                    sys.exit(f"--list-names --csv differs from the names reference:\n"
                             f"  printed:  {a}\n  expected: {b}")
        return
    wanted = page()
    if arguments.check:
        have = PAGE.read_text(encoding="utf-8") if PAGE.exists() else ""
        if have != wanted:
            diff = difflib.unified_diff(have.splitlines(), wanted.splitlines(), str(PAGE),
                                        "made from " + str(HEADER), lineterm="", n=1)
            sys.exit("docs/names.md is stale; run python3 scripts/make-names-reference.py\n" +
                     "\n".join(list(diff)[:40]))
        return
    PAGE.parent.mkdir(exist_ok=True)
    PAGE.write_text(wanted, encoding="utf-8")


if __name__ == "__main__":
    main()
