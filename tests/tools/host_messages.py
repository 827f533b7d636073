#!/usr/bin/env python3
"""The reference host never loses a name, file or folder without saying so: each case with its
exit status, what standard error says and what standard output keeps.

Usage: host_messages.py WORKDIR SAMPLE_JPEG HOST [EMULATOR...]
"""
import json
import os
import pty
import re
import shutil
import stat
import subprocess
import sys

workdir, sample = sys.argv[1], sys.argv[2]
command = sys.argv[4:] + [sys.argv[3]]
windows = len(sys.argv) > 4  # under Wine: no FIFOs, no permissions, no terminal, and GDI+
# gives no EXIF for a JPEG
failures = []


def run(*args, stdin=None, user=None):
    done = subprocess.run(command + list(args), cwd=workdir, input=stdin, capture_output=True,
                          timeout=120, user=user)
    # Text mode on Windows ends lines in CR LF.
    text = [s.decode(errors="replace").replace("\r\n", "\n") for s in (done.stdout, done.stderr)]
    return done.returncode, text[0], text[1]


def write(path, data=b""):
    path = os.path.join(workdir, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


shutil.rmtree(workdir, ignore_errors=True)
with open(sample, "rb") as f:
    jpeg = f.read()
write("sample.jpg", jpeg)
write("photos/a.jpg", jpeg)
write("photos/b.JPEG", jpeg)
write("photos/notes.txt", b"notes")
write("others/c.jpeg", jpeg)
write("others/d.tif", b"II*\0")
write("single/readme.txt", b"one file")
write("lists/lines.txt", b"sample.jpg\nphotos/a.jpg\n")
write("lists/zeros.txt", b"sample.jpg\0photos/a.jpg\0")
if not windows:
    os.mkfifo(os.path.join(workdir, "photos/pipe.bmp"))

# (arguments, exit status, regular expressions standard error must match, what standard output
# must hold, what it must not)
cases = [
    # Names: blanks, case, the standard's names, mistakes.
    (["--json", "--names", " width , DateTimeOriginal,Model,WIDTH", "sample.jpg"], 0, [],
     ['"values":{"width":16,"DateTimeOriginal":"2021-07-14T09:05:33","Model":"Sample Camera"}'
      if not windows else '"values":{"width":16}'], ["WIDTH"]),
    (["--names", "Width,DateTaken,Lat", "sample.jpg"], 2,
     ["^pixelfold: --names: no such name 'DateTaken'; the nearest are DateTime, PageName, "
      "DotRange \\(pixelfold --list-names",
      "\npixelfold: --names: no such name 'Lat'; the nearest are GPSLatitude, GPSLatitudeRef, "
      "GPSDestLatitude "], [], ["16"]),
    (["--names", "", "sample.jpg"], 2, ["^pixelfold: --names: no name given"], [], []),
    (["--names", "Width,,Height", "sample.jpg"], 2, ["^pixelfold: --names: name 2 is empty"],
     [], []),
    (["--csv", "--names", "Width,width,Color depth", "sample.jpg"], 0, [],
     ["path,Width,Color depth,error\nsample.jpg,16,8,\n"], []),
    # Paths: missing whatever the name, notes for what is not read, the rest goes on.
    (["--names", "Width", "Pictures", "sample.jpg"], 1,
     ["^pixelfold: Pictures: FILE_E_NOT_FOUND \\(0x80040213\\): no such file or folder\n$"],
     ["sample.jpg\n  Width  16"], []),
    (["--json", "--names", "Width", "Pictures"], 1, [],
     ['{"path":"Pictures","error":{"hresult":"0x80040213","name":"FILE_E_NOT_FOUND",'
      '"message":"no such file or folder"}}'], []),
    (["--names", "Width,PropertyTagEquipMake", "others/c.jpeg"], 0,
     ["^pixelfold: others/c.jpeg: Width, Height and Color Depth are not read for this extension"],
     ["Width                 0\n  PropertyTagEquipMake  Pixelfold" if not windows else "Width  0"],
     []),
    (["--json", "--names", "Width", "others"], 0,
     ["^pixelfold: others: 2 files, none with an extension the plug-in reads \\(bmp, pcx, jpg, "
      "gif and png\\); name a file to read it anyway\n$"], [], ["path"]),
    (["--names", "Width", "single"], 0, ["^pixelfold: single: 1 file, none with"], [], []),
    (["--summary", "--names", "Width", "photos", "others"], 0,
     ["^pixelfold: others: 2 files, none with",
      "\npixelfold: 1 file read, 0 could not be read, " +
      ("5 skipped \\(2 .jpeg, 1 .tif, 1 .txt, 1 not a regular file\\)" if not windows else
       "4 skipped \\(2 .jpeg, 1 .tif, 1 .txt\\)") + ", [0-9.]+ s\n$"], ["a.jpg"], []),
    # Lists.
    (["--names", "Width", "--files-from", "lists/missing.txt"], 2,
     ["^pixelfold: --files-from: cannot read the list lists/missing.txt: [a-z]"], [], []),
    (["--names", "Width", "--files-from", "lists/zeros.txt"], 2,
     ["^pixelfold: --files-from lists/zeros.txt: the list holds a NUL byte.*add --null\n$"], [],
     ["Width"]),
    (["--names", "Width", "--files-from", "lists/lines.txt"], 0, [],
     ["sample.jpg\n  Width  16\nphotos/a.jpg\n  Width  16\n"], []),
    # The command line.
    (["-j", "abc", "sample.jpg"], 2,
     ["^pixelfold: -j/--jobs: 'abc' is not a number of files from 1 to 1024\n$"], [], []),
    (["--no-such-option"], 2, ["^pixelfold: .*--no-such-option\nRun 'pixelfold --help'"], [], []),
    # A root-relative path (Windows takes it as a path, not as an option).
    (["--json", "--names", "Width", "/" + os.path.relpath(os.path.join(workdir, "sample.jpg"), "/")
      .replace(os.sep, "/")], 0, [], ['"values":{"Width":16}'], []),
]
for arguments, status, errors, outputs, absent in cases:
    got_status, out, err = run(*arguments)
    label = " ".join(arguments)
    if got_status != status:
        failures.append(f"{label}: exit status {got_status}, expected {status}; stderr {err!r}")
    for pattern in errors:
        if not re.search(pattern, err):
            failures.append(f"{label}: standard error {err!r} lacks {pattern!r}")
    for text in outputs:
        if text not in out:
            failures.append(f"{label}: standard output {out!r} lacks {text!r}")
    for text in absent:
        if text in out:
            failures.append(f"{label}: standard output {out!r} has {text!r}")

# -j 4 prints what -j 1 prints, notes and summary included (its time aside).
runs = [run("-j", jobs, "--summary", "--names", "Width", "Pictures", "photos", "others",
            "others/c.jpeg", "sample.jpg") for jobs in ("1", "4")]
same = [(s, o, re.sub(r"[0-9.]+ s\n$", "", e)) for s, o, e in runs]
if same[0] != same[1] or same[0][0] != 1:
    failures.append(f"-j 4 differs from -j 1, or the status is not 1: {runs}")

# A folder, or the folder of a file, that cannot be read: as a user without the right.
user = None
if not windows and os.geteuid() == 0:
    user = 65534  # nobody: the build and the work folder are readable by all
if not windows and (user is not None or os.geteuid() != 0):
    write("private/inside.jpg", jpeg)
    write("walked/private/inside.jpg", jpeg)
    for folder in (workdir, os.path.join(workdir, "photos"), os.path.join(workdir, "others"),
                   os.path.join(workdir, "walked")):
        os.chmod(folder, 0o755)
    for private in ("private", "walked/private"):
        os.chmod(os.path.join(workdir, private), 0)
    status, out, err = run("--names", "Width", "private", "private/inside.jpg", "walked",
                           "sample.jpg", user=user)
    expected = ["pixelfold: private: E_ACCESSDENIED (0x80070005): cannot read the folder: "
                "permission denied",
                "pixelfold: private/inside.jpg: FILE_E_NOT_FOUND (0x80040213): cannot be opened: "
                "permission denied",
                "pixelfold: walked/private: E_ACCESSDENIED (0x80070005): cannot read the folder: "
                "permission denied"]
    if status != 1 or err.splitlines() != expected or "sample.jpg\n  Width  16" not in out:
        failures.append(f"unreadable folder: status {status}, stderr {err!r}, stdout {out!r}")
    for private in ("private", "walked/private"):
        os.chmod(os.path.join(workdir, private), 0o755)
else:
    print("skipped: no user without rights to run as here")

# Output that cannot be written is an error, not a success.
if not windows:
    with open("/dev/full", "wb") as full:
        status = subprocess.run(command + ["--names", "Width", "sample.jpg"], cwd=workdir,
                                stdout=full, stderr=subprocess.PIPE)
    if status.returncode != 2 or b"pixelfold: standard output cannot be written: no space" \
            not in status.stderr:
        failures.append(f"a full disk: status {status.returncode}, {status.stderr!r}")

# On a terminal the progress line never shares a line with output.
if not windows:
    for i in range(20):
        write(f"many/{i:02}.jpg", jpeg)
    def on_terminal(jobs):
        main, secondary = pty.openpty()
        host = subprocess.Popen(command + ["-j", jobs, "--names", "Width", "many"], cwd=workdir,
                                stdout=secondary, stderr=secondary)
        os.close(secondary)
        captured = b""
        while True:
            try:
                chunk = os.read(main, 65536)
            except OSError:
                break
            if not chunk:
                break
            captured += chunk
        host.wait(timeout=60)
        os.close(main)
        shown = []
        for raw in captured.decode().replace("\r\n", "\n").split("\n"):
            line = ""
            for part in raw.split("\r"):  # a carriage return writes over the line from its start
                line = part + line[len(part):]
            shown.append(line.rstrip())
        expected = [line for i in range(20) for line in (f"many/{i:02}.jpg", "  Width  16")]
        if shown[:-1] != expected or shown[-1] != "":
            failures.append(f"progress on a terminal, -j {jobs}: {shown[:6]} ... {shown[-3:]}")
        return captured

    # Two readers: the walk runs ahead on its own thread, so the total is known before the end.
    captured = on_terminal("2")
    if b" of 20 files, 100%" not in captured:
        failures.append(f"progress: no total: {captured[-200:]!r}")
    # One reader walks and reads in turn: the total is never known, the rate is shown instead.
    captured = on_terminal("1")
    if not re.search(rb"\r\d+ files, \d+ files/s", captured):
        failures.append(f"progress without a total: {captured[-200:]!r}")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(cases)} cases" + (f", {len(failures)} failed" if failures else ", all passed"))
sys.exit(1 if failures else 0)
