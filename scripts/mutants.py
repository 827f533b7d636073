#!/usr/bin/env python3
"""Mutation testing: plants one small fault at a time in the product code, rebuilds, runs the
native tests, and reports which faults no test caught.

    python3 scripts/mutants.py [--n N] [--seed S]      # a random sample of N sites (default 50)
    python3 scripts/mutants.py --changed BASE          # every site in the files changed since BASE
    python3 scripts/mutants.py --list                  # count the sites, plant nothing
    python3 scripts/mutants.py --retest ...            # the same sample, survivors tried again

Run it in a clone or worktree of its own: it refuses a tree with uncommitted changes, since it
edits the sources in place (one at a time, each restored before the next). It builds in
build/mutants (configured like the native preset, without the package tests) and keeps its
results in build/mutants/results.json, so that a run stopped by Ctrl-C or a crash resumes where
it stopped; a fault still planted when a run starts is taken out first.

Faults: a comparison or arithmetic operator swapped, && and || swapped, an integer constant
changed (n to n + 1, 1 to 0), a returned boolean inverted, a statement removed, an if's
condition negated. A fault that does not build is stillborn. One that builds is caught when a
test fails or times out, and survives otherwise. Survivors that cannot change behaviour are
listed, with why, in scripts/mutants-equivalent.txt (one line each: the site's key, a tab, the
reason) and counted apart. The report gives per folder the sites, sampled, stillborn, caught,
survived and equivalent, and every survivor with its line.
"""
import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "mutants")
RESULTS = os.path.join(BUILD, "results.json")
PLANTED = os.path.join(BUILD, "planted.json")
EQUIVALENT = os.path.join(ROOT, "scripts", "mutants-equivalent.txt")
FOLDERS = ["probe", "bytes", "metadata", "plugin", "module", "com", "common", "platform",
           "include/pixelfold", "tools"]
LEFT_OUT = ["platform/windows/"]  # built for Windows only: no native test can see it
SOURCE = re.compile(r"\.(c|cpp|h|hpp)$")
TEST_TIMEOUT = 120  # seconds for the whole test run of one fault
BUILD_TIMEOUT = 900


def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, capture_output=True, text=True,
                          check=True).stdout


def compiled_sources():
    """The source files the native build compiles (headers aside), or None before it is
    configured: a fault in a file it does not compile (one built for Windows only) could only
    survive."""
    database = os.path.join(BUILD, "compile_commands.json")
    if not os.path.exists(database):
        return None
    with open(database) as f:
        return {os.path.relpath(os.path.realpath(entry["file"]), ROOT) for entry in json.load(f)}


def product_files(only=None):
    compiled = compiled_sources()
    files = []
    for path in git("ls-files", *FOLDERS).splitlines():
        if not SOURCE.search(path) or any(path.startswith(p) for p in LEFT_OUT):
            continue
        if compiled is not None and not path.endswith((".h", ".hpp")) and path not in compiled:
            continue
        if only is None or path in only:
            files.append(path)
    return files


def masked(text):
    """The text with comments, string and character literals and preprocessor lines blanked
    (same length, line breaks kept), so that faults are planted in code only."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and text[i:].lstrip(" \t").startswith("#"):
            j = text.find("\n", i)
            j = n if j < 0 else j
            while j > 0 and text[j - 1] == "\\" and j < n:  # continued lines
                j = text.find("\n", j + 1)
                j = n if j < 0 else j
            for k in range(i, j):
                out[k] = " "
            i = j
            continue
        line_start = c == "\n"
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c == '"' or c == "'":
            raw = c == '"' and i > 0 and text[i - 1] == "R"
            if raw:
                close = ")" + text[i + 1:text.index("(", i)] + '"'
                j = text.find(close, i) + len(close)
            else:
                j = i + 1
                while j < n and text[j] != c:
                    j += 2 if text[j] == "\\" else 1
                j += 1
        else:
            i += 1
            continue
        for k in range(i, min(j, n)):
            if out[k] != "\n":
                out[k] = " "
        i = j
    return blank_windows_only("".join(out), text)


WINDOWS_IF = re.compile(r"\s*#\s*(?:ifdef\s+_WIN32|if\s+defined\s*\(?\s*_WIN32\s*\)?)\s*$")
NOT_WINDOWS_IF = re.compile(
    r"\s*#\s*(?:ifndef\s+_WIN32|if\s+!\s*defined\s*\(?\s*_WIN32\s*\)?)\s*$")
DIRECTIVE = re.compile(r"\s*#\s*(if|ifdef|ifndef|elif|else|endif)\b")


def blank_windows_only(masked_text, text):
    """`masked_text` with the lines that only a Windows build compiles blanked too: those in
    the _WIN32 branch of an #if on _WIN32 alone (the native build cannot see a fault there)."""
    lines = masked_text.split("\n")
    # Per open #if: (whether its current branch is Windows only, whether its #else would be).
    stack = []
    for number, line in enumerate(text.split("\n")):
        directive = DIRECTIVE.match(line)
        if directive:
            kind = directive.group(1)
            if kind.startswith("if"):
                stack.append((bool(WINDOWS_IF.match(line)), bool(NOT_WINDOWS_IF.match(line))))
            elif kind == "endif":
                if stack:
                    stack.pop()
            elif stack:
                _, else_is_windows = stack[-1]
                stack[-1] = (kind == "else" and else_is_windows, False)
            continue
        if any(windows for windows, _ in stack):
            lines[number] = " " * len(lines[number])
    return "\n".join(lines)


