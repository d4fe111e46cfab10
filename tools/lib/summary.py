"""Counts the tests of one run: GoogleTest XML reports plus the one-line checks."""
import glob
import os
import sys
import xml.etree.ElementTree as ET

results = sys.argv[1]
passed = failed = 0
for report in sorted(glob.glob(os.path.join(results, "*.xml"))):
    try:
        root = ET.parse(report).getroot()
    except ET.ParseError:
        print(f"FAIL {os.path.basename(report)}: unreadable report")
        failed += 1
        continue
    for case in root.iter("testcase"):
        if case.get("result", "completed") == "skipped" or case.get("status") == "notrun":
            continue
        if case.find("failure") is not None:
            failed += 1
            print(f"FAIL {case.get('classname')}.{case.get('name')}")
        else:
            passed += 1
checks = os.path.join(results, "checks.txt")
if os.path.exists(checks):
    for line in open(checks, encoding="utf-8"):
        if line.startswith("PASS"):
            passed += 1
        elif line.startswith("FAIL"):
            failed += 1
            print(line.rstrip())
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed or not passed else 0)
