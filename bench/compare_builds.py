"""The pieces of compare_builds.sh that are easier in Python (standard
library only):

  stream OLD_FILE              compares standard input with OLD_FILE block by
                               block; prints "BYTES LINES" when identical,
                               else the first differing lines (exit 1)
  cases CSV ROWS SINGLES RECORDS
                               single requests (every STEP-th row of the
                               research CSV, STEP = ROWS / 2000, at most 2000
                               rows, each plain and
                               in one other display or output, plus the
                               command line's fixed answers: help, census
                               list, usage errors) and --record runs (2 to 4
                               records of one person each), one JSON argument
                               list a line
  run PROGRAM CASES RESULTS    runs PROGRAM with each argument list (standard
                               input empty) and keeps exit status, standard
                               output and standard error, one JSON line each
  diff-runs CASES OLD NEW      compares two RESULTS files; prints
                               "RUNS BYTES" when identical, else the first
                               differing runs (exit 1)

Every text is kept as bytes read as Latin-1, so any byte goes through.
"""
import concurrent.futures
import csv
import itertools
import json
import os
import subprocess
import sys

BLOCK = 1 << 20
SHOWN = 3  # differing lines or runs shown


def show(data, other=None):
    """data as printable text, at most 300 characters: from a little before
    where it first differs from other, when that is far in."""
    text = repr(data)[2:-1] if isinstance(data, bytes) else repr(data)[1:-1]
    start = 0
    if other is not None:
        other_text = repr(other)[2:-1] if isinstance(other, bytes) else repr(other)[1:-1]
        at = next((i for i, (x, y) in enumerate(zip(text, other_text)) if x != y), min(len(text), len(other_text)))
        start = max(0, at - 100)
    return ("..." if start else "") + text[start:start + 300] + ("..." if len(text) > start + 300 else "")


def stream(old_path):
    new = sys.stdin.buffer
    total = lines = 0
    carry = b""  # the old file's current line up to this block
    with open(old_path, "rb") as old:
        while True:
            a, b = old.read(BLOCK), new.read(BLOCK)
            if a == b:
                if not a:
                    print(total, lines)
                    return 0
                total += len(a)
                lines += a.count(b"\n")
                cut = a.rfind(b"\n")
                carry = a[cut + 1:] if cut >= 0 else carry + a
                continue
            at = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
            line = lines + a.count(b"\n", 0, at) + 1
            start = a.rfind(b"\n", 0, at) + 1
            # The differing line and enough after it to show a few more.
            more_old, more_new = old.read(64 * 1024), new.read(64 * 1024)
            old_text = (a[start:] if start else carry + a) + more_old
            new_text = (b[start:] if start else carry + b) + more_new
            print(f"first difference at line {line} (byte {total + at + 1}):")
            pairs = itertools.zip_longest(old_text.split(b"\n"), new_text.split(b"\n"))
            shown = 0
            for n, (x, y) in enumerate(pairs):
                if x != y and shown < SHOWN:
                    print(f"  line {line + n} old: {'(none)' if x is None else show(x, y)}")
                    print(f"  line {line + n} new: {'(none)' if y is None else show(y, x)}")
                    shown += 1
            new_size = total + len(b) + len(more_new)
            while chunk := new.read(BLOCK):  # drained, so that the program ends as it would
                new_size += len(chunk)
            print(f"  sizes: old {os.path.getsize(old_path)} bytes, new {new_size} bytes")
            return 1


# The fixed answers of the command line: what a user meets before a request.
FIXED = [
    [], ["--help"], ["--version"], ["--census", "list"], ["--census", " LIST "], ["--census", "EW1841"],
    ["--census", "nowhere", "--years", "30"], ["--gedcom", "6", "--event", "1841", "--years", "30"],
    ["--window", "--event", "1841", "--years", "30"], ["--csv"], ["--csv", "-"], ["--csv", "/"],
    ["--csv", "/nonexistent/input.csv"], ["--csv", "-", "--json"], ["--csv", "-", "--event", "1841"],
    ["--person", "person"], ["--csv", "-", "--person", "person"], ["--csv", "-", "--person", "p", "--people", "-"],
    ["--record", "colour=red"], ["--record", "census=EW1841;years=30", "--event", "1841"],
    ["--record", "census=EW1841;years=30", "--census", "EW1851"], ["--record", ""],
    ["--event", "1841", "--years", "30", "--bogus"], ["--event"], ["--years", "-5", "--event", "1841"],
    ["--event", "Dec 7, 1941", "--years", "40"], ["--event", "Dec 7, 1941", "--years", "40", "--json"],
    ["--event", "14 MAR 1862", "--years", "3 weeks", "--gedcom", "7"],
    ["--event", "Dec 7, 1941", "--years", "40", "--gedcom", "5.5.1", "--abbreviated", "--weekday"],
]

