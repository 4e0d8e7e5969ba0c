#!/usr/bin/env python3
"""Adds up the results of one test run.

Each GoogleTest program writes its own result file; ctest's junit file tells which programs
ran and how they ended. A program that failed without a result file of its own (a crash, a
fuzz target, a sanitizer report) counts as one failed test."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

passed = failed = 0
for folder in map(Path, sys.argv[1:]):
    ctest = folder / "ctest.xml"
    if not ctest.exists():
        print(f"no ctest results in {folder}", file=sys.stderr)
        failed += 1
        continue
    for case in ET.parse(ctest).getroot().iter("testcase"):
        name = case.get("name")
        program_failed = case.get("status") not in ("run", None) or case.find("failure") is not None
        own = folder / f"{name}.xml"
        if own.exists():
            try:
                root = ET.parse(own).getroot()
                tests = int(root.get("tests", 0)) - int(root.get("disabled", 0))
                bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
                skipped = sum(1 for c in root.iter("testcase") if c.get("result") == "skipped")
                passed += tests - bad - skipped
                failed += bad
                if program_failed and bad == 0:
                    failed += 1
                continue
            except ET.ParseError:
                pass
        if program_failed:
            failed += 1
            print(f"FAILED: {folder.parent.name}/{name}", file=sys.stderr)
        else:
            passed += 1
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
