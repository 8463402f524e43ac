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
python3 - "$rows" "$work/inclusive.txt" <<'PY'
import re, sys
rows, path = int(sys.argv[1]), sys.argv[2]
inclusive = {}
for line in open(path):
    m = re.match(r"\s*([\d,]+) \([^)]*\)\s+([^=\s].*)$", line)
    if not m:
        continue
    count = int(m.group(1).replace(",", ""))
    # "file:function [object]": a function is listed under more than one
    # file when code of other files was inlined into it; the largest count
    # is the whole of it.
    name = re.sub(r" \[[^]]*\]$", "", m.group(2))
    name = name.split(":", 1)[1] if ":" in name and not name.startswith("???") else name
    inclusive[name] = max(inclusive.get(name, 0), count)

def total(pattern):
    # Functions themselves, not the lambdas inside them.
    return sum(c for n, c in inclusive.items() if re.search(pattern, n) and "{lambda" not in n)

batch = total(r"^quillark::runBatch\(")
reader = total(r"^quillark::CsvReader::(next|field)\(")
# The answer is the research pipeline; a build from before it had one
# answered a row with these calls from the batch itself.
answer = total(r"^quillark::ResearchPipeline::answer\(") or total(
    r"^(answerRequest|quillark::translateResearcherForms|quillark::citeAnswer|quillark::applyCensus|"
    r"quillark::recordBirthWindow)\(")
writer = total(r"^quillark::CsvWriter::(field|emptyFields|writtenFields|endRecord|flush)\(")
whole = max(inclusive.values())
loop = batch - reader - answer - writer
print(f"{rows} rows: {whole / rows:.0f} instructions a row in all, {batch / rows:.0f} in the batch:")
for name, count in (("reader", reader), ("answer", answer), ("writer", writer), ("loop", loop)):
    print(f"  {name:7s} {count / rows:6.0f}")
PY
