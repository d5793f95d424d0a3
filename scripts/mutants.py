#!/usr/bin/env python3
"""The mutants of scripts/mutants.sh.

  mutants.py generate [SEED [COUNT]]
                              writes a new list to stdout (the fixed list:
                              seed 10, 40 mutants; another seed draws a
                              fresh sample)
  mutants.py check LIST        names each row whose ORIGINAL no longer
                              occurs exactly once in its FILE; exits 1 if any
  mutants.py apply FILE ORIGINAL REPLACEMENT
                              puts REPLACEMENT in place of ORIGINAL, which
                              must occur exactly once in FILE

A list row is FILE<TAB>ORIGINAL<TAB>REPLACEMENT. A fault is keyed by the
text it changes, not by a line number, so the list survives edits elsewhere
in the file: ORIGINAL is the changed line without its indentation, behind
as many lines before it as make it occur once in the file, and REPLACEMENT
is that text with the fault; an empty changed line deletes the statement.
Both write a line break as \\n, a tab as \\t and a backslash as \\\\.
"""
import random
import re
import subprocess
import sys

SEED = 10
COUNT = 40
PER_FILE = 3
FOLDERS = ["core", "k4x", "library", "formats", "tdf", "common", "platform", "host", "capi/src"]
# The Windows backend is not built on Linux, where the suite runs.
SKIPPED = ("platform/win32/",)

SWAPS = [(" == ", " != "), (" != ", " == "), (" <= ", " < "), (" < ", " <= "),
         (" >= ", " > "), (" > ", " >= "), (" && ", " || "), (" || ", " && "),
         (" + ", " - "), (" - ", " + "), ("++", "--"), ("--", "++")]
# Statements whose deletion compiles: a deleted return with a value would
# fall off the end of a function or through a case, which -Werror refuses.
STATEMENT = re.compile(r"^(return|[\w.>\[\]-]+ [-+|&]?= .*|[\w:.>-]+\(.*\))\s*;$")
NUMBER = re.compile(r"(?<![\w.])\d+(?![\w.'])")
LITERAL = re.compile(r"'(?:\\.|[^'\\])*'|\"(?:\\.|[^\"\\])*\"")


def masked(line):
    """The line with string and character literals blanked and no comment."""
    return LITERAL.sub(lambda match: match[0][0] + " " * (len(match[0]) - 2) + match[0][-1], line).split("//")[0]


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
    # A changed static_assert fails the build, not a test.
    if not code.strip() or code.lstrip().startswith(("#", "*", "/*", "static_assert")):
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


def escaped(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def unescaped(text):
    return re.sub(r"\\(.)", lambda match: {"n": "\n", "t": "\t"}.get(match.group(1), match.group(1)), text)


def keyed(lines, index, mutated):
    """The shortest text ending in line index that occurs once, and that text with the line mutated."""
    text = "".join(lines)
    line = lines[index].rstrip("\n")
    indent = line[:len(line) - len(line.lstrip())]
    for first in range(index, -1, -1):
        before = "".join(lines[first:index])
        original = (before + line).lstrip()
        if text.count(original) == 1:
            return original, (before + indent + mutated).lstrip()
    return None


def generate(seed=SEED, count=COUNT):
    files = subprocess.run(["git", "ls-files", "--"] + FOLDERS, check=True, capture_output=True,
                           text=True).stdout.split()
    files = sorted(f for f in files if f.endswith(".cpp") and not f.startswith(SKIPPED))
    rng = random.Random(seed)
    candidates = []
    for name in files:
        with open(name, encoding="utf-8") as source:
            for number, line in enumerate(source):
                candidates += [(name, number, replacement) for replacement in mutations(line.strip())]
    rng.shuffle(candidates)
    # A cap per file spreads the mutants over the files; big files still
    # get more than small ones.
    chosen, per_file = [], {}
    for candidate in candidates:
        if len(chosen) < count and per_file.get(candidate[0], 0) < PER_FILE:
            per_file[candidate[0]] = per_file.get(candidate[0], 0) + 1
            chosen.append(candidate)
    for name, number, replacement in sorted(chosen):
        with open(name, encoding="utf-8") as source:
            original, mutated = keyed(source.readlines(), number, replacement)
        print(f"{name}\t{escaped(original)}\t{escaped(mutated)}")


def held_once(name, original):
    """The text of the file, or None when it does not hold original exactly once."""
    try:
        with open(name, encoding="utf-8") as source:
            text = source.read()
    except FileNotFoundError:
        return None
    return text if text.count(unescaped(original)) == 1 else None


def check(listed):
    with open(listed, encoding="utf-8") as rows:
        gone = [row for row in rows if held_once(*row.rstrip("\n").split("\t")[:2]) is None]
    for row in gone:
        print(f"gone: {row}", end="", file=sys.stderr)
    if gone:
        sys.exit(f"{len(gone)} rows of {listed} name text that the code no longer holds exactly once")


def apply(name, original, replacement):
    text = held_once(name, original)
    if text is None:
        sys.exit(f"{name} no longer holds exactly once: {original}")
    with open(name, "w", encoding="utf-8") as source:
        source.write(text.replace(unescaped(original), unescaped(replacement)))


if __name__ == "__main__":
    if 2 <= len(sys.argv) <= 4 and sys.argv[1] == "generate":
        generate(*map(int, sys.argv[2:]))
    elif len(sys.argv) == 3 and sys.argv[1] == "check":
        check(sys.argv[2])
    elif len(sys.argv) == 5 and sys.argv[1] == "apply":
        apply(*sys.argv[2:])
    else:
        sys.exit(__doc__)
