#!/usr/bin/env python3
"""Checks that the product's includes run one way: each layer includes only
the layers below it (README.md, Layout). Prints every include that runs up
and exits 1 when there is one.

An include is matched to the product file of that name, as the build's
include folders make it; tests, fuzz targets, benchmarks and examples are
not layers and are left out.
"""
import pathlib
import re
import subprocess
import sys

# (folder, rank) from the bottom up. Folders of one rank may not include each
# other's files; a higher rank may include a lower one.
LAYERS = [
    ("platform/", 1),
    ("common/source/source_utilities/", 2),
    ("tdf/", 3.0),
    ("formats/", 3.1),
    ("plugins/", 4),
    ("core/", 5.0),
    ("k4x/", 5.1),
    ("library/", 6),
    ("host/", 7),
    ("tools/", 8),
    ("capi/", 8),
]
# Outside interfaces: every layer may include them.
INTERFACES = ("include/", "external/vexa/include/")
# Apart: implements the plug-in interfaces; nothing of the product includes it.
APART = ("simulated-target/", 4.5)
NOT_LAYERS = ("tests/", "fuzz/", "bench/", "examples/", "capi/tests/")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def rank(path):
    if path.startswith(APART[0]):
        return APART[1]
    for folder, value in LAYERS:
        if path.startswith(folder):
            return value
    return None


def runs_up(includer, target):
    """True when target's layer is not below includer's."""
    if target.startswith(APART[0]):
        return not includer.startswith(APART[0])
    own, other = rank(includer), rank(target)
    if other is None:
        return False
    return other > own or (other == own and target.split("/")[0] != includer.split("/")[0])


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    files = subprocess.run(["git", "ls-files", "*.h", "*.cpp", "*.c"], cwd=root, capture_output=True, text=True,
                           check=True).stdout.split()
    product = [f for f in files if not f.startswith(NOT_LAYERS)]
    by_name = {}
    for f in product:
        by_name.setdefault(pathlib.PurePath(f).name, []).append(f)
    problems = []
    for includer in product:
        if rank(includer) is None:
            continue
        for name in INCLUDE.findall((root / includer).read_text(errors="replace")):
            targets = by_name.get(pathlib.PurePath(name).name, [])
            if len(targets) > 1:
                problems.append(f"{includer}: \"{name}\" names {len(targets)} files: {', '.join(targets)}")
                continue
            if not targets or targets[0].startswith(INTERFACES):
                continue
            if runs_up(includer, targets[0]):
                problems.append(f"{includer} includes {targets[0]}, which is not below it")
    for problem in problems:
        print(problem)
    print(f"layers: {len(product)} files, {len(problems)} includes that run up")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
