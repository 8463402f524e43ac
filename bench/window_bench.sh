#!/usr/bin/env bash
# What the citation columns cost the batch: quillark-calc on the same
# generated file plain, with --window, and with --window --gedcom 7, in RUNS
# rounds of one run each; median rows per second of wall clock and of CPU
# time (user + system, from /usr/bin/time -v), and each variant's CPU rate
# as a share of the plain one's in the same round (the median over rounds).
#
# usage: bench/window_bench.sh [ROWS] [QUILLARK_CALC] [RUNS]
#   ROWS           rows to generate (default 1000000)
#   QUILLARK_CALC  the program (default build/host/cli/quillark-calc)
#   RUNS           runs per variant (default 3)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
rows="${1:-1000000}"
calc="${2:-$root/build/host/cli/quillark-calc}"
runs="${3:-3}"

source "$here/bench_common.sh"
bench_start window_bench.sh "$calc"
python3 "$here/generate_rows.py" "$rows" "$work/input.csv"
echo "input: $rows rows, $(stat -c %s "$work/input.csv") bytes"

variants=("plain" "window" "window+gedcom")

run_one() {  # NAME FLAGS... -> appends "wall cpu peak" to NAME's file
  local name="$1"
  shift
  bench_measure "$calc" --csv "$work/input.csv" --output "$work/out.csv" "$@" >> "$work/$name.runs"
}

for ((i = 0; i < runs; i++)); do
  run_one plain
  run_one window --window
  run_one window+gedcom --window --gedcom 7
done

python3 - "$rows" "$work" "${variants[@]}" <<'PY'
import statistics, sys
rows, work, names = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
runs = {name: [tuple(map(float, l.split())) for l in open(f"{work}/{name}.runs") if l.strip()] for name in names}
base = names[0]
for name in names:
    wall = statistics.median(r[0] for r in runs[name])
    cpu = statistics.median(r[1] for r in runs[name])
    # The share of plain's rate, as the median over rounds of each round's
    # own ratio: the variants of a round ran one after the other, so a
    # machine that speeds up or slows down between rounds cancels out.
    share = statistics.median(p[1] / r[1] for p, r in zip(runs[base], runs[name]))
    print(f"{name:14s} {rows / wall:11,.0f} rows/s wall  {rows / cpu:11,.0f} rows/s of CPU"
          f"  ({100 * share:5.1f}% of plain's CPU rate, median of {len(runs[name])} rounds)")
PY
