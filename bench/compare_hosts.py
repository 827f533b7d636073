#!/usr/bin/env python3
"""The reference host against the tools a user would pick instead, per file, in one run.

    python3 bench/compare_hosts.py [--files N] [--keep FOLDER]

Makes a folder of N small images (default 10,000) of the five formats, then times, over it:
the floor (open, read 64 bytes, close; bench/read_floor), `pixelfold --json --names
Width,Height,"Color Depth"`, and, when installed, `identify -ping`, `exiftool -fast2` and
Pillow's lazy `Image.open(...).size` in one python3 process. Then, over the JPEGs of
../shared/corpus when present: the floor, `pixelfold --json` with all names, `exiv2 -pa` and
`exiftool -j -n` (each file listed --corpus-repeat times). Each is run once to warm the page cache and then timed as the best of three.
Build first: cmake --build --preset native.
"""
import argparse
import importlib.util
import os
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
FLOOR = os.path.join(BUILD, "bench", "read_floor")
CORPUS = os.path.join(ROOT, "..", "shared", "corpus")


def sample_jpeg():
    location = importlib.util.spec_from_file_location(
        "make_sample", os.path.join(ROOT, "scripts", "make-sample-image.py"))
    module = importlib.util.module_from_spec(location)
    location.loader.exec_module(module)
    return module.jpeg()


def bmp(width, height):
    row = (width * 3 + 3) // 4 * 4
    pixels = bytes(row * height)
    return (b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0) +
            pixels)


def pcx(width, height):
    header = struct.pack("<BBBBHHHHHH", 10, 5, 1, 8, 0, 0, width - 1, height - 1, 72, 72)
    header += bytes(48) + struct.pack("<BBHH", 0, 1, (width + 1) // 2 * 2, 1) + bytes(58)
    pixels = bytes([0xC1, 0]) * (((width + 1) // 2 * 2) * height)
    return header + pixels + b"\x0c" + bytes(768)  # 8-bit images end with a 256-colour palette


def gif(width, height):
    return (b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0) + bytes(6) +
            b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02\x02\x44\x01\x00;")


def png(width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(width) for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0,
                                                               0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def make_images(folder, count):
    jpeg = sample_jpeg()
    makers = [("bmp", bmp), ("pcx", pcx), ("gif", gif), ("png", png), ("jpg", None)]
    for i in range(count):
        extension, make = makers[i % len(makers)]
        width, height = 8 + i % 24, 8 + i % 16
        data = jpeg if make is None else make(width, height)
        with open(os.path.join(folder, f"image{i:05d}.{extension}"), "wb") as f:
            f.write(data)


def best_of_three(command, **kwargs):
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
    best = None
    for _ in range(3):
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    return best


def floor_seconds(files, scratch):
    listing = os.path.join(scratch, "files.txt")
    with open(listing, "w") as f:
        f.write("\n".join(files) + "\n")
    out = [float(subprocess.run([FLOOR, listing], capture_output=True, text=True).stdout)
           for _ in range(4)]
    return min(out[1:])


def report(title, files, floor, runs):
    n = len(files)
    print(f"\n{title}: {n} files; floor {floor / n * 1e6:.1f} us per file")
    print(f"  {'tool':40} {'us/file':>10} {'x floor':>8}")
    for name, seconds in runs:
        if seconds is None:
            print(f"  {name:40} {'(not installed)':>19}")
        else:
            print(f"  {name:40} {seconds / n * 1e6:10.1f} {seconds / floor:8.1f}")


def pillow_python():
    """A python3 that has Pillow (Debian's python3-pil is for /usr/bin/python3), or None."""
    for python in (sys.executable, "/usr/bin/python3"):
        if os.path.exists(python) and subprocess.run(
                [python, "-c", "import PIL"], capture_output=True).returncode == 0:
            return python
    return None


def pillow_sizes(python, files, scratch):
    script = os.path.join(scratch, "pillow_sizes.py")
    with open(script, "w") as f:
        f.write("import sys\nfrom PIL import Image\n"
                "for p in open(sys.argv[1]).read().split('\\n'):\n"
                "    if p:\n        with Image.open(p) as im: im.size\n")
    return [python, script, os.path.join(scratch, "files.txt")]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--keep", help="make the images in this folder and keep them")
    parser.add_argument("--corpus-repeat", type=int, default=10,
                        help="list each corpus JPEG this many times, so that start-up costs "
                             "spread as over a large folder")
    args = parser.parse_args()
    for tool in (PIXELFOLD, FLOOR):
        if not os.path.exists(tool):
            sys.exit(f"{tool} is missing: build with cmake --build --preset native")

    scratch = tempfile.mkdtemp(prefix="pixelfold-bench-")
    folder = args.keep or os.path.join(scratch, "images")
    os.makedirs(folder, exist_ok=True)
    make_images(folder, args.files)
    files = sorted(os.path.join(folder, f) for f in os.listdir(folder))
    floor = floor_seconds(files, scratch)
    which = shutil.which
    runs = [("pixelfold --json (size names)",
             best_of_three([PIXELFOLD, "--json", "--names", "Width,Height,Color Depth", folder]))]
    runs.append(("identify -ping", best_of_three(
        ["identify", "-ping", "-format", "%w %h %z\\n"] + files) if which("identify") else None))
    runs.append(("exiftool -fast2", best_of_three(
        ["exiftool", "-fast2", "-j", "-ImageWidth", "-ImageHeight", "-BitsPerSample", "-r",
         folder]) if which("exiftool") else None))
    python = pillow_python()
    runs.append(("Pillow Image.open().size",
                 best_of_three(pillow_sizes(python, files, scratch)) if python else None))
    report("Size names over synthesized images", files, floor, runs)

    jpegs = sorted(os.path.join(d, f) for d, _, names in os.walk(CORPUS) for f in names
                   if f.lower().endswith(".jpg")) if os.path.isdir(CORPUS) else []
    jpegs = jpegs * args.corpus_repeat
    if jpegs:
        floor = floor_seconds(jpegs, scratch)
        runs = [("pixelfold --json (all names)", best_of_three([PIXELFOLD, "--json"] + jpegs))]
        runs.append(("exiv2 -pa", best_of_three(["exiv2", "-pa"] + jpegs)
                     if which("exiv2") else None))
        runs.append(("exiftool -j -n", best_of_three(["exiftool", "-j", "-n"] + jpegs)
                     if which("exiftool") else None))
        report("All names over the corpus JPEGs", jpegs, floor, runs)
    if not args.keep:
        shutil.rmtree(scratch)


if __name__ == "__main__":
    main()
