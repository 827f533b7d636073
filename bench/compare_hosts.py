#!/usr/bin/env python3
"""The reference host against the tools a user would pick instead, per file, in one run.

    python3 bench/compare_hosts.py [--files N] [--keep FOLDER]

Makes a folder of N small images (default 10,000) of the five formats, then times, over it:
the floor (open, read 64 bytes, close; bench/read_floor), `pixelfold --json --names
Width,Height,"Color Depth"`, and, when installed, `identify -ping`, `exiftool -fast2` and
Pillow's lazy `Image.open(...).size` in one python3 process. Then, over the JPEGs of
../shared/corpus when present: the floor, `pixelfold --json` with all names, `exiv2 -pa` and
`exiftool -j -n` (each file listed --corpus-repeat times). Each is run once to warm the page
cache and then timed as the best of three; pixelfold with -j 1, -j 2 and its default threads.

With --against BUILD_DIR (another checkout's build/native), that build's pixelfold is run
beside this one in every pixelfold row, in the same run, and each pair is also given as the
ratio of this build to that one: the figure a change to the host or a reader reports.

Slow storage: --slow-files of the images are shown through bench/slow_fs, which waits
--delay-ms before every open and every read, as a network share does, and read with all names
by pixelfold -j 1 and -j 8, exiftool and exiv2, once each. Skipped when /dev/fuse cannot be
used. Last, the peak memory (max RSS) of pixelfold -j 8 over --memory-files tiny images.
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
SLOW_FS = os.path.join(BUILD, "bench", "slow_fs")
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


def table(runs, headings, columns):
    """One row per run: its name and `columns(seconds)`, or that the tool is not installed."""
    print(f"  {'tool':40} {headings[0]:>10} {headings[1]:>8}")
    for name, seconds in runs:
        if seconds is None:
            print(f"  {name:40} {'(not installed)':>19}")
        else:
            first, second = columns(seconds)
            print(f"  {name:40} {first:>10} {second:>8}")


def report(title, files, floor, runs):
    n = len(files)
    print(f"\n{title}: {n} files; floor {floor / n * 1e6:.1f} us per file")
    table(runs, ("us/file", "x floor"),
          lambda seconds: (f"{seconds / n * 1e6:.1f}", f"{seconds / floor:.1f}"))
    ratios(runs)


AGAINST = " [against]"


def ratios(runs):
    """For each pixelfold row timed with --against too: this build's time over that one's."""
    seconds = dict(runs)
    pairs = [(name, seconds[name + AGAINST]) for name, _ in runs
             if seconds.get(name + AGAINST) and seconds.get(name)]
    for name, theirs in pairs:
        print(f"  {name}: this build / the other = {seconds[name] / theirs:.2f}")


def both(name, command, measure, against):
    """`command` (its first word the pixelfold to run) timed by `measure`, and with --against
    the other build's pixelfold beside it."""
    runs = [(name, measure(command))]
    if against:
        runs.append((name + AGAINST, measure([os.path.join(against, "pixelfold")] + command[1:])))
    return runs


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


JOBS = [(" -j 1", ["-j", "1"]), (" -j 2", ["-j", "2"]), (" default -j", [])]


def timed(command, **kwargs):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
    return time.perf_counter() - start


