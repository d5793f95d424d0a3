#!/usr/bin/env python3
"""The figures that the machine's load does not change, from k4x_count:
instructions and locked instructions (atomic read-modify-write: a lock
prefix, or xchg with memory) per log line and per manager, under callgrind,
and system calls per manager, under strace.

usage: counts.py BIN_DIR PROFILE
  PROFILE holds the settings file of k4x_first_manager prepare, for the first
  manager of a process.
"""
import collections
import os
import re
import subprocess
import sys
import tempfile

LINES = 20000
MANAGERS = 1000
TRACED = 100


def callgrind(binary, args, env=None):
    """Instructions and locked instructions executed inside Counted()."""
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "callgrind.out")
        subprocess.run(["valgrind", "--tool=callgrind", "--dump-instr=yes", "--toggle-collect=*Counted<*",
                        f"--callgrind-out-file={out}", binary, *args],
                       check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        executed = executed_instructions(out)
    locked = sum(count for (obj, address), count in executed.items() if address in locked_addresses(obj))
    return sum(executed.values()), locked


def executed_instructions(path):
    """{(object file, address): times executed} of a callgrind profile made
    with --dump-instr=yes; a call's inclusive cost line is not the call
    instruction's own cost and is left out."""
    names, executed = {}, collections.Counter()
    obj, address, call_cost = None, 0, False
    for line in open(path):
        key, _, value = line.rstrip("\n").partition("=")
        if key in ("ob", "cob"):
            number, _, name = value.partition(" ")
            names[number] = name or names.get(number)
            obj = names[number] if key == "ob" else obj
            continue
        if key == "calls":
            call_cost = True
            continue
        cost = re.match(r"^(0x[0-9a-f]+|[+-]\d+|\*)\s+\S+\s+(\d+)", line)
        if not cost:
            continue
        position = cost.group(1)
        address = int(position, 16) if position.startswith("0x") else address + int(position) if position != "*" \
            else address
        if not call_cost:
            executed[(obj, address)] += int(cost.group(2))
        call_cost = False
    return executed


_locked = {}


def locked_addresses(obj):
    if obj not in _locked:
        listing = subprocess.run(["objdump", "-d", "--no-show-raw-insn", obj], capture_output=True, text=True).stdout
        _locked[obj] = {int(m.group(1), 16) for m in re.finditer(r"^\s*([0-9a-f]+):\s+(lock |xchg\S*\s+\S*\()",
                                                                   listing, re.M)}
    return _locked[obj]


def syscalls(binary, args, env=None):
    """System calls of the whole process, by name."""
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "strace.txt")
        subprocess.run(["strace", "-f", "-qq", "-o", out, binary, *args],
                       check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        calls = collections.Counter()
        for line in open(out):
            call = re.match(r"^(?:\d+\s+)?(\w+)\(", line)
            if call:
                calls[call.group(1)] += 1
        return calls


def difference(more, fewer, times):
    calls = {name: (more[name] - fewer[name]) / times for name in more if more[name] != fewer[name]}
    summary = ", ".join(f"{name} {count:g}" for name, count in sorted(calls.items(), key=lambda c: -c[1]))
    return sum(calls.values()), summary


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    count = os.path.join(sys.argv[1], "k4x_count")
    profile_env = dict(os.environ, USERPROFILE=sys.argv[2], ZR_TRACE_LOGGING="0")
    print("Counts that do not depend on the load (k4x_count; callgrind, strace)")
    for logger in ("ulogger", "spdlog"):
        instructions, locked = callgrind(count, [logger, str(LINES)])
        print(f"  {logger} line: {instructions / LINES:,.0f} instructions, {locked / LINES:.1f} locked")
    for mode, label in (("later", "later manager"), ("open", "fopen+fclose")):
        instructions, locked = callgrind(count, [mode, str(MANAGERS)])
        total, names = difference(syscalls(count, [mode, str(TRACED)]), syscalls(count, [mode, "0"]), TRACED)
        print(f"  {label}: {instructions / MANAGERS:,.0f} instructions, {locked / MANAGERS:.1f} locked; "
              f"{total:g} system calls ({names})")
    instructions, locked = callgrind(count, ["first"], profile_env)
    total, names = difference(syscalls(count, ["first"], profile_env), syscalls(count, ["none"], profile_env), 1)
    print(f"  first manager: {instructions:,.0f} instructions, {locked} locked; {total:g} system calls ({names})")


if __name__ == "__main__":
    main()