SWAPS = [
    ("comparison", r" == ", " != "), ("comparison", r" != ", " == "),
    ("comparison", r" < ", " <= "), ("comparison", r" <= ", " < "),
    ("comparison", r" > ", " >= "), ("comparison", r" >= ", " > "),
    ("arithmetic", r" \+ ", " - "), ("arithmetic", r" - ", " + "),
    ("arithmetic", r" \* ", " / "), ("arithmetic", r" / ", " * "),
    ("arithmetic", r" \+= ", " -= "), ("arithmetic", r" -= ", " += "),
    ("logical", r" && ", " || "), ("logical", r" \|\| ", " && "),
    ("boolean", r"\breturn true;", "return false;"), ("boolean", r"\breturn false;", "return true;"),
]
CONSTANT = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)(?![\w.'])")
STATEMENT = re.compile(r"^(\s+)((?:[A-Za-z_][\w:]*(?:\.|->))*[A-Za-z_][\w:]*"
                       r"(?:\(.*\)|\s*(?:\+\+|--|[-+*/|&]?=) .*));\s*$")
NOT_STATEMENTS = ("return ", "const ", "auto ", "static ", "using ", "constexpr ", "inline ",
                  "break", "continue", "case ", "default", "throw", "delete ")
IF = re.compile(r"\bif \(")


def sites_in(path):
    """Every fault that can be planted in `path`: (key, line, column, old, new, operator)."""
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        text = f.read()
    code = masked(text)
    found = []
    for name, pattern, replacement in SWAPS:
        for m in re.finditer(pattern, code):
            found.append((m.start(), m.end(), replacement, name))
    for m in CONSTANT.finditer(code):
        literal = text[m.start():m.end()]
        if literal.lower().startswith("0x"):
            new = hex(int(literal, 16) + 1)
        elif len(literal) > 1 and literal.startswith("0"):  # octal
            new = "0" + format(int(literal, 8) + 1, "o")
        else:
            new = "0" if literal == "1" else str(int(literal) + 1)
        found.append((m.start(), m.end(), new, "constant"))
    offset = 0
    for line in code.split("\n"):
        m = STATEMENT.match(line)
        if m and not m.group(2).startswith(NOT_STATEMENTS) and line.rstrip().endswith(";"):
            start = offset + len(m.group(1))
            found.append((start, offset + len(line.rstrip()), ";", "statement"))
        offset += len(line) + 1
    for m in IF.finditer(code):
        depth, j = 1, m.end()
        while j < len(code) and depth:
            depth += {"(": 1, ")": -1}.get(code[j], 0)
            j += 1
        condition = text[m.end():j - 1]
        found.append((m.end(), j - 1, "!(" + condition + ")", "negation"))
    sites = []
    for start, end, new, name in found:
        line = text.count("\n", 0, start) + 1
        column = start - (text.rfind("\n", 0, start) + 1) + 1
        old = text[start:end]
        key = f"{path}:{line}:{column}:{name}:{old.strip()}->{new.strip()}"
        sites.append({"key": key, "path": path, "line": line, "start": start, "end": end,
                      "old": old, "new": new, "operator": name})
    return sites


def folder_of(path):
    for folder in sorted(FOLDERS, key=len, reverse=True):
        if path.startswith(folder + "/"):
            return folder
    return os.path.dirname(path)


def load(path, default):
    if os.path.exists(path):
        with open(path) as f:
            return json.load(f)
    return default


def save(path, value):
    with open(path + ".new", "w") as f:
        json.dump(value, f, indent=1)
    os.replace(path + ".new", path)


def restore_planted():
    """Takes out a fault a stopped run left planted."""
    planted = load(PLANTED, None)
    if planted:
        with open(os.path.join(ROOT, planted["path"]), "w", encoding="utf-8") as f:
            f.write(planted["original"])
        os.remove(PLANTED)
        print(f"restored {planted['path']}, left planted by a stopped run")


def configure():
    # Also a build folder configured without the list of compiled files, which product_files
    # needs to leave out what only Windows builds.
    if not os.path.exists(os.path.join(BUILD, "compile_commands.json")):
        subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release",
                        "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON", "-DPIXELFOLD_PACKAGE_TESTS=OFF"],
                       check=True, stdout=subprocess.DEVNULL)


