#!/usr/bin/env python3
"""Checks what the documents show against what the programs print.

    check_docs.py readme PROPERTY-SOURCE WORKDIR HOST [EMULATOR...]
        runs the README's example command (its first code block that starts with
        "$ pixelfold ") in WORKDIR and compares the output with the block. With the
        property source "gdiplus" (Wine's GDI+ reads no EXIF from a JPEG) every line printed
        must be a line of the block (columns aside), and the header's three lines must be
        among them.
    check_docs.py list-names HOST [EMULATOR...]
        compares `pixelfold --list-names` (CSV, JSON lines and text) with the names reference.
"""
import csv
import json
import pathlib
import re
import shlex
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]


def run(command, workdir=None):
    done = subprocess.run(command, cwd=workdir, capture_output=True, timeout=120)
    if done.returncode != 0:
        sys.exit(f"{command} exited with {done.returncode}:\n{done.stderr.decode(errors='replace')}")
    return done.stdout.decode("utf-8")


def readme_example():
    text = (ROOT / "README.md").read_text(encoding="utf-8")
    for block in re.findall(r"```[a-z]*\n(.*?)```", text, re.S):
        lines = block.splitlines()
        if lines and lines[0].startswith("$ pixelfold "):
            return shlex.split(lines[0][2:])[1:], lines[1:]
    sys.exit("README.md has no code block that starts with '$ pixelfold '")


def check_readme(source, workdir, host):
    arguments, shown = readme_example()
    printed = run(host + arguments, workdir).replace("\r\n", "\n").splitlines()
    if source == "builtin":
        if printed != shown:
            sys.exit("README.md's example differs from what pixelfold prints:\n" +
                     "\n".join(f"  shown:   {a!r}\n  printed: {b!r}"
                               for a, b in zip(shown + [""] * len(printed),
                                               printed + [""] * len(shown)) if a != b))
        return
    # Columns are as wide as the longest name printed: compare the words of each line.
    words = {" ".join(line.split()) for line in shown}
    strays = [line for line in printed if " ".join(line.split()) not in words]
    if strays or not all(any(line.startswith(f"  {name} ") for line in printed)
                         for name in ("Width", "Height", "Color Depth")):
        sys.exit(f"README.md's example: printed {printed}, which the block {shown} lacks")


def check_list_names(host):
    listing = pathlib.Path("list-names.csv")
    listing.write_bytes(run(host + ["--list-names", "--csv"]).encode("utf-8"))
    subprocess.run([sys.executable, str(ROOT / "scripts" / "make-names-reference.py"),
                    "--compare-csv", str(listing)], check=True)
    # The JSON lines and the text table hold the same rows.
    with open(listing, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    objects = [json.loads(line) for line in run(host + ["--list-names", "--json"]).splitlines()]
    if [list(o) for o in objects] != [rows[0]] * (len(rows) - 1) or \
            [list(o.values()) for o in objects] != rows[1:]:
        sys.exit("--list-names --json differs from --list-names --csv")
    lines = run(host + ["--list-names"]).replace("\r\n", "\n").splitlines()
    if len(lines) != len(rows) or not all(
            line == row[0] or line.startswith(row[0] + "  ") for line, row in zip(lines, rows)):
        sys.exit("--list-names does not print a line per name, each starting with the name")


def main():
    if len(sys.argv) >= 5 and sys.argv[1] == "readme":
        check_readme(sys.argv[2], sys.argv[3], sys.argv[5:] + [sys.argv[4]])
    elif len(sys.argv) >= 3 and sys.argv[1] == "list-names":
        check_list_names(sys.argv[3:] + [sys.argv[2]])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
