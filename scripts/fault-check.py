#!/usr/bin/env python3
"""Plants deliberate faults in the code, one at a time, and records which tests catch each.

A suite that lost a test able to catch a fault shows up here as a fault that survives. Every
fault in scripts/faults.py names a file, a piece of text that occurs exactly once in it, what
replaces it, and the test programs that should catch it. The check builds those programs with
the fault in place, runs them (the end-to-end suite is never used: every fault must be caught
without an engine), restores the file, and prints one line per fault with the tests that failed.

    scripts/fault-check.py [--build build/default] [ID ...]

Exit status 0 when every fault chosen was caught, 1 otherwise. The working tree is restored
even when the check is interrupted; the build tree is rebuilt clean at the end.
"""

import argparse
import pathlib
import re
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from faults import FAULTS  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent


def build(build_dir, targets):
    result = subprocess.run(["cmake", "--build", str(build_dir), "-j2", "--target", *targets],
                            cwd=ROOT, capture_output=True, text=True)
    return result.returncode == 0, result.stdout[-2000:] + result.stderr[-2000:]


def run_suite(build_dir, suite):
    """The names of the failing tests of one suite (empty when all passed)."""
    binary = build_dir / "tests" / suite
    try:
        result = subprocess.run([str(binary), "--gtest_brief=1"], cwd=build_dir / "tests",
                                capture_output=True, text=True, timeout=900,
                                env={"QT_QPA_PLATFORM": "offscreen", "PATH": "/usr/bin:/bin"})
    except subprocess.TimeoutExpired:
        return ["(timed out)"]
    failed = re.findall(r"^\[  FAILED  \] (\S+?)(?:,|$| \()", result.stdout, re.M)
    failed = sorted(set(name for name in failed if "." in name))
    if result.returncode != 0 and not failed:
        failed = [f"(exit {result.returncode})"]
    return failed


def check(fault, build_dir):
    path = ROOT / fault["file"]
    original = path.read_text()
    occurrences = original.count(fault["find"])
    if occurrences != 1:
        return "stale", [f"text found {occurrences} times"]
    path.write_text(original.replace(fault["find"], fault["replace"]))
    try:
        built, log = build(build_dir, fault["suites"])
        if not built:
            return "does not build", [log.strip().splitlines()[-1] if log.strip() else "?"]
        failed = []
        for suite in fault["suites"]:
            failed += [f"{suite}:{name}" for name in run_suite(build_dir, suite)]
        return ("caught" if failed else "SURVIVED"), failed
    finally:
        path.write_text(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/default", help="a configured default build tree")
    parser.add_argument("ids", nargs="*", help="only these faults")
    args = parser.parse_args()
    build_dir = (ROOT / args.build).resolve()
    chosen = [f for f in FAULTS if not args.ids or f["id"] in args.ids]

    all_caught = True
    for fault in chosen:
        started = time.monotonic()
        verdict, details = check(fault, build_dir)
        all_caught &= verdict == "caught"
        print(f"{fault['id']:<28} {verdict:<15} {time.monotonic() - started:5.0f} s  {fault['what']}", flush=True)
        for line in details[:8]:
            print(f"    {line}", flush=True)
        if len(details) > 8:
            print(f"    … and {len(details) - 8} more", flush=True)

    suites = sorted({suite for fault in chosen for suite in fault["suites"]})
    build(build_dir, suites)  # the build tree as the sources are
    print(f"{sum(1 for _ in chosen)} faults; " + ("all caught" if all_caught else "NOT ALL CAUGHT"))
    return 0 if all_caught else 1


if __name__ == "__main__":
    sys.exit(main())
