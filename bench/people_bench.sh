#!/usr/bin/env bash
# One person across records, at scale: a generated file of ROWS census and
# burial rows for PEOPLE people (the rows of one person scattered through the
# file), run through quillark-calc --person/--people. Reports wall and CPU
# time and peak resident memory (from /usr/bin/time -v) for the run with the
# people file and for the same batch without it, so the memory the people
# take shows apart from the batch's own; then checks the people file: one
# row per person, and the statuses the generator planted.
#
# usage: bench/people_bench.sh [ROWS] [PEOPLE] [QUILLARK_CALC]
#   ROWS           rows to generate (default 1000000)
#   PEOPLE         people they belong to (default 200000)
#   QUILLARK_CALC  the program (default build/host/cli/quillark-calc)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
rows="${1:-1000000}"
people="${2:-200000}"
calc="${3:-$root/build/host/cli/quillark-calc}"

source "$here/bench_common.sh"
bench_start people_bench.sh "$calc"

# Each person has a true birth day; each row is a census of 1841-1911 with
# the age that day gives (1841 rounded down to a multiple of 5 from 15), or a
# burial with the age at death. One person in fifty has one row whose age is
# ten years out, which the people file must report as a conflict. Rows are
# shuffled so that one person's rows lie far apart.
python3 - "$rows" "$people" "$work/input.csv" <<'PY'
import csv, datetime, random, sys
rows, people, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
rnd = random.Random(1841)
censuses = [("EW1841", datetime.date(1841, 6, 6)), ("EW1851", datetime.date(1851, 3, 30)),
            ("EW1861", datetime.date(1861, 4, 7)), ("EW1871", datetime.date(1871, 4, 2)),
            ("EW1881", datetime.date(1881, 4, 3)), ("EW1891", datetime.date(1891, 4, 5)),
            ("EW1901", datetime.date(1901, 3, 31)), ("EW1911", datetime.date(1911, 4, 2))]

def age(birth, day):
    return day.year - birth.year - ((day.month, day.day) < (birth.month, birth.day))

out = []
for n in range(rows):
    person = n % people
    p = random.Random(person)
    birth = datetime.date(1780, 1, 1) + datetime.timedelta(days=p.randrange(0, 365 * 50))
    outlier = person % 50 == 0 and n // people == 1
    if n // people == 4:
        day = birth + datetime.timedelta(days=p.randrange(365 * 60, 365 * 90))
        a = age(birth, day)
        out.append(["P%06d" % person, "", day.strftime("%m/%d/%Y"), a + (10 if outlier else 0)])
        continue
    name, day = rnd.choice([c for c in censuses if c[1] > birth])
    a = age(birth, day)
    if name == "EW1841" and a >= 15:
        a -= a % 5
    out.append(["P%06d" % person, name, "", a + (10 if outlier else 0)])
rnd.shuffle(out)
with open(path, "w", newline="") as f:
    w = csv.writer(f, lineterminator="\n")
    w.writerow(["person", "census", "event", "years"])
    w.writerows(out)
PY
echo "input: $rows rows of $people people, $(stat -c %s "$work/input.csv") bytes"

# measure command...: prints "W s wall, C s CPU, peak P MiB" of one run
measure() {
  local line status=0
  line="$(bench_measure "$@")" || status=$?
  if ((status != 0)); then echo "quillark-calc failed ($status)" >&2; exit 1; fi
  awk '{ printf "%.2f s wall, %.2f s CPU, peak %.1f MiB\n", $1, $2, $3 / 1024 }' <<<"$line"
}

echo "with --person/--people: $(measure "$calc" --csv "$work/input.csv" --output "$work/out.csv" \
  --person person --people "$work/people.csv")"
echo "batch alone:            $(measure "$calc" --csv "$work/input.csv" --output "$work/plain.csv")"

python3 - "$work/people.csv" "$people" <<'PY'
import collections, csv, sys
rows = list(csv.DictReader(open(sys.argv[1], newline="")))
expected = int(sys.argv[2])
status = collections.Counter(r["status"] for r in rows)
outliers = sum(1 for r in rows if r["outlier_line"])
print(f"people file: {len(rows)} people, {dict(status)}, {outliers} conflicts with one record standing out")
planted = len(range(0, expected, 50))
ok = len(rows) == expected and status["conflict"] == planted and outliers == planted
if not ok:
    print(f"expected {expected} people and {planted} conflicts, each with its outlier", file=sys.stderr)
sys.exit(0 if ok else 1)
PY
