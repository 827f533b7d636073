#!/usr/bin/env python3
"""The worst files for the property item readers against an ordinary camera JPEG, in one run.

    python3 bench/hostile_files.py [--runs N] [--pixelfold PROGRAM]

Writes the files (bench/write_hostile_files), then times one whole
`pixelfold --json --names PropertyTagEquipMake FILE` per file (one name loads every item, and
the output stays small), the best of N runs (default 20), and prints each file's time and its
ratio to the camera JPEG's. Build first: cmake --build --preset native.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "native")


def best_run(command, runs):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        best = min(best, time.perf_counter() - start)
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--pixelfold", default=os.path.join(BUILD, "pixelfold"))
    args = parser.parse_args()
    writer = os.path.join(BUILD, "bench", "write_hostile_files")
    for program in (writer, args.pixelfold):
        if not os.access(program, os.X_OK):
            sys.exit(f"hostile_files.py: {program} is not built")

    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([writer, folder], check=True)
        names = ["camera.jpg"] + sorted(n for n in os.listdir(folder) if n != "camera.jpg")
        times = {}
        for name in names:
            command = [args.pixelfold, "--json", "--names", "PropertyTagEquipMake",
                       os.path.join(folder, name)]
            times[name] = best_run(command, args.runs)
        print(f"| file | bytes | ms | x camera.jpg |")
        print(f"| --- | ---: | ---: | ---: |")
        for name in names:
            size = os.path.getsize(os.path.join(folder, name))
            print(f"| {name} | {size:,} | {times[name] * 1000:.2f} | "
                  f"{times[name] / times['camera.jpg']:.1f} |")


if __name__ == "__main__":
    main()