VARIANTS = [["--json"], ["--gedcom", "7"], ["--abbreviated", "--weekday"], ["--json", "--gedcom", "7"],
            ["--gedcom", "5.5.1"], ["--abbreviated", "--weekday", "--json"]]
RECORD_VARIANTS = [[], ["--json"], ["--gedcom", "7"], ["--json", "--gedcom", "5.5.1"],
                   ["--abbreviated", "--weekday"]]
OPTIONS = ["--event", "--years", "--months", "--days", "--birth"]
COLUMNS = {"person": 1, "census": 2, "event": 3, "years": 4, "months": 5, "days": 6, "birth": 7}
RECORD_KEYS = ["event", "years", "months", "days", "birth", "census"]


def clean(text):
    # An argument cannot hold a NUL byte.
    return text.replace("\0", "")


def cases(csv_path, rows, singles_path, records_path):
    step = max(1, int(rows) // 2000)
    singles, people = [], {}
    with open(csv_path, newline="", encoding="latin-1") as f:
        reader = csv.reader(f)
        next(reader)
        for n, row in enumerate(reader):
            if len(row) != 9:
                continue
            # The records of the first 2000 people met, 4 each at most.
            person = row[1].strip()
            if person and (person in people or len(people) < 2000) and len(people.get(person, ())) < 4:
                people.setdefault(person, []).append(row)
            if n % step or len(singles) >= 2 * 2000:
                continue
            args = []
            for option, value in zip(OPTIONS, row[3:8]):
                if value:
                    value = clean(value)
                    # Both spellings; a value starting with - only fits the first.
                    args += [f"{option}={value}"] if value.startswith("-") or len(singles) % 4 == 1 \
                        else [option, value]
            if row[2]:
                args += [f"--census={clean(row[2])}"]
            singles.append(args)
            singles.append(args + VARIANTS[len(singles) // 2 % len(VARIANTS)])
    with open(singles_path, "w") as out:
        for args in FIXED + singles:
            out.write(json.dumps(args) + "\n")

    # --record runs: people with two records or more, mostly the made-up
    # people (P...) whose records agree or conflict, some with the
    # transcription's own people (Q...).
    made_up = [rs for p, rs in people.items() if p.startswith("P") and len(rs) >= 2]
    others = [rs for p, rs in people.items() if not p.startswith("P") and len(rs) >= 2]
    chosen = made_up[:240] + others[:60]
    with open(records_path, "w") as out:
        for n, rs in enumerate(chosen):
            args = []
            for row in rs[:2 + n % 3]:
                parts = [f"{key}={clean(row[COLUMNS[key]])}" for key in RECORD_KEYS if row[COLUMNS[key]]]
                args += ["--record", ";".join(parts)]
            out.write(json.dumps(args + RECORD_VARIANTS[n % len(RECORD_VARIANTS)]) + "\n")
    return 0


def run(program, cases_path, results_path):
    def one(line):
        args = [a.encode("latin-1") for a in json.loads(line)]
        done = subprocess.run([program.encode()] + args, stdin=subprocess.DEVNULL, capture_output=True)
        return json.dumps([done.returncode, done.stdout.decode("latin-1"), done.stderr.decode("latin-1")])

    # Two at a time: starting a process is most of the cost.
    with open(cases_path) as cases_file, open(results_path, "w") as out, \
            concurrent.futures.ThreadPoolExecutor(2) as pool:
        for result in pool.map(one, cases_file):
            out.write(result + "\n")
    return 0


def diff_runs(cases_path, old_path, new_path):
    with open(cases_path) as c, open(old_path) as o, open(new_path) as n:
        args, old, new = [json.loads(x) for x in c], [json.loads(x) for x in o], [json.loads(x) for x in n]
    size = sum(len(r[1]) + len(r[2]) for r in old)
    differing = [i for i in range(len(args)) if i >= len(old) or i >= len(new) or old[i] != new[i]]
    if not differing and len(old) == len(new) == len(args):
        print(len(args), size)
        return 0
    print(f"{len(differing)} of {len(args)} runs differ; the first:")
    for i in differing[:SHOWN]:
        print(f"  quillark-calc {' '.join(show(a) for a in args[i])}")
        o, n = old[i] if i < len(old) else None, new[i] if i < len(new) else None
        for name, r, other in (("old", o, n), ("new", n, o)):
            if r is None:
                print(f"    {name}: not run")
                continue
            print(f"    {name}: exit {r[0]}, stdout {show(r[1], other and other[1])}, "
                  f"stderr {show(r[2], other and other[2])}")
    return 1


def main(argv):
    commands = {"stream": (stream, 1), "cases": (cases, 4), "run": (run, 3), "diff-runs": (diff_runs, 3)}
    if len(argv) < 2 or argv[1] not in commands or len(argv) - 2 != commands[argv[1]][1]:
        print(__doc__, file=sys.stderr)
        return 64
    function, _ = commands[argv[1]]
    return function(*argv[2:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
