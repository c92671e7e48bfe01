#!/usr/bin/env python3
"""Adds up the GoogleTest XML reports of a test run and prints the closing line.

A suite that crashed leaves no report or a partial one; its ctest failure is counted
through --failed-steps, so a crash never reads as success.
"""
import argparse
import pathlib
import sys
import xml.etree.ElementTree as ET


def count(folder):
    passed = failed = 0
    for report in sorted(pathlib.Path(folder).glob("*.xml")):
        try:
            root = ET.parse(report).getroot()
        except ET.ParseError:
            print(f"unreadable report: {report}", file=sys.stderr)
            failed += 1
            continue
        for case in root.iter("testcase"):
            if case.get("result", "completed") == "skipped" or case.get("status") == "notrun":
                continue
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1
            else:
                passed += 1
    return passed, failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folders", nargs="+")
    parser.add_argument("--failed-steps", type=int, default=0)
    args = parser.parse_args()
    passed = failed = 0
    for folder in args.folders:
        p, f = count(folder)
        print(f"{folder}: {p} passed, {f} failed")
        passed += p
        failed += f
    # A step that failed without a failing case (a build error, a crashed suite)
    # still fails the run.
    failed += args.failed_steps if failed == 0 else 0
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or args.failed_steps else 0


if __name__ == "__main__":
    sys.exit(main())
