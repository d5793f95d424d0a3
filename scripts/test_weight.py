#!/usr/bin/env python3
"""Weighs the tests against the product in lexical tokens.

  test_weight.py [--check]

Counts the identifiers, numbers, string and character literals, operators
and punctuation of the C, C++ and Python files that git tracks (so no build
tree counts); comments, blank space, #include lines, Python import lines and
docstrings are left out, so packing rows onto fewer lines changes nothing.
Tests are the files under any folder named tests, test, testing or fuzz,
wherever it stands (a stand-in's testing/ folder holds what only the tests
use), and the scripts that only measure the suite; the product is every
other file in a folder, apart from the top folders that ship no code of the
library (NOT_PRODUCT).
With --check it exits 1 when the tests are more than a third of all code.
"""
import re
import subprocess
import sys

TEST_FOLDERS = {"tests", "test", "testing", "fuzz"}
MEASURING = {"scripts/mutants.py", "scripts/failure-texts.py", "scripts/test_weight.py"}
NOT_PRODUCT = {"bench", "examples", "scripts", "cmake", "docs", "packaging", "build"}
SOURCE = re.compile(r"\.(c|cc|cpp|h|hpp|py)$")
TOKEN = re.compile(r'''"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*'|[A-Za-z_]\w*|\d[\w.]*'''
                   r'''|::|->|<<|>>|[<>=!+\-*/%&|^]=|&&|\|\||\+\+|--|\S''')
# Docstrings before comments, so that an import line inside one does not
# count twice.
NOISE = {False: [r"/\*[\s\S]*?\*/", r"//[^\n]*", r"(?m)^\s*#\s*include[^\n]*"],
         True: [r'"""[\s\S]*?"""|\'\'\'[\s\S]*?\'\'\'', r"#[^\n]*", r"(?m)^\s*(import|from)\s[^\n]*"]}


def tokens(path):
    with open(path, errors="replace") as source:
        text = source.read()
    for noise in NOISE[path.endswith(".py")]:
        text = re.sub(noise, "", text)
    return len(TOKEN.findall(text))


def kind(path):
    """"tests", "product" or None for a tracked source file."""
    folders = path.split("/")[:-1]
    if path in MEASURING or TEST_FOLDERS.intersection(folders):
        return "tests"
    return "product" if folders and folders[0] not in NOT_PRODUCT else None


def main():
    if sys.argv[1:] not in ([], ["--check"]):
        sys.exit(__doc__)
    files = subprocess.run(["git", "ls-files"], check=True, capture_output=True, text=True).stdout.split("\n")
    weight = {"tests": 0, "product": 0, None: 0}
    for path in filter(SOURCE.search, files):
        weight[kind(path)] += tokens(path)
    tests, product = weight["tests"], weight["product"]
    share = tests / (tests + product) if tests + product else 0.0
    print(f"tests:   {tests} tokens\nproduct: {product} tokens")
    print(f"tests are {100 * share:.1f}% of all code ({100 * tests / max(product, 1):.1f}% of the product); "
          f"the limit is a third of all code (half the product)")
    if sys.argv[1:] == ["--check"] and share > 1 / 3:
        sys.exit("tests are more than a third of all code")


main()
