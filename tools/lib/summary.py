"""Counts the tests of one run: GoogleTest XML reports (named layer@build)
plus the one-line checks, with each layer's count and time."""
import glob
import os
import sys
import xml.etree.ElementTree as ET

results = sys.argv[1]
times = {}
times_file = os.path.join(results, "times.txt")
if os.path.exists(times_file):
    for line in open(times_file, encoding="utf-8"):
        name, _, seconds = line.rstrip().rpartition(" ")
        times[name] = seconds


def took(name):
    return f" ({times[name]} s)" if name in times else ""


passed = failed = 0
failures = []
for report in sorted(glob.glob(os.path.join(results, "*.xml"))):
    name = os.path.basename(report)[: -len(".xml")]
    try:
        root = ET.parse(report).getroot()
    except ET.ParseError:
        print(f"{name}: unreadable report")
        failures.append(f"FAIL {name}: unreadable report")
        failed += 1
        continue
    layer_passed = layer_failed = 0
    for case in root.iter("testcase"):
        if case.get("result", "completed") == "skipped" or case.get("status") == "notrun":
            continue
        if case.find("failure") is not None:
            layer_failed += 1
            failures.append(f"FAIL {name}: {case.get('classname')}.{case.get('name')}")
        else:
            layer_passed += 1
    print(f"{name}: {layer_passed} passed, {layer_failed} failed{took(name)}")
    passed += layer_passed
    failed += layer_failed
checks = os.path.join(results, "checks.txt")
if os.path.exists(checks):
    for line in open(checks, encoding="utf-8"):
        if line.startswith("PASS"):
            passed += 1
        elif line.startswith("FAIL"):
            failed += 1
            failures.append(line.rstrip())
for line in failures:
    print(line)
if "total" in times:
    print(f"time: {times['total']} s")
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed or not passed else 0)
