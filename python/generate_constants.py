"""Writes k4xtrace/_constants.py, the enums of the C interface's header
(capi/include/k4xtrace_c.h), so that Python states no value of its own.
With --check it writes nothing and exits 1 when the file is not what the
header gives (CI runs it so).

Usage: python3 generate_constants.py [--check]
"""
import pathlib
import re
import sys
from typing import List

HERE = pathlib.Path(__file__).resolve().parent
HEADER = HERE.parent / "capi" / "include" / "k4xtrace_c.h"
OUTPUT = HERE / "k4xtrace" / "_constants.py"

# Each C enum: its Python name and the prefix that its members lose.
ENUMS = {"k4x_status": ("Status", "K4X_"), "k4x_type": ("PropertyType", "K4X_"),
         "k4x_file_type": ("FileType", "K4X_FILE_")}
ENUM = re.compile(r"/\* (?P<doc>[^*]*?) \*/\s*typedef enum (?P<c_name>\w+) \{(?P<body>[^}]*)\}", re.S)
MEMBER = re.compile(r"(?P<name>\w+) = (?P<value>\d+),?\s*(?:/\* (?P<note>.*?) \*/)?")


def sentence(comment: str) -> str:
    """A C comment's words on one line, to follow a colon."""
    words = " ".join(comment.split())
    return words[:1].lower() + words[1:]


def generate(header: str) -> str:
    """The module's text for the header's text."""
    lines: List[str] = ['"""The constants of the C interface, written by generate_constants.py from',
                        'its header, k4xtrace_c.h: change the header and run it, never this file."""',
                        "import enum"]
    for match in ENUM.finditer(header):
        python_name, prefix = ENUMS[match["c_name"]]
        lines += ["", "", "class {}(enum.IntEnum):".format(python_name),
                  '    """The C interface\'s {}: {}"""'.format(match["c_name"], sentence(match["doc"])), ""]
        for member in MEMBER.finditer(match["body"]):
            note = "  # " + member["note"] if member["note"] else ""
            lines.append("    {} = {}{}".format(member["name"][len(prefix):], member["value"], note))
    return "\n".join(lines) + "\n"


def main() -> int:
    text = generate(HEADER.read_text(encoding="utf-8"))
    if sys.argv[1:] == ["--check"]:
        if OUTPUT.read_text(encoding="utf-8") == text:
            return 0
        print("{} is not what {} gives: run {}".format(OUTPUT, HEADER, __file__), file=sys.stderr)
        return 1
    OUTPUT.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
