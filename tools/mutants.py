#!/usr/bin/env python3
"""Plants each fault of tools/mutants.txt in turn, rebuilds, runs the whole suite and puts the
file back; prints which faults the suite caught and which it let through.

usage: mutants.py ROOT BUILD [N | N-M ...]   (numbers of the faults to try; all by default)
"""
import os
import signal
import subprocess
import sys
from pathlib import Path


def read_list(path):
    faults = []
    for block in path.read_text(encoding="utf-8").split("\n\n"):
        lines = [l for l in block.splitlines() if l and not l.startswith("#")]
        if not lines:
            continue
        fault = {"file": lines[0].strip(), "find": None, "replace": "", "breaks": ""}
        for line in lines[1:]:
            mark, text = line[:1], line[2:].replace("\\n", "\n")
            key = {"-": "find", "+": "replace", "=": "breaks"}.get(mark)
            if key is None or line[1:2] not in ("", " "):
                sys.exit(f"{path}: cannot read the line {line!r}")
            fault[key] = text
        if not fault["find"] or not fault["breaks"]:
            sys.exit(f"{path}: the fault in {fault['file']} needs '- text' and '= behaviour'")
        faults.append(fault)
    return faults


def chosen(args, count):
    if not args:
        return list(range(1, count + 1))
    numbers = []
    for arg in args:
        first, _, last = arg.partition("-")
        numbers += range(int(first), int(last or first) + 1)
    return [n for n in numbers if 1 <= n <= count]


def quiet(command):
    # Its own process group: an interruption ends the build or the suite with it.
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             start_new_session=True)
    try:
        return child.wait() == 0
    except KeyboardInterrupt:
        os.killpg(child.pid, signal.SIGTERM)
        child.wait()
        raise


def interrupted(*_):
    raise KeyboardInterrupt


def main():
    root, build = Path(sys.argv[1]), Path(sys.argv[2])
    faults = read_list(root / "tools" / "mutants.txt")
    numbers = chosen(sys.argv[3:], len(faults))
    build_cmd = ["nice", "cmake", "--build", str(build)]
    test_cmd = ["nice", "ctest", "--test-dir", str(build), "-j2", "--timeout", "120"]

    # Ctrl+C or a kill still puts the file back (the finally below).
    for sig in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, interrupted)

    # A suite that fails only once is taken for one upset by a loaded machine: a fault counts
    # as caught when the failing suites fail again.
    def suite_passes():
        return quiet(test_cmd) or quiet(test_cmd + ["--rerun-failed"])

    print("building and testing the unchanged tree first ...", flush=True)
    if not quiet(build_cmd) or not suite_passes():
        sys.exit("the unchanged tree does not build or its suite fails; fix that first")

    caught, missed, unbuilt = [], [], []
    for n in numbers:
        fault = faults[n - 1]
        path = root / fault["file"]
        original = path.read_bytes()
        text = original.decode("utf-8")
        where = f"{n}. {fault['file']}: {fault['breaks']}"
        if text.count(fault["find"]) != 1:
            print(f"[{n}/{len(faults)}] text not found once, skipped: {where}", flush=True)
            unbuilt.append(where)
            continue
        try:
            path.write_text(text.replace(fault["find"], fault["replace"]), encoding="utf-8")
            if not quiet(build_cmd):
                verdict, into = "does not build", unbuilt
            elif suite_passes():
                verdict, into = "NOT CAUGHT", missed
            else:
                verdict, into = "caught", caught
        finally:
            path.write_bytes(original)
        into.append(where)
        print(f"[{n}/{len(faults)}] {verdict}: {where}", flush=True)

    tried = len(caught) + len(missed)
    share = 100 * len(caught) // tried if tried else 0
    print(f"\ncaught {len(caught)} of {tried} planted faults ({share} %)")
    for title, items in (("not caught:", missed), ("not tried (fix the list):", unbuilt)):
        if items:
            print(title)
            for item in items:
                print("  " + item)
    quiet(build_cmd)  # the build folder matches the tree again
    return 0 if not missed and not unbuilt else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit("interrupted; the file in work is restored")
