#!/usr/bin/env python3
"""Closes a run of scripts/test: the time of each step, the ten slowest
tests, and one line that counts what passed and failed.

Reads, in the build folder, the steps' report (name, milliseconds, exit code
a line), ctest's JUnit files junit-*.xml and the logs of the test programs
run whole in random order, shuffled-*.log. An optional second argument gives
the seconds that installing packages took before the build."""

import glob
import os
import re
import sys
import xml.etree.ElementTree as ET


def read_steps(build):
    steps = []
    try:
        with open(os.path.join(build, "suite-report"), encoding="utf-8") as f:
            for line in f:
                parts = line.rstrip("\n").split("\t")
                if len(parts) == 3:
                    steps.append((parts[0], int(parts[1]) / 1000.0, int(parts[2])))
    except (OSError, ValueError):
        pass
    return steps


def read_junit(build):
    """Each ctest test run: (name, seconds, outcome) with outcome one of
    passed, failed, skipped."""
    tests = []
    for path in sorted(glob.glob(os.path.join(build, "junit-*.xml"))):
        try:
            root = ET.parse(path).getroot()
        except (OSError, ET.ParseError):
            continue
        for case in root.iter("testcase"):
            status = case.get("status", "run")
            if status == "disabled":
                continue
            try:
                seconds = float(case.get("time", "0"))
            except ValueError:
                seconds = 0.0
            if status == "fail" or case.find("failure") is not None:
                outcome = "failed"
            elif status == "notrun" or case.find("skipped") is not None:
                outcome = "skipped"
            else:
                outcome = "passed"
            tests.append((case.get("name", "?"), seconds, outcome))
    return tests


def read_shuffled(build):
    """Each test program run whole: (program, tests that ran, passed)."""
    runs = []
    for path in sorted(glob.glob(os.path.join(build, "shuffled-*.log"))):
        name = os.path.basename(path)[len("shuffled-"):-len(".log")]
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except OSError:
            continue
        ran = re.search(r"^\[==========\] (\d+) tests? from .* ran\.", text, re.M)
        ok = ran is not None and re.search(r"^\[  FAILED  \]", text, re.M) is None
        runs.append((name, int(ran.group(1)) if ran else 0, ok))
    return runs


def clock(seconds):
    minutes, rest = divmod(int(round(seconds)), 60)
    return f"{minutes}:{rest:02d}"


def main():
    if len(sys.argv) < 2:
        print("usage: suite-summary.py BUILD [SETUP_SECONDS]", file=sys.stderr)
        return 2
    build = sys.argv[1]
    steps = read_steps(build)
    tests = read_junit(build)
    shuffled = read_shuffled(build)

    print("==== Time spent")
    total = 0.0
    if len(sys.argv) > 2 and sys.argv[2]:
        try:
            setup = float(sys.argv[2])
            print(f"  {'setup':<10} {clock(setup):>7}")
            total += setup
        except ValueError:
            pass
    for name, seconds, rc in steps:
        print(f"  {name:<10} {clock(seconds):>7}{'' if rc == 0 else '  (failed)'}")
        total += seconds
    print(f"  {'total':<10} {clock(total):>7}")

    if tests:
        print("==== The ten slowest tests")
        for name, seconds, outcome in sorted(tests, key=lambda t: -t[1])[:10]:
            print(f"  {seconds:8.2f} s  {name}{'' if outcome == 'passed' else '  (' + outcome + ')'}")

    if shuffled:
        bad = [name for name, _, ok in shuffled if not ok]
        print(f"==== {len(shuffled)} test programs run whole in random order, "
              f"{sum(n for _, n, _ in shuffled)} tests: "
              + ("all passed" if not bad else "failed: " + ", ".join(bad)))

    passed = sum(1 for t in tests if t[2] == "passed")
    failed = sum(1 for t in tests if t[2] == "failed") + sum(1 for s in shuffled if not s[2])
    skipped = sum(1 for t in tests if t[2] == "skipped")
    failed_steps = [name for name, _, rc in steps if rc != 0]
    if failed_steps and failed == 0:
        failed = len(failed_steps)
    print(f"suite: {passed} passed, {failed} failed, {skipped} skipped")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