def build():
    try:
        return subprocess.run(["cmake", "--build", BUILD, "-j", str(os.cpu_count() or 2)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=BUILD_TIMEOUT).returncode == 0
    except subprocess.TimeoutExpired:
        return False


def tests_pass():
    try:
        return subprocess.run(["ctest", "--test-dir", BUILD, "-E", "^installer\\.",
                               "-j", str(os.cpu_count() or 2), "--stop-on-failure",
                               "--timeout", str(TEST_TIMEOUT)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=TEST_TIMEOUT * 3).returncode == 0
    except subprocess.TimeoutExpired:
        return False


def try_site(site):
    path = os.path.join(ROOT, site["path"])
    with open(path, encoding="utf-8") as f:
        original = f.read()
    save(PLANTED, {"path": site["path"], "original": original})
    try:
        with open(path, "w", encoding="utf-8") as f:
            f.write(original[:site["start"]] + site["new"] + original[site["end"]:])
        if not build():
            return "stillborn"
        return "survived" if tests_pass() else "caught"
    finally:
        with open(path, "w", encoding="utf-8") as f:
            f.write(original)
        os.remove(PLANTED)


def report(all_sites, chosen, results, equivalent):
    rows = {}
    for site in all_sites:
        rows.setdefault(folder_of(site["path"]), [0, 0, 0, 0, 0, 0])[0] += 1
    survivors = []
    for site in chosen:
        result = results.get(site["key"])
        if result is None:
            continue
        row = rows[folder_of(site["path"])]
        row[1] += 1
        if result == "survived" and site["key"] in equivalent:
            row[5] += 1
        else:
            row[{"stillborn": 2, "caught": 3, "survived": 4}[result]] += 1
            if result == "survived":
                survivors.append(site)
    print(f"\n{'folder':20} {'sites':>6} {'sampled':>8} {'stillborn':>10} {'caught':>7} "
          f"{'survived':>9} {'equivalent':>11} {'score':>6}")
    totals = [0] * 6
    for folder, row in sorted(rows.items()):
        totals = [a + b for a, b in zip(totals, row)]
        built = row[3] + row[4]
        score = f"{100 * row[3] / built:.0f}%" if built else "-"
        print(f"{folder:20} {row[0]:>6} {row[1]:>8} {row[2]:>10} {row[3]:>7} {row[4]:>9} "
              f"{row[5]:>11} {score:>6}")
    built = totals[3] + totals[4]
    print(f"{'all':20} {totals[0]:>6} {totals[1]:>8} {totals[2]:>10} {totals[3]:>7} "
          f"{totals[4]:>9} {totals[5]:>11} {(f'{100 * totals[3] / built:.0f}%' if built else '-'):>6}")
    if survivors:
        print("\nsurvivors (not caught by any test, not listed as equivalent):")
        for site in survivors:
            print(f"  {site['key']}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=50, help="sites to sample")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--changed", metavar="BASE",
                        help="every site of the product files changed since BASE")
    parser.add_argument("--list", action="store_true", help="count the sites and stop")
    parser.add_argument("--retest", action="store_true",
                        help="try again the sampled faults that survived (after new tests)")
    args = parser.parse_args()

    os.makedirs(BUILD, exist_ok=True)
    restore_planted()
    if git("status", "--porcelain", "--untracked-files=no").strip():
        sys.exit("mutants.py: the tree has uncommitted changes; run it in a clean clone or "
                 "worktree of its own (it edits the sources)")
    only = None
    if args.changed:
        only = set(git("diff", "--name-only", args.changed, "--").splitlines())
    if not args.list:
        configure()
    all_sites = [s for path in product_files() for s in sites_in(path)]
    if args.list:
        counts = {}
        for s in all_sites:
            counts[folder_of(s["path"])] = counts.get(folder_of(s["path"]), 0) + 1
        for folder, count in sorted(counts.items()):
            print(f"{folder:20} {count:>6}")
        print(f"{'all':20} {len(all_sites):>6}")
        return
    if only is not None:
        chosen = [s for s in all_sites if s["path"] in only]
    else:
        chosen = random.Random(args.seed).sample(all_sites, min(args.n, len(all_sites)))
    equivalent = {}
    if os.path.exists(EQUIVALENT):
        with open(EQUIVALENT, encoding="utf-8") as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    key, _, why = line.rstrip("\n").partition("\t")
                    equivalent[key] = why
    results = load(RESULTS, {})
    if args.retest:
        for site in chosen:
            if results.get(site["key"]) == "survived":
                del results[site["key"]]
    if not build() or not tests_pass():
        sys.exit("mutants.py: the unchanged tree does not build or pass its tests")
    # Ctrl-C ends the site in hand cleanly (its file restored), then stops.
    signal.signal(signal.SIGINT, signal.default_int_handler)
    todo = [s for s in chosen if s["key"] not in results]
    started = time.monotonic()
    try:
        for i, site in enumerate(todo, 1):
            result = try_site(site)
            results[site["key"]] = result
            save(RESULTS, results)
            mean = (time.monotonic() - started) / i
            print(f"[{i}/{len(todo)}] {result:9} {site['key']}  ({mean:.0f} s a site)", flush=True)
    except KeyboardInterrupt:
        print("\nstopped; run again to go on where it stopped")
    build()  # the tree as committed again
    report(all_sites, chosen, results, equivalent)


if __name__ == "__main__":
    main()
