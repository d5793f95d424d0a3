#!/usr/bin/env python3
"""The counts that the machine's load does not change, per call, for every
row of bench/budgets.txt: instructions and locked instructions (atomic
read-modify-write: a lock prefix, or xchg with memory) of the counted work
of `k4x_count ROW N` under callgrind, and its system calls under strace.

usage: counts.py BIN_DIR            prints each row beside its yardstick
       counts.py BIN_DIR --check    also holds each row to its budget: fails
           when instructions are more than 3% over it, or locked
           instructions or system calls over it at all; asks for the budget
           to be lowered when a count is that far under it.

Every program runs in the same small environment, with the same time zone
rule, in a work directory whose path has the same length in every run, so
that neither the caller's environment, nor the clone's path, nor the
machine's time zone changes a count. The date changes only the digits of
the log file's name (a few instructions of the first manager).
"""
import collections
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile

BUDGETS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "budgets.txt")
INSTRUCTIONS_TOLERANCE = 0.03
# k4x_count makes this system call just before and just after its counted work.
MARK = '"/k4x_count/'

Row = collections.namedtuple("Row", "name calls instructions locked syscalls yardstick reason")
Counts = collections.namedtuple("Counts", "instructions locked syscalls names")


def read_budgets(path=BUDGETS):
    """The rows of the budget file: name, calls, instructions, locked,
    system calls, yardstick row ("-" for none), reason."""
    rows = []
    for line in open(path):
        if line.strip() and not line.startswith("#"):
            name, calls, instructions, locked, syscalls, yardstick, reason = line.split(maxsplit=6)
            rows.append(Row(name, int(calls), int(instructions), float(locked), float(syscalls), yardstick,
                            reason.strip()))
    return rows


def callgrind(program, args, env, work):
    """Instructions and locked instructions executed inside CountedLoop()."""
    out = os.path.join(work, f"callgrind.{args[0]}")
    subprocess.run([shutil.which("valgrind"), "--tool=callgrind", "-q", "--dump-instr=yes",
                    "--toggle-collect=*CountedLoop<*", f"--callgrind-out-file={out}", program, *args],
                   check=True, env=env, stdout=subprocess.DEVNULL)
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


def syscalls(program, args, env, work):
    """System calls between the marks around the counted work, by name."""
    out = os.path.join(work, f"strace.{args[0]}")
    subprocess.run([shutil.which("strace"), "-f", "-qq", "-o", out, program, *args],
                   check=True, env=env, stdout=subprocess.DEVNULL)
    calls, counting = collections.Counter(), False
    for line in open(out):
        if MARK in line:
            counting = not counting
            continue
        call = re.match(r"^(?:\d+\s+)?(\w+)\(", line)
        if call and counting:
            calls[call.group(1)] += 1
    return calls


def measure(program, row, env, work):
    args = [row.name, str(row.calls)]
    instructions, locked = callgrind(program, args, env, work)
    calls = syscalls(program, args, env, work)
    by_count = sorted(calls.items(), key=lambda call: (-call[1], call[0]))
    names = ", ".join(f"{name} {count / row.calls:g}" for name, count in by_count)
    return Counts(round(instructions / row.calls), round(locked / row.calls, 2),
                  round(sum(calls.values()) / row.calls, 2), names)


def measure_all(bin_dir, rows):
    """{row name: Counts}, the rows measured side by side on every core."""
    work = tempfile.mkdtemp(prefix="k4x-counts-", dir="/tmp")
    try:
        # The programs and libraries (the bench preset links them to find
        # each other by $ORIGIN) run from a copy in the work directory: the
        # paths that the loader and the C interface keep on the heap then
        # have the same length from every clone, and so do the heap
        # addresses, which decide the branches that string functions take.
        bin_copy = os.path.join(work, "bin")
        shutil.copytree(bin_dir, bin_copy, symlinks=True)
        profile = os.path.join(work, "profile")
        os.mkdir(profile)
        # The time zone is a rule, not the machine's zone file, which differs
        # between machines (a failed open of its name, then the rule).
        env = {"USERPROFILE": profile, "TMPDIR": work, "ZR_TRACE_LOGGING": "0", "TZ": "UTC0"}
        # The first manager's profile holds the settings file that it loads.
        subprocess.run([os.path.join(bin_copy, "k4x_first_manager"), "prepare"], check=True, env=env,
                       stdout=subprocess.DEVNULL)
        program = os.path.join(bin_copy, "k4x_count")
        with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
            counts = {row.name: pool.submit(measure, program, row, env, work) for row in rows}
            return {name: future.result() for name, future in counts.items()}
    finally:
        shutil.rmtree(work, ignore_errors=True)


def describe(counts):
    return (f"{counts.instructions:,} instructions, {counts.locked:g} locked; system calls {counts.syscalls:g}"
            + (f" ({counts.names})" if counts.names else ""))


def report(rows, measured):
    print("Counts per call that do not depend on the load (k4x_count; callgrind, strace; bench/budgets.txt)")
    for row in rows:
        counts = measured[row.name]
        line = f"  {row.name}: {describe(counts)}"
        if row.yardstick != "-":
            yardstick = measured[row.yardstick]
            line += f"; {counts.instructions / yardstick.instructions:.2f} times the instructions of {row.yardstick}"
        print(line)


def verdicts(row, counts):
    """(failed, text) for each count that is over or well under its budget."""
    over = counts.instructions / row.instructions - 1
    if over > INSTRUCTIONS_TOLERANCE:
        yield True, (f"{counts.instructions:,} instructions, {over:.1%} over the budget of {row.instructions:,} "
                     f"(at most {INSTRUCTIONS_TOLERANCE:.0%})")
    elif over < -INSTRUCTIONS_TOLERANCE:
        yield False, f"{counts.instructions:,} instructions, {-over:.1%} under the budget of {row.instructions:,}"
    for label, measured, budget in (("locked instructions", counts.locked, row.locked),
                                    ("system calls", counts.syscalls, row.syscalls)):
        if measured > budget:
            yield True, f"{measured:g} {label}, over the budget of {budget:g} ({counts.names})"
        elif measured < budget:
            yield False, f"{measured:g} {label}, under the budget of {budget:g}"


def check(rows, measured):
    failed = False
    for row in rows:
        for failure, text in verdicts(row, measured[row.name]):
            failed = failed or failure
            if failure:
                print(f"OVER BUDGET: {row.name}: {text}")
            else:
                print(f"lower the budget: {row.name}: {text}; write today's count into bench/budgets.txt")
    print("counts: some are over their budgets" if failed else f"counts: all {len(rows)} rows within their budgets")
    return not failed


def main():
    if len(sys.argv) not in (2, 3) or sys.argv[2:] not in ([], ["--check"]):
        sys.exit(__doc__)
    rows = read_budgets()
    measured = measure_all(sys.argv[1], rows)
    report(rows, measured)
    if sys.argv[2:] == ["--check"] and not check(rows, measured):
        sys.exit(1)


if __name__ == "__main__":
    main()