def slow_storage(files, delay_ms, scratch, against):
    """All names through a file system that waits before each open and read."""
    if not files:
        return
    if not os.path.exists(SLOW_FS):
        print(f"\nSlow storage: skipped, {SLOW_FS} is not built (apt-get install libfuse3-dev "
              "fuse3, then configure again)")
        return
    source = os.path.join(scratch, "slow-source")
    mount = os.path.join(scratch, "slow")
    os.makedirs(source)
    os.makedirs(mount)
    for f in files:
        shutil.copy(f, source)
    server = subprocess.Popen([SLOW_FS, source, str(int(delay_ms * 1000)), mount, "-f"],
                              stderr=subprocess.DEVNULL)
    for _ in range(100):
        if os.path.ismount(mount):
            break
        time.sleep(0.05)
    if not os.path.ismount(mount):
        server.kill()
        print("\nSlow storage: skipped, /dev/fuse cannot be used here")
        return
    try:
        names = sorted(os.listdir(mount))
        listed = [os.path.join(mount, n) for n in names]
        which = shutil.which
        runs = both("pixelfold --json (all names) -j 1", [PIXELFOLD, "--json", "-j", "1", mount],
                    timed, against)
        runs += both("pixelfold --json (all names) -j 8", [PIXELFOLD, "--json", "-j", "8", mount],
                     timed, against)
        runs += [("exiftool -j -n", timed(["exiftool", "-j", "-n", "-r", mount])
                 if which("exiftool") else None),
                ("exiv2 -pa", timed(["exiv2", "-pa"] + listed) if which("exiv2") else None)]
        n = len(listed)
        print(f"\nSlow storage: {n} files, {delay_ms:g} ms before each open and each read")
        table(runs, ("ms/file", "seconds"),
              lambda seconds: (f"{seconds / n * 1e3:.2f}", f"{seconds:.2f}"))
        ratios(runs)
        seconds = dict(runs)
        one, eight = (seconds[f"pixelfold --json (all names) -j {j}"] for j in (1, 8))
        print(f"  -j 8 is {one / eight:.1f} times as fast as -j 1")
    finally:
        subprocess.run(["fusermount3", "-u", mount])
        server.wait()


def peak_memory(count, scratch):
    """Max RSS of pixelfold over many tiny files: flat, whatever their number."""
    if count == 0:
        return
    folder = os.path.join(scratch, "many")
    os.makedirs(folder)
    tiny = gif(1, 1)
    for i in range(count):
        with open(os.path.join(folder, f"{i:06d}.gif"), "wb") as f:
            f.write(tiny)
    print(f"\nPeak memory over {count} files (pixelfold --json, all names)")
    for jobs in ("1", "8"):
        with open(os.devnull, "wb") as null:
            child = subprocess.Popen([PIXELFOLD, "--json", "-j", jobs, folder], stdout=null)
            _, _, usage = os.wait4(child.pid, 0)
        print(f"  -j {jobs}: max RSS {usage.ru_maxrss / 1024:.1f} MiB")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--keep", help="make the images in this folder and keep them")
    parser.add_argument("--corpus-repeat", type=int, default=10,
                        help="list each corpus JPEG this many times, so that start-up costs "
                             "spread as over a large folder")
    parser.add_argument("--slow-files", type=int, default=1000,
                        help="images read through the slow file system (0: none)")
    parser.add_argument("--delay-ms", type=float, default=1.0,
                        help="the slow file system's wait before each open and each read")
    parser.add_argument("--memory-files", type=int, default=100000,
                        help="tiny images for the peak memory of -j 8 (0: none)")
    parser.add_argument("--against", metavar="BUILD_DIR",
                        help="another build folder whose pixelfold is timed beside this one")
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
    runs = [run for label, jobs in JOBS for run in both(
        f"pixelfold --json (size names){label}",
        [PIXELFOLD, "--json", "--names", "Width,Height,Color Depth"] + jobs + [folder],
        best_of_three, args.against)]
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
        runs = [run for label, jobs in JOBS for run in both(
            f"pixelfold --json (all names){label}", [PIXELFOLD, "--json"] + jobs + jpegs,
            best_of_three, args.against)]
        runs.append(("exiv2 -pa", best_of_three(["exiv2", "-pa"] + jpegs)
                     if which("exiv2") else None))
        runs.append(("exiftool -j -n", best_of_three(["exiftool", "-j", "-n"] + jpegs)
                     if which("exiftool") else None))
        report("All names over the corpus JPEGs", jpegs, floor, runs)
    slow_storage(files[:args.slow_files], args.delay_ms, scratch, args.against)
    peak_memory(args.memory_files, scratch)
    if not args.keep:
        shutil.rmtree(scratch)


if __name__ == "__main__":
    main()
