#!/usr/bin/env python3
"""The mutants of scripts/mutants.sh.

  mutants.py generate         writes the fixed list to stdout
  mutants.py apply FILE LINE ORIGINAL REPLACEMENT
                              puts REPLACEMENT in place of line LINE of FILE,
                              which must read ORIGINAL (indentation aside)

A list row is FILE<TAB>LINE<TAB>ORIGINAL<TAB>REPLACEMENT, both texts whole
lines without their indentation; an empty REPLACEMENT deletes the statement.
"""
import random
import re
import subprocess
import sys

SEED = 10
COUNT = 40
PER_FILE = 3
FOLDERS = ["core", "k4x", "formats", "tdf", "common", "platform"]
# The Windows backend is not built on Linux, where the suite runs.
SKIPPED = ("platform/win32/",)

SWAPS = [(" == ", " != "), (" != ", " == "), (" <= ", " < "), (" < ", " <= "),
         (" >= ", " > "), (" > ", " >= "), (" && ", " || "), (" || ", " && "),
         (" + ", " - "), (" - ", " + "), ("++", "--"), ("--", "++")]
STATEMENT = re.compile(r"^(return\b.*|[\w.>\[\]-]+ [-+|&]?= .*|[\w:.>-]+\(.*\))\s*;$")
NUMBER = re.compile(r"(?<![\w.])\d+(?![\w.'])")


def masked(line):
    """The line with string and character literals blanked and no comment."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(c if c == quote else " ")
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def negated_condition(code, text):
    start = code.find("if (")
    if start < 0:
        return None
    depth = 0
    for end in range(start + 3, len(code)):
        depth += {"(": 1, ")": -1}.get(code[end], 0)
        if depth == 0:
            inner = text[start + 4:end]
            return text[:start] + "if (!(" + inner + "))" + text[end + 1:]
    return None


def mutations(text):
    code = masked(text)
    if not code.strip() or code.lstrip().startswith(("#", "*", "/*")):
        return []
    found = []
    for old, new in SWAPS:
        at = code.find(old)
        if at >= 0 and not (old in (" < ", " > ") and "template" in code):
            found.append(text[:at] + new + text[at + len(old):])
    negated = negated_condition(code, text)
    if negated:
        found.append(negated)
    for match in NUMBER.finditer(code):
        value = int(match.group())
        for changed in (value + 1, value - 1):
            if changed >= 0:
                found.append(text[:match.start()] + str(changed) + text[match.end():])
        break
    if STATEMENT.match(code.strip()):
        found.append("")
    return found


def generate():
    files = subprocess.run(["git", "ls-files", "--"] + FOLDERS, check=True, capture_output=True,
                           text=True).stdout.split()
    files = sorted(f for f in files if f.endswith(".cpp") and not f.startswith(SKIPPED))
    rng = random.Random(SEED)
    candidates = []
    for name in files:
        with open(name, encoding="utf-8") as source:
            for number, line in enumerate(source, 1):
                text = line.rstrip("\n").strip()
                candidates += [(name, number, text, replacement) for replacement in mutations(text)]
    rng.shuffle(candidates)
    # A cap per file spreads the mutants over the files; big files still
    # get more than small ones.
    chosen, per_file = [], {}
    for candidate in candidates:
        if len(chosen) < COUNT and per_file.get(candidate[0], 0) < PER_FILE:
            per_file[candidate[0]] = per_file.get(candidate[0], 0) + 1
            chosen.append(candidate)
    for name, number, text, replacement in sorted(chosen):
        print(f"{name}\t{number}\t{text}\t{replacement}")


def apply(name, number, original, replacement):
    with open(name, encoding="utf-8") as source:
        lines = source.readlines()
    # Edits elsewhere in the file move lines: the nearest line that still
    # reads the same is the one meant.
    wanted = int(number) - 1
    matches = [i for i, text in enumerate(lines) if text.strip() == original]
    if not matches:
        sys.exit(f"{name}:{number} no longer reads: {original}")
    index = min(matches, key=lambda i: abs(i - wanted))
    line = lines[index]
    indent = line[:len(line) - len(line.lstrip())]
    lines[index] = indent + replacement + "\n" if replacement else "\n"
    with open(name, "w", encoding="utf-8") as source:
        source.writelines(lines)


if __name__ == "__main__":
    if sys.argv[1:] == ["generate"]:
        generate()
    elif len(sys.argv) == 6 and sys.argv[1] == "apply":
        apply(*sys.argv[2:])
    else:
        sys.exit(__doc__)
