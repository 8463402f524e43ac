#!/usr/bin/env bash
# The tree audit at scale: a generated GEDCOM tree of PEOPLE individuals,
# each with a recorded birth (or none), a baptism, censuses with ages (the
# 1841 ones rounded down to five as the enumerators wrote them), a burial
# with the age at death, and a marriage in a family with both spouses'
# ages, all with source citations and CONC lines as real exports carry
# them. Runs quillark-calc --audit on it and reports wall and CPU time, the
# rate in MB/s of GEDCOM per CPU second (the program runs on one core), and
# peak resident memory (from /usr/bin/time -v); then runs it on a tree of a
# tenth the size, so that memory per individual shows; and checks the
# report: one row per individual and the verdicts the generator planted.
#
# usage: bench/audit_bench.sh [PEOPLE] [QUILLARK_CALC]
#   PEOPLE         individuals to generate (default 1000000)
#   QUILLARK_CALC  the program (default build/host/cli/quillark-calc)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
people="${1:-1000000}"
calc="${2:-$root/build/host/cli/quillark-calc}"

source "$here/bench_common.sh"
bench_start audit_bench.sh "$calc"

# generate PEOPLE PATH: writes the tree and prints the planted counts as
# "rows conflict disagree".
generate() {
  python3 - "$1" "$2" <<'PY'
import datetime, random, sys
# An even number: everyone is married, so every burial age ten years out
# meets a marriage age it cannot agree with.
people, path = int(sys.argv[1]) // 2 * 2, sys.argv[2]
rnd = random.Random(1841)
censuses = [datetime.date(1841, 6, 6), datetime.date(1851, 3, 30), datetime.date(1861, 4, 7),
            datetime.date(1871, 4, 2), datetime.date(1881, 4, 3)]
months = ["JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"]
def ged(d): return "%d %s %d" % (d.day, months[d.month - 1], d.year)
def age(birth, day): return day.year - birth.year - ((day.month, day.day) < (birth.month, birth.day))
births = [datetime.date(1780, 1, 1) + datetime.timedelta(days=rnd.randrange(0, 365 * 45)) for _ in range(people)]
conflicts = disagree = 0
out = open(path, "w", newline="")
out.write("0 HEAD\r\n1 SOUR BENCH\r\n1 GEDC\r\n2 VERS 5.5.1\r\n2 FORM LINEAGE-LINKED\r\n1 CHAR UTF-8\r\n")
chunk = []
for p in range(people):
    birth = births[p]
    wrong_birth = p % 50 == 0          # a recorded birth ten years out
    wrong_burial = p % 97 == 0         # a burial age ten years out
    disagree += wrong_burial
    lines = ["0 @I%d@ INDI" % p, "1 NAME Person%d /Surname%d/" % (p, p % 5000), "2 GIVN Person%d" % p,
             "2 SURN Surname%d" % (p % 5000), "1 SEX %s" % "MF"[p % 2]]
    kind = p % 10
    conflicts += wrong_birth and not wrong_burial and kind < 9  # kind 9 records no birth
    shown = birth.replace(year=birth.year - 10) if wrong_birth and birth.month * 100 + birth.day != 229 else birth
    if wrong_birth and shown == birth: shown = datetime.date(birth.year - 10, birth.month, 28)
    if kind < 4: lines += ["1 BIRT", "2 DATE " + ged(shown), "2 PLAC Parish %d, Devon, England" % (p % 700)]
    elif kind < 8: lines += ["1 BIRT", "2 DATE %d" % shown.year]
    elif kind < 9: lines += ["1 BIRT", "2 DATE ABT %d" % shown.year]
    bapm = birth + datetime.timedelta(days=rnd.randrange(0, 60))
    lines += ["1 BAPM", "2 DATE " + ged(bapm), "2 PLAC Parish %d, Devon, England" % (p % 700)]
    death = birth + datetime.timedelta(days=rnd.randrange(365 * 45, 365 * 90))
    for day in censuses:
        if day <= birth or day >= death or rnd.random() < 0.3: continue
        a = age(birth, day)
        if day.year == 1841 and a >= 15: a -= a % 5
        lines += ["1 CENS", "2 DATE " + ged(day), "2 AGE %d" % a, "2 PLAC Parish %d, Devon, England" % (p % 700),
                  "2 SOUR @S%d@" % (day.year), "3 PAGE Piece %d; Folio %d; Page %d; Schedule %d; Record set: %d "
                  "England, Wales & Scotland Census; Category: Census, Land & Sub" % (p % 900, p % 80, p % 40, p % 200, day.year),
                  "4 CONC stitutes; Collections from: United Kingdom, England"]
    lines += ["1 BURI", "2 DATE " + ged(death), "2 AGE %d" % (age(birth, death) + (10 if wrong_burial else 0)),
              "2 PLAC Churchyard %d, Devon, England" % (p % 700)]
    lines.append("1 FAMS @F%d@" % (p // 2))
    chunk.append("\r\n".join(lines))
    if len(chunk) >= 10000:
        out.write("\r\n".join(chunk) + "\r\n")
        chunk = []
if chunk: out.write("\r\n".join(chunk) + "\r\n")
chunk = []
for f in range(people // 2):
    h, w = 2 * f, 2 * f + 1
    wedding = max(births[h], births[w]) + datetime.timedelta(days=365 * 20 + rnd.randrange(0, 365 * 10))
    chunk.append("\r\n".join(["0 @F%d@ FAM" % f, "1 HUSB @I%d@" % h, "1 WIFE @I%d@" % w, "1 MARR",
                              "2 DATE " + ged(wedding), "2 HUSB", "3 AGE %d" % age(births[h], wedding), "2 WIFE",
                              "3 AGE %d" % age(births[w], wedding)]))
    if len(chunk) >= 10000:
        out.write("\r\n".join(chunk) + "\r\n")
        chunk = []
if chunk: out.write("\r\n".join(chunk) + "\r\n")
out.write("0 TRLR\r\n")
print(people, conflicts, disagree)
PY
}

# run NAME PEOPLE: generates, measures and checks one tree.
run() {
  local name="$1" count="$2" planted line status=0
  planted="$(generate "$count" "$work/$name.ged")"
  local bytes
  bytes="$(stat -c %s "$work/$name.ged")"
  line="$(bench_measure "$calc" --audit "$work/$name.ged" --output "$work/$name.csv" 2> /dev/null)" || status=$?
  if ((status > 1)); then echo "quillark-calc failed ($status)" >&2; exit 1; fi
  awk -v b="$bytes" -v n="$count" -v name="$name" '{
    printf "%s: %d individuals, %.1f MB: %.2f s wall, %.2f s CPU, %.0f MB/s of GEDCOM per CPU second, peak %.1f MiB (%.0f bytes per individual)\n",
      name, n, b / 1e6, $1, $2, b / 1e6 / $2, $3 / 1024, $3 * 1024 / n }' <<<"$line"
  python3 - "$work/$name.csv" $planted <<'PY'
import collections, csv, sys
rows = list(csv.DictReader(open(sys.argv[1], newline="", encoding="utf-8")))
people, conflicts, disagree = (int(x) for x in sys.argv[2:5])
verdicts = collections.Counter(r["verdict"] for r in rows)
print(f"  report: {len(rows)} rows, {dict(verdicts)}")
ok = len(rows) == people and verdicts["records disagree"] == disagree and verdicts["conflict"] == conflicts
if not ok:
    print(f"  expected {people} rows, {conflicts} conflicts and {disagree} records disagree", file=sys.stderr)
sys.exit(0 if ok else 1)
PY
  rm -f "$work/$name.ged" "$work/$name.csv"
}

run small "$((people / 10))"
run full "$people"
