#!/usr/bin/env python3
"""Lists the tests of a CTest JUnit report that did not run (skipped or
disabled), one a line: the test's name, then why, as the test said it.

Usage: skipped-tests.py REPORT.xml   (prints nothing when every test ran)
"""
import sys
import xml.etree.ElementTree as ET


def reason(case):
    out = (case.findtext("system-out") or "").splitlines()
    # GoogleTest prints "file:line: Skipped" and then the test's message.
    for i, line in enumerate(out):
        if line.endswith(": Skipped"):
            said = []
            for text in out[i + 1:]:
                if text.startswith("[  SKIPPED ]"):
                    break
                said.append(text.strip())
            if said:
                return " ".join(said)
    # Checks registered without their tools say what they need.
    for line in out:
        if " needs " in line:
            return line.strip()
    skipped = case.find("skipped")
    return skipped.get("message", "") if skipped is not None else case.get("status", "")


def main():
    root = ET.parse(sys.argv[1]).getroot()
    for case in root.iter("testcase"):
        if case.get("status") in ("notrun", "disabled") or case.find("skipped") is not None:
            print("%s: %s" % (case.get("name"), reason(case) or "skipped"))


if __name__ == "__main__":
    main()
