#!/usr/bin/env python3
"""Lists the library's failure texts that no test reaches.

  failure-texts.py COVERAGE_JSON

Reads the gcovr JSON report of scripts/coverage.sh. A failure text is a
quoted text that the library raises or leaves for the host: the manager's
texts of k4x/K4xErrorTexts.h where k4x/ uses them, the Fail("...") texts of
tdf/TdfFile.cpp and the texts of the utilities' errors in common/. A line
that raises one counts as reached when it ran and, when it decides by a
condition of its own, every way out of that condition ran too.
"""
import glob
import json
import re
import sys

TEXT = re.compile(r'"((?:[^"\\]|\\.)*)"')
CONSTANT = re.compile(r'constexpr char (k\w+)\[\] = "((?:[^"\\]|\\.)*)";')


def raising_lines():
    """(file, line, text) of every place that raises a failure text."""
    found = []
    with open("k4x/K4xErrorTexts.h", encoding="utf-8") as header:
        constants = dict(CONSTANT.findall(header.read()))
    sources = [glob.glob(f"{folder}/**/*.cpp", recursive=True) for folder in ("k4x", "core", "tdf", "common")]
    for name in sorted(sum(sources, [])):
        with open(name, encoding="utf-8") as source:
            for number, line in enumerate(source, 1):
                for constant in re.findall(r"k4xerrortext::(k\w+)", line):
                    found.append((name, number, constants[constant]))
                if name == "tdf/TdfFile.cpp" and "Fail(" in line:
                    found += [(name, number, text) for text in TEXT.findall(line.split("Fail(", 1)[1])]
                if name.startswith("common/") and re.search(r"error\(\"", line):
                    found += [(name, number, text) for text in TEXT.findall(line)]
    return found


def reached(lines, number):
    entry = lines.get(number)
    if entry is None or entry["count"] == 0:
        return False
    branches = [b for b in entry.get("branches", []) if not b.get("throw")]
    return all(b["count"] > 0 for b in branches)


def main():
    with open(sys.argv[1], encoding="utf-8") as report:
        files = {f["file"]: {l["line_number"]: l for l in f["lines"]} for f in json.load(report)["files"]}
    places = raising_lines()
    texts = {}
    for name, number, text in places:
        if not text:
            continue
        texts.setdefault(text, []).append((name, number, reached(files.get(name, {}), number)))
    missed = {t: p for t, p in texts.items() if not any(hit for _, _, hit in p)}
    print(f"failure texts: {len(texts)}, reached by a test: {len(texts) - len(missed)}")
    for text, where in sorted(missed.items()):
        print(f'  unreached: "{text}"  ({", ".join(f"{n}:{l}" for n, l, _ in where)})')
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
