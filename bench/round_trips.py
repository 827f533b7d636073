#!/usr/bin/env python3
"""Round trips per file on slow storage: the opens and reads the file system serves when
pixelfold reads a file, counted by bench/slow_fs (no delay, every request logged).

    python3 bench/round_trips.py [--keep FOLDER]

Reads, with -j 1, the JPEGs, PNGs and GIFs of ../shared/corpus and three large files made here
(a 5.7 MB PNG written with 8 KiB IDAT chunks and its text after them, a 2 MB animated GIF of
300 frames with a comment after them, a 5 MB camera-like JPEG), once for the size names and
once for all names, and prints per kind of file the opens and reads per file (mean and most),
with the files over the target: sizes, 1 open and 1 read; all names, 2 opens and 2 reads, for
PNG and GIF plus one read per 256 KiB of file. Then the same files through slow_fs waiting
--delay-ms before each open and read: all names with pixelfold -j 1, and exiv2 and exiftool
when installed, in ms per file for the corpus JPEGs and for each large file. Build first:
cmake --build --preset native (slow_fs needs libfuse3-dev and fuse3).
"""
import argparse
import collections
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "native")
PIXELFOLD = os.path.join(BUILD, "pixelfold")
SLOW_FS = os.path.join(BUILD, "bench", "slow_fs")
CORPUS = os.path.join(ROOT, "..", "shared", "corpus")
KIB = 1024


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def big_png(size=5_700_000, piece=8 * KIB):
    """Image data in 8 KiB IDAT chunks (never decoded), then a text chunk."""
    noise = random.Random(1).randbytes(piece)
    out = [b"\x89PNG\r\n\x1a\n", chunk(b"IHDR", struct.pack(">IIBBBBB", 2000, 1000, 8, 2, 0, 0, 0))]
    for _ in range(size // (piece + 12)):
        out.append(chunk(b"IDAT", noise))
    out += [chunk(b"tEXt", b"Title\0after the image data"), chunk(b"IEND", b"")]
    return b"".join(out)


def animated_gif(frames=300, size=2_000_000):
    """300 frames, each a graphic control extension and an image of LZW sub-blocks, then a
    comment."""
    per_frame = size // frames
    data = bytes(random.Random(2).randrange(0, 255) for _ in range(255))
    out = [b"GIF89a", struct.pack("<HHBBB", 320, 200, 0xF7, 0, 0), bytes(3 * 256),
           b"!\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"]
    for _ in range(frames):
        out.append(b"!\xf9\x04\x04\x05\x00\x00\x00")
        out.append(b"," + struct.pack("<HHHHB", 0, 0, 320, 200, 0) + b"\x08")
        out.append((b"\xff" + data) * (per_frame // 256) + b"\x00")
    out += [b"!\xfe\x0bafter frames\x00", b";"]
    return b"".join(out)


def camera_jpeg(size=5_000_000):
    """EXIF with a thumbnail, quantisation and Huffman tables, a frame header, then 5 MB of
    entropy-coded data."""
    thumbnail = b"\xff\xd8" + random.Random(3).randbytes(12 * KIB).replace(b"\xff", b"\x00") + \
        b"\xff\xd9"
    entries = [(0x010F, 2, b"Camera\0"), (0x0110, 2, b"Model 5\0")]
    ifd0 = struct.pack("<H", len(entries))
    values = b""
    value_at = 8 + 2 + 12 * len(entries) + 4 + 2 + 3 * 12 + 4
    for tag, kind, value in entries:
        ifd0 += struct.pack("<HHII", tag, kind, len(value), value_at + len(values))
        values += value
    ifd1_at = 8 + 2 + 12 * len(entries) + 4
    ifd0 += struct.pack("<I", ifd1_at)
    thumb_at = value_at + len(values)
    ifd1 = struct.pack("<H", 3) + struct.pack("<HHII", 0x0103, 3, 1, 6) + \
        struct.pack("<HHII", 0x0201, 4, 1, thumb_at) + \
        struct.pack("<HHII", 0x0202, 4, 1, len(thumbnail)) + struct.pack("<I", 0)
    tiff = b"II*\0" + struct.pack("<I", 8) + ifd0 + ifd1 + values + thumbnail
    app1 = b"Exif\0\0" + tiff
    dqt = b"\x00" + bytes(range(1, 65))
    sof = struct.pack(">BHHB", 8, 3000, 4000, 3) + b"\x01\x22\x00\x02\x11\x00\x03\x11\x00"
    dht = b"\x00" + bytes([0, 1] + [0] * 14) + b"\x00"
    sos = b"\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00"
    body = random.Random(4).randbytes(size).replace(b"\xff", b"\x00")

    def segment(marker, data):
        return b"\xff" + bytes([marker]) + struct.pack(">H", len(data) + 2) + data
    return (b"\xff\xd8" + segment(0xE1, app1) + segment(0xDB, dqt) + segment(0xC0, sof) +
            segment(0xC4, dht) + segment(0xDA, sos) + body + b"\xff\xd9")


def corpus_files():
    if not os.path.isdir(CORPUS):
        return []
    return sorted(os.path.join(d, f) for d, _, names in os.walk(CORPUS) for f in names
                  if os.path.splitext(f)[1].lower() in (".jpg", ".png", ".gif"))


def mount(source, mountpoint, log, delay_us=0):
    server = subprocess.Popen([SLOW_FS, source, str(delay_us), mountpoint, "-f"],
                              env=dict(os.environ, SLOW_FS_LOG=log), stderr=subprocess.DEVNULL)
    for _ in range(100):
        if os.path.ismount(mountpoint):
            return server
        time.sleep(0.05)
    server.kill()
    sys.exit("/dev/fuse cannot be used here")


def count(log):
    opens, reads = collections.Counter(), collections.Counter()
    with open(log) as f:
        for line in f:
            what, rest = line.rstrip("\n").split(" ", 1)
            path = rest if what == "open" else rest.rsplit(" ", 1)[0]
            (opens if what == "open" else reads)[path] += 1
    return opens, reads


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--keep", help="make the files in this folder and keep them")
    parser.add_argument("--delay-ms", type=float, default=1.0,
                        help="the slow file system's wait before each open and each read")
    args = parser.parse_args()
    for tool in (PIXELFOLD, SLOW_FS):
        if not os.path.exists(tool):
            sys.exit(f"{tool} is missing: build with cmake --build --preset native")
    scratch = tempfile.mkdtemp(prefix="pixelfold-trips-")
    source = args.keep or os.path.join(scratch, "files")
    os.makedirs(source, exist_ok=True)
    made = {"large.png": big_png(), "animated.gif": animated_gif(), "camera.jpg": camera_jpeg()}
    for name, data in made.items():
        with open(os.path.join(source, name), "wb") as f:
            f.write(data)
    for i, path in enumerate(corpus_files()):
        shutil.copy(path, os.path.join(source, f"corpus-{i:04d}-{os.path.basename(path)}"))
    mountpoint = os.path.join(scratch, "slow")
    os.makedirs(mountpoint)
    log = os.path.join(scratch, "requests.log")
    server = mount(source, mountpoint, log)
    try:
        names = sorted(os.listdir(mountpoint))
        sizes = {n: os.path.getsize(os.path.join(source, n)) for n in names}
        listing = os.path.join(scratch, "list.txt")
        with open(listing, "w") as f:
            f.write("".join(os.path.join(mountpoint, n) + "\n" for n in names))
        for label, asked in (("size names", ["--names", "Width,Height,Color Depth"]),
                             ("all names", [])):
            open(log, "w").close()
            subprocess.run([PIXELFOLD, "-j", "1", "--json", *asked, "--files-from", listing],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            opens, reads = count(log)
            print(f"\n{label}: opens and reads per file, as the file system served them")
            print(f"  {'files':24} {'count':>6} {'opens':>6} {'reads':>6} {'most':>5}  over target")
            groups = collections.defaultdict(list)
            for n in names:
                kind = "made: " + n if not n.startswith("corpus-") else \
                    "corpus " + os.path.splitext(n)[1].lower()
                groups[kind].append(n)
            for kind, members in sorted(groups.items()):
                over = []
                for n in members:
                    o, r = opens["/" + n], reads["/" + n]
                    extra = 0
                    if label == "all names" and n.lower().endswith((".png", ".gif")):
                        extra = -(-sizes[n] // (256 * KIB))
                    limit = (1, 1) if label == "size names" else (2, 2 + extra)
                    if o > limit[0] or r > limit[1]:
                        over.append(f"{n} ({o} opens, {r} reads, {sizes[n]:,} bytes)")
                mean_o = sum(opens["/" + n] for n in members) / len(members)
                mean_r = sum(reads["/" + n] for n in members) / len(members)
                most = max(reads["/" + n] for n in members)
                print(f"  {kind:24} {len(members):>6} {mean_o:>6.2f} {mean_r:>6.2f} {most:>5}  "
                      f"{len(over)}")
                for o in over[:5]:
                    print(f"      {o}")
    finally:
        subprocess.run(["fusermount3", "-u", mountpoint])
        server.wait()
    try:
        slow_timings(source, mountpoint, log, args.delay_ms)
    finally:
        if not args.keep:
            shutil.rmtree(scratch, ignore_errors=True)


def slow_timings(source, mountpoint, log, delay_ms):
    """All names through the slow file system, in ms per file, beside exiv2 and exiftool."""
    server = mount(source, mountpoint, log, int(delay_ms * 1000))
    try:
        names = sorted(os.listdir(mountpoint))
        groups = [("corpus JPEGs", [n for n in names if n.startswith("corpus-")
                                    and n.lower().endswith(".jpg")])]
        groups += [(n, [n]) for n in ("large.png", "animated.gif", "camera.jpg")]
        which = shutil.which
        print(f"\nSlow storage, {delay_ms:g} ms before each open and each read: ms per file")
        print(f"  {'files':16} {'pixelfold -j 1':>15} {'exiv2 -pa':>10} {'exiftool -j':>12}")
        for label, members in groups:
            paths = [os.path.join(mountpoint, n) for n in members]
            runs = [[PIXELFOLD, "-j", "1", "--json"] + paths,
                    ["exiv2", "-pa"] + paths if which("exiv2") else None,
                    ["exiftool", "-j", "-n"] + paths if which("exiftool") else None]
            cells = []
            for command in runs:
                if command is None:
                    cells.append("-")
                    continue
                start = time.perf_counter()
                subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                cells.append(f"{(time.perf_counter() - start) / len(paths) * 1e3:.2f}")
            print(f"  {label:16} {cells[0]:>15} {cells[1]:>10} {cells[2]:>12}")
    finally:
        subprocess.run(["fusermount3", "-u", mountpoint])
        server.wait()


if __name__ == "__main__":
    main()
