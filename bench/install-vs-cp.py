#!/usr/bin/env python3
"""kivinstall against cp -r: the same files, the same file system, wall time.

Generates packages under a scratch directory (default: a new one under /tmp):
a flat one with N small files in one directory for each N given, and a nested
one (a tree of directories, or a copy of an existing tree with --tree), then
installs each with kivinstall into an empty target and copies its content
directory with `cp -r` into another, alternating which goes first (every run
into directories of its own, all removed at the end), and prints
the medians of the runs, the median of the paired runs' ratios, and the
ranges. Not part of `make test`; see docs/performance.md.

    bench/install-vs-cp.py [--kivinstall build/release/kivinstall]...
                           [--flat 1000,10000,100000] [--tree DIR] [--runs 3]
                           [--codepage 1252|932] [--keep]

--kivinstall given more than once times each build in the same runs (the
build before a change beside the changed one), each against the same cp -r.

With --codepage every generated name starts with characters outside ASCII, in
that code page's list.inf (932: ones whose second byte is a backslash), and
kivinstall reads the package in it.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# The start of every generated name, for each code page --codepage takes.
NAME_PREFIX = {"1252": "\u00c4rger", "932": "\u8868\u30bd\u30a2"}
SETUP = "[Setup]\r\nDEFAULTINSTALL=Standard\r\nStandard=Pack\r\n[Pack]\r\nTitle=Bench\r\nDefaultDir=C:\\Bench\r\n"


def write_package(package, files, codepage):
    """files: (relative path with "/", bytes); the content goes under data/."""
    lines = ["[Pack]", "Count=%d" % len(files)]
    for n, (relative, data) in enumerate(files, 1):
        path = os.path.join(package, "data", relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
        directory, _, name = relative.rpartition("/")
        dest = "$setupdir\\" + (directory.replace("/", "\\") + "\\" if directory else "")
        lines.append("FILE%d=data\\%s;%s;C;%d" % (n, relative.replace("/", "\\"), dest, n))
    with open(os.path.join(package, "setup.inf"), "w", newline="") as out:
        out.write(SETUP)
    with open(os.path.join(package, "list.inf"), "w", newline="", encoding="cp" + codepage) as out:
        out.write("\r\n".join(lines) + "\r\n")


def tree_files(root, codepage):
    """Every regular file of a tree whose path the package format can carry, lower-case
    directories (as the installer makes them), read whole."""
    files = []
    for directory, dirs, names in os.walk(root):
        dirs.sort()
        for name in sorted(names):
            path = os.path.join(directory, name)
            relative = os.path.relpath(path, root)
            if not os.path.isfile(path) or os.path.islink(path) or ";" in relative or len(relative) > 180:
                continue
            try:
                relative.encode("cp" + codepage)
                with open(path, "rb") as f:
                    files.append((relative, f.read()))
            except (UnicodeEncodeError, OSError):
                continue
    return files


def timed(command):
    start = time.monotonic()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - start


def drop(path):
    shutil.rmtree(path, ignore_errors=True)


def compare(kivinstalls, package, runs, scratch, codepage):
    # Every run writes into directories of its own, and nothing is removed
    # before all runs are done: ext4 without a journal (this machine's) gives
    # no inode out again for one to six minutes after its deletion and
    # searches past every such inode for each new file, which made a run that
    # followed a removal several times slower than one that did not,
    # whichever program it was.
    ours, theirs = [[] for _ in kivinstalls], []
    for run in range(runs):
        copy = os.path.join(scratch, "copy-%d" % run)
        steps = [lambda n=n: ours[n].append(timed([kivinstalls[n], "--codepage", codepage, "--accept-license", "--target",
                                                   os.path.join(scratch, "target-%d-%d" % (run, n)), package]))
                 for n in range(len(kivinstalls))]
        steps.append(lambda: theirs.append(timed(["cp", "-r", os.path.join(package, "data"), copy])))
        # Each starts on a disk with nothing left to write, so that none waits for another's files.
        for step in (steps if run % 2 == 0 else reversed(steps)):
            subprocess.run(["sync"])
            step()
    return ours, theirs


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kivinstall", action="append", help="the kivinstall to time (default build/release/kivinstall); "
                        "given again, each is timed in the same runs")
    parser.add_argument("--flat", default="1000,10000,100000")
    parser.add_argument("--size", type=int, default=100, help="bytes per file of the flat packages")
    parser.add_argument("--tree", help="a directory tree to package (default: a generated one)")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--codepage", choices=sorted(NAME_PREFIX))
    parser.add_argument("--scratch", help="where packages and copies go (default: a new directory in /tmp)")
    parser.add_argument("--keep", action="store_true",
                        help="leave the packages and copies in the scratch directory: after a removal of many files "
                             "ext4 (without a journal) is slower for some minutes, so a run right after one measures that")
    args = parser.parse_args()
    kivinstalls = [os.path.abspath(k) for k in args.kivinstall or ["build/release/kivinstall"]]
    for kivinstall in kivinstalls:
        if not os.access(kivinstall, os.X_OK):
            sys.exit("install-vs-cp: %s is not built (make release)" % kivinstall)
    scratch = args.scratch or tempfile.mkdtemp(prefix="kiv-bench-")
    try:
        cases = []
        # Without --codepage the names are ASCII, in a 1252 package.
        prefix = NAME_PREFIX[args.codepage] if args.codepage else ""
        args.codepage = args.codepage or "1252"
        for count in [int(n) for n in args.flat.split(",") if n]:
            cases.append(("flat %d x %d B" % (count, args.size),
                          [(prefix + "f%06d.dat" % n, b"k" * args.size) for n in range(count)]))
        if args.tree:
            files = tree_files(args.tree, args.codepage)
            cases.append(("tree %s (%d files, %.0f MB)" % (args.tree, len(files), sum(len(d) for _, d in files) / 1e6), files))
        else:
            files = [(prefix + "d%02d/s%02d/f%03d.dat" % (a, b, c), b"n" * (64 + 997 * c % 8000))
                     for a in range(20) for b in range(10) for c in range(25)]
            cases.append(("nested 20 x 10 directories, %d files" % len(files), files))
        # Medians, then the range of the runs; the ratio is the median of each run's pair.
        print("%-48s %10s %10s %7s  %s" % ("package", "kivinstall", "cp -r", "ratio", "ranges: kivinstall, cp -r, ratio"))
        for number, (name, files) in enumerate(cases):
            case = os.path.join(scratch, "case-%d" % number)
            package = os.path.join(case, "package")
            write_package(package, files, args.codepage)
            ours, theirs = compare(kivinstalls, package, args.runs, case, args.codepage)
            for kivinstall, times in zip(kivinstalls, ours):
                ratios = [a / b for a, b in zip(times, theirs)]
                print("%-48s %9.2fs %9.2fs %6.2fx  %.2f-%.2fs, %.2f-%.2fs, %.2f-%.2fx%s" % (
                    name, statistics.median(times), statistics.median(theirs), statistics.median(ratios),
                    min(times), max(times), min(theirs), max(theirs), min(ratios), max(ratios),
                    "  " + kivinstall if len(kivinstalls) > 1 else ""), flush=True)
    finally:
        if not args.keep:
            for number in range(len(cases)):
                drop(os.path.join(scratch, "case-%d" % number))
            if not args.scratch:
                drop(scratch)


if __name__ == "__main__":
    main()
