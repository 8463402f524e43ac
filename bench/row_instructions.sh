#!/usr/bin/env bash
# Instructions per batch row, counted by callgrind: unlike a time, the count
# is the same run after run and whatever else the machine is doing. Printed
# for the whole run and for its parts: the reader (CsvReader::next), the
# answer (ResearchPipeline::answer: the researchers' forms, a census, the
# engine, a citation), the writer (the CsvWriter calls) and the loop (the
# rest of runBatch, with whatever the compiler inlined into it).
#
# usage: bench/row_instructions.sh [ROWS] [QUILLARK_CALC] [OPTION...]
#   ROWS           rows of bench/generate_rows.py to run (default 100000)
#   QUILLARK_CALC  the program (default build/host/cli/quillark-calc)
#   OPTION...      further quillark-calc options (--window, --gedcom 7, ...)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
rows="${1:-100000}"
calc="${2:-$root/build/host/cli/quillark-calc}"
shift $(($# < 2 ? $# : 2))
if ! command -v valgrind > /dev/null || ! command -v callgrind_annotate > /dev/null; then
  echo "row_instructions.sh: valgrind (callgrind) is missing (Debian package: valgrind)" >&2
  exit 2
fi
if [[ ! -x "$calc" ]]; then
  echo "row_instructions.sh: $calc not found; build it first" >&2
  exit 2
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$here/generate_rows.py" "$rows" "$work/input.csv"
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
  "$calc" --csv "$work/input.csv" --output /dev/null "$@" > /dev/null 2>&1 || [[ $? -eq 1 ]]
callgrind_annotate --inclusive=yes --auto=no --threshold=100 "$work/callgrind.out" > "$work/inclusive.txt"
callgrind_annotate --auto=yes --show-percs=no --include="$root" --threshold=100 "$work/callgrind.out" > "$work/self.txt"
python3 - "$rows" "$work/inclusive.txt" "$work/self.txt" "$root/cli/csv.h" <<'PY'
import re, sys
rows, inclusive_path, self_path, csv_header = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]

def counts(path):
    """Function -> cost: 'file:function [object]', the largest of a
    function's entries (code of other files inlined into it is listed
    apart)."""
    result = {}
    for line in open(path):
        m = re.match(r"\s*([\d,]+) (?:\([^)]*\))?\s+([^=\s].*)$", line)
        if not m or ":" not in m.group(2) or m.group(2).startswith("-- "):
            continue
        name = re.sub(r" \[[^]]*\]$", "", m.group(2))
        result[name] = max(result.get(name, 0), int(m.group(1).replace(",", "")))
    return result

def function(name):
    return name.split(":", 1)[1] if not name.startswith("???") else name

inclusive = {}
for name, count in counts(inclusive_path).items():
    key = function(name)
    inclusive[key] = max(inclusive.get(key, 0), count)

def total(pattern):
    # Functions themselves, not the lambdas inside them.
    return sum(c for n, c in inclusive.items() if re.search(pattern, n) and "{lambda" not in n)

# Code the compiler inlined into the loop from the CSV header: the lines of
# the reader's class count for the reader, the writer's for the writer.
classes = []
for number, text in enumerate(open(csv_header), start=1):
    m = re.match(r"class (CsvReader|CsvWriter)\b", text)
    if m:
        classes.append((number, m.group(1)))
def owner(line):
    found = None
    for start, name in classes:
        if line >= start:
            found = name
    return found
inlined = {"CsvReader": 0, "CsvWriter": 0}
section = None
line_number = 0
for text in open(self_path):
    if text.startswith("-- Auto-annotated source:"):
        section = text.split(":", 1)[1].strip()
        continue
    if section is None or not section.endswith("cli/csv.h"):
        continue
    m = re.match(r"-- line (\d+) -", text)
    if m:
        line_number = int(m.group(1))
        continue
    m = re.match(r"\s*([\d,]+|\.) ", text)
    if not m:
        continue
    if m.group(1) != "." and "=>" not in text:
        who = owner(line_number)
        if who:
            inlined[who] += int(m.group(1).replace(",", ""))
    if "=>" not in text:
        line_number += 1

# The writer scans a field for bytes that need quotes with vector
# instructions, which the compiler lists under their own header.
for name, count in counts(self_path).items():
    if re.search(r"mmintrin\.h:quillark::runBatch\(", name):
        inlined["CsvWriter"] += count
batch = total(r"^quillark::runBatch\(")
called_reader = total(r"^quillark::CsvReader::(next|field)\(")
called_writer = total(r"^quillark::CsvWriter::(field|fieldChecked|emptyFields|writtenFields|endRecord)\(")
reader = called_reader + inlined["CsvReader"]
writer = called_writer + inlined["CsvWriter"]
# The answer is the research pipeline; a build from before it had one
# answered a row with these calls from the batch itself.
answer = total(r"^quillark::ResearchPipeline::answer\(") or total(
    r"^(answerRequest|quillark::translateResearcherForms|quillark::citeAnswer|quillark::applyCensus|"
    r"quillark::recordBirthWindow)\(")
whole = max(inclusive.values())
loop = batch - reader - answer - writer
print(f"{rows} rows: {whole / rows:.0f} instructions a row in all, {batch / rows:.0f} in the batch:")
for name, count in (("reader", reader), ("answer", answer), ("writer", writer), ("loop", loop)):
    print(f"  {name:7s} {count / rows:6.0f}")
PY
