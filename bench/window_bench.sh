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

if [[ ! -x "$calc" ]]; then
  echo "window_bench.sh: $calc not found; build it first (cmake --build <dir> --target quillark-calc)" >&2
  exit 2
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$here/generate_rows.py" "$rows" "$work/input.csv"
echo "input: $rows rows, $(stat -c %s "$work/input.csv") bytes"

variants=("plain" "window" "window+gedcom")
flags_plain=()
flags_window=(--window)
flags_gedcom=(--window --gedcom 7)

run_one() {  # variant-index -> appends "wall cpu" to its file
  local name="${variants[$1]}" flags
  case "$1" in
    0) flags=("${flags_plain[@]}") ;;
    1) flags=("${flags_window[@]}") ;;
    *) flags=("${flags_gedcom[@]}") ;;
  esac
  /usr/bin/time -v -o "$work/time.txt" "$calc" --csv "$work/input.csv" --output "$work/out.csv" \
    ${flags[@]+"${flags[@]}"}
  python3 - "$work/time.txt" >> "$work/$name.runs" <<'PY'
import sys
fields = dict(line.strip().split(": ", 1) for line in open(sys.argv[1]) if ": " in line)
wall = 0.0
for part in fields["Elapsed (wall clock) time (h:mm:ss or m:ss)"].split(":"):
    wall = wall * 60 + float(part)
print(wall, float(fields["User time (seconds)"]) + float(fields["System time (seconds)"]))
PY
}

for ((i = 0; i < runs; i++)); do
  for v in 0 1 2; do run_one "$v"; done
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
