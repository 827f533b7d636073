#!/usr/bin/env python3
"""The reference host reading on several threads, as scripts use it: -j 4 prints byte for byte
what -j 1 prints over good, damaged and missing files in every output mode; CSV reads back with
a standard reader and agrees with JSON; --files-from - --null takes names with spaces and line
feeds; Ctrl-C (SIGINT) ends a run with 130 after whole lines only.

Usage: parallel_host.py WORKDIR SAMPLE_JPEG HOST [EMULATOR...]
"""
import csv
import io
import json
import os
import shutil
import signal
import struct
import subprocess
import sys
import threading
import time
import zlib

workdir, sample = sys.argv[1], sys.argv[2]
command = sys.argv[4:] + [sys.argv[3]]
windows = len(sys.argv) > 4  # under Wine: names cannot hold quotes or line feeds
failures = []


def png(title=None):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    text = chunk(b"tEXt", b"Title\0" + title.encode()) if title is not None else b""
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 3, 2, 8, 2, 0, 0, 0)) +
            text + chunk(b"IDAT", zlib.compress(b"\0" * 20)) + chunk(b"IEND", b""))


def write(path, data):
    path = os.path.join(workdir, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def run(*args, stdin=None):
    done = subprocess.run(command + list(args), cwd=workdir, input=stdin, capture_output=True,
                          timeout=300)
    return done.returncode, done.stdout, done.stderr


def check(condition, message):
    if not condition:
        failures.append(message)


shutil.rmtree(workdir, ignore_errors=True)
with open(sample, "rb") as f:
    jpeg = f.read()
for i in range(60):
    write(f"mixed/{i % 4}/photo{i:02}.jpg", jpeg)
    if i % 3 == 0:
        write(f"mixed/{i % 4}/titled{i:02}.png", png(f"title {i}"))
    if i % 7 == 0:
        write(f"mixed/{i % 4}/cut{i:02}.jpg", jpeg[:40])
        write(f"mixed/{i % 4}/text{i:02}.png", b"not a png at all")

# 1. The same output with one thread and with four, in every mode.
for mode in ([], ["--json"], ["--csv"], ["--all", "--names", "Width,PropertyTagImageTitle"]):
    paths = ["mixed", "missing.jpg", "mixed/0/photo00.jpg", "no-extension"]
    one = run("-j", "1", *mode, *paths)
    four = run("-j", "4", *mode, *paths)
    check(one[0] == 1, f"{mode}: exit status {one[0]}, expected 1")
    check(one == four, f"{mode}: -j 4 printed other than -j 1")
    check(one[1].count(b"photo") >= 60, f"{mode}: too few files: {one[1][:300]!r}")

# 2. CSV with commas, quotes and line feeds reads back as the JSON output says.
titles = ['plain', 'a, b', 'say "cheese"', 'two\nlines', '"quoted, with\r\nall"', 'caf\u00e9']
names = ["comma, name", "space name"] + ([] if windows else ['quote"name', "line\nfeed"])
for i, title in enumerate(titles):
    write(f"tricky/{names[i % len(names)]}{i}.png", png(title))
write("tricky/broken.png", b"broken")
asked = "Width,Height,PropertyTagImageTitle,Width,Color Depth"
_, out_csv, _ = run("--csv", "--names", asked, "tricky")
_, out_json, _ = run("--json", "--names", asked, "tricky")
rows = list(csv.reader(io.StringIO(out_csv.decode("utf-8"), newline="")))
check(out_csv.endswith(b"\r\n"), "CSV lines do not end in CR LF")
check(rows[0] == ["path", "Width", "Height", "PropertyTagImageTitle", "Color Depth", "error"],
      f"CSV header: {rows[0]}")
lines = [json.loads(line) for line in out_json.decode("utf-8").splitlines()]
check(len(rows) - 1 == len(lines) == len(titles) + 1, f"{len(rows) - 1} rows, {len(lines)} lines")
for row, line in zip(rows[1:], lines):
    check(row[0] == line["path"], f"CSV path {row[0]!r}, JSON {line['path']!r}")
    values = line.get("values", {})
    for name, cell in zip(rows[0][1:-1], row[1:-1]):
        expected = values.get(name)
        expected = "" if expected is None else expected if isinstance(expected, str) else json.dumps(expected)
        check(cell == expected, f"{line['path']!r} {name}: CSV {cell!r}, JSON {expected!r}")
    check(row[-1] == line.get("error", {}).get("name", ""), f"error cell {row[-1]!r} of {row[0]!r}")
check(any(row[3] == 'two\r\nlines' for row in rows), "no title with a line feed in the CSV")

# 3. --files-from - --null: names with spaces and line feeds, an empty entry, a missing file.
listed = ["list/with space.png", "list/two words/inner.jpg"] + ([] if windows else ["list/new\nline.png"])
for name in listed:
    write(name, jpeg if name.endswith(".jpg") else png())
entries = listed[:1] + [""] + listed[1:] + ["list/missing.png"]
status, out, _ = run("--json", "--names", "Width", "--files-from", "-", "--null",
                     stdin=b"\0".join(e.encode() for e in entries) + b"\0")
paths = [json.loads(line)["path"] for line in out.decode().splitlines()]
check(status == 1 and paths == listed + ["list/missing.png"], f"--null: status {status}, {paths}")
check(b'"name":"FILE_E_NOT_FOUND"' in out, "--null: the missing file is not reported")
status, out, _ = run("--json", "--names", "Width", "--files-from", "-",
                     stdin=b"list/with space.png\r\n\nlist/two words\n")
paths = [json.loads(line)["path"] for line in out.decode().splitlines()]
separator = "\\" if windows else "/"
check(status == 0 and paths == ["list/with space.png", f"list/two words{separator}inner.jpg"],
      f"--files-from lines: status {status}, {paths}")

# 4. SIGINT: a run fed a list that does not end stops taking files once it has printed some,
# prints those it has taken, and exits with 130.
host = subprocess.Popen(command + ["--json", "--names", "Width", "-j", "2", "--files-from", "-"],
                        cwd=workdir, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
lines = []
reader = threading.Thread(target=lambda: lines.extend(iter(host.stdout.readline, b"")), daemon=True)
reader.start()
host.stdin.write(b"".join(f"mixed/{i % 4}/photo{i % 60:02}.jpg\n".encode() for i in range(200)))
host.stdin.flush()
deadline = time.monotonic() + 60
while not lines and time.monotonic() < deadline:
    time.sleep(0.05)
host.send_signal(signal.SIGINT)
try:
    status = host.wait(timeout=30)
except subprocess.TimeoutExpired:
    status = "still running"
host.stdin.close()  # ends the run when the signal did not
host.wait(timeout=60)
reader.join(timeout=10)
check(status == 130, f"SIGINT: exit status {status}")
check(all(l.endswith(b"\n") and json.loads(l)["values"]["Width"] == 16 for l in lines),
      f"SIGINT: not whole lines: {lines[-3:]!r}")
check(0 < len(lines) <= 200, f"SIGINT: {len(lines)} lines")

for failure in failures:
    print("FAIL:", failure)
print("4 passed" if not failures else f"{len(failures)} failed")
sys.exit(1 if failures else 0)
