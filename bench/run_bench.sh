#!/usr/bin/env bash
# Batch throughput of quillark-calc against the Python comparison script on
# the same generated file, in the same run: rows per second (wall clock) and
# peak resident memory, both from /usr/bin/time -v, with rows per second of
# CPU time (user + system) beside the wall-clock rate since a shared machine
# stretches wall time. Each program runs RUNS times, alternating; medians are
# reported. The two outputs must be identical.
#
# usage: bench/run_bench.sh [ROWS] [QUILLARK_CALC] [RUNS] [FILE]
#   ROWS           rows to generate (default 1000000)
#   QUILLARK_CALC  the program (default build/host/cli/quillark-calc, the host preset's)
#   RUNS           runs per program (default 3)
#   FILE           census (default): full event dates and whole years, as
#                  generate_rows.py writes them; or mixed: a transcription
#                  with partial dates, ranges, bounds, blanks and junk, from
#                  the request generator golden_requests (host build). The
#                  Python script only handles the census rows, so the outputs
#                  of a mixed file are not compared.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
rows="${1:-1000000}"
calc="${2:-$root/build/host/cli/quillark-calc}"
runs="${3:-3}"
file="${4:-census}"

source "$here/bench_common.sh"
bench_start run_bench.sh "$calc"
if [[ "$file" == mixed ]]; then
  generator="$root/build/host/tests/unit/golden/golden_requests"
  if [[ ! -x "$generator" ]]; then
    echo "run_bench.sh: $generator not found; build it first (cmake --build <dir> --target golden_requests)" >&2
    exit 2
  fi
  "$generator" csv 1941 "$rows" > "$work/input.csv"
else
  python3 "$here/generate_rows.py" "$rows" "$work/input.csv"
fi
echo "input: $rows rows, $(stat -c %s "$work/input.csv") bytes"

report() {
  local name="$1" file="$2"
  python3 - "$name" "$rows" "$file" <<'PY'
import statistics, sys
name, rows, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
runs = [tuple(map(float, line.split())) for line in open(path) if line.strip()]
wall = statistics.median(r[0] for r in runs)
cpu = statistics.median(r[1] for r in runs)
rss = max(r[2] for r in runs)
print(f"{name:14s} {rows / wall:11,.0f} rows/s wall ({wall:6.2f} s)  {rows / cpu:11,.0f} rows/s of CPU"
      f" ({cpu:6.2f} s)  peak {rss / 1024:5.1f} MiB")
print(f"{rows / wall:.0f} {rows / cpu:.0f}", file=open(path + '.rate', 'w'))
PY
}

: > "$work/calc.runs"
: > "$work/python.runs"
for ((i = 0; i < runs; i++)); do
  set +e
  bench_measure "$calc" --csv "$work/input.csv" --output "$work/calc.csv" >> "$work/calc.runs"
  status=$?
  set -e
  # Exit 1 only says that some rows have errors, as a mixed file's do.
  if [[ $status -ne 0 && ! ($status -eq 1 && "$file" == mixed) ]]; then echo "quillark-calc failed" >&2; exit 1; fi
  bench_measure python3 "$here/birth_years.py" "$work/input.csv" "$work/python.csv" >> "$work/python.runs"
done

echo "median of $runs runs each; peak memory is the largest maximum resident set size"
report quillark-calc "$work/calc.runs"
report python3 "$work/python.runs"
python3 -c "import sys; c, p = ([float(x) for x in open(f).read().split()] for f in sys.argv[1:]); print(f'speed-up: {c[0] / p[0]:.1f} x wall clock, {c[1] / p[1]:.1f} x CPU')" \
  "$work/calc.runs.rate" "$work/python.runs.rate"
if [[ "$file" == mixed ]]; then
  echo "outputs: not compared (the Python script handles only full dates with whole years)"
elif cmp -s "$work/calc.csv" "$work/python.csv"; then
  echo "outputs: identical ($(stat -c %s "$work/calc.csv") bytes)"
else
  echo "outputs differ:" >&2
  diff <(head -c 100000 "$work/calc.csv") <(head -c 100000 "$work/python.csv") | head -5 >&2
  exit 1
fi
