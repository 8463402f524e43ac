#!/usr/bin/env bash
# research: the research transcription is the same for a seed and holds
# what it is made to exercise; compare: bench/compare_builds.sh passes a
# build compared with itself but not with one whose answers differ.
# usage: compare_builds_test.sh SOURCE_DIR BUILD_DIR research|compare
set -euo pipefail
source_dir="$1"
build="$2"
part="$3"
generator="$build/tests/unit/golden/golden_requests"
calc="$build/cli/quillark-calc"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

research_checks() {
  "$generator" research-csv 7 20000 > "$work/a.csv"
  "$generator" research-csv 7 20000 > "$work/b.csv"
  "$generator" research-csv 8 20000 > "$work/c.csv"
  cmp -s "$work/a.csv" "$work/b.csv" || fail "research-csv 7 gives two different files"
  cmp -s "$work/a.csv" "$work/c.csv" && fail "research-csv 7 and 8 give the same file"
  [[ "$(head -1 "$work/a.csv")" == id,person,census,event,years,months,days,birth,note ]] || fail "header: $(head -1 "$work/a.csv")"

  status=0
  "$calc" --csv "$work/a.csv" --person person --people "$work/people.csv" --window > "$work/out.csv" 2> /dev/null || status=$?
  ((status == 1)) || fail "quillark-calc exits $status on the research file, not 1 (rows with errors)"
  for seen in ",ok" "Census error: no census named" "Census error: the event date" "Row error:" \
    "rounded down to a multiple of 5" "without its 'ABT'" "is read as 21 days" "years or under" \
    "The months field is used" "Illegal Date:" "Data error:"; do
    grep -qF -- "$seen" "$work/out.csv" || fail "no row of the research file's answers has '$seen'"
  done
  python3 - "$work/people.csv" <<'PY' || fail "the people file lacks people of several records, agreeing and conflicting"
import collections, csv, sys
rows = list(csv.DictReader(open(sys.argv[1], newline="", encoding="latin-1")))
made_up = [r for r in rows if r["person"].startswith("P")]
status = collections.Counter(r["status"] for r in made_up)
several = sum(1 for r in made_up if int(r["records"]) >= 3)
outliers = sum(1 for r in made_up if r["outlier_line"])
print(f"{len(made_up)} made-up people: {dict(status)}, {several} with 3 records or more, {outliers} with an outlier")
sys.exit(0 if status["ok"] > status["conflict"] > 0 and several > len(made_up) // 2 and outliers > 0 else 1)
PY
}

compare_checks() {
  compare="$source_dir/bench/compare_builds.sh"
  if ! bash "$compare" "$build" "$build" 12 7 > "$work/same.txt" 2>&1; then
    cat "$work/same.txt"
    fail "a build compared with itself is not identical"
  fi
  grep -q "^all identical" "$work/same.txt" || fail "no 'all identical' line"
  [[ "$(grep -c " identical: " "$work/same.txt")" == 12 ]] || fail "not twelve identical comparisons"

  # A build whose batch says OK for ok, and whose calculation errors exit as
  # illegal dates.
  mkdir -p "$work/doctored/cli" "$work/doctored/tests/unit/golden"
  ln -s "$(realpath "$generator")" "$work/doctored/tests/unit/golden/golden_requests"
  cat > "$work/doctored/cli/quillark-calc" <<EOF
#!/usr/bin/env bash
set -o pipefail
"$(realpath "$calc")" "\$@" | sed 's/,ok\$/,OK/'
status=\$?
exit \$((status == 3 ? 2 : status))
EOF
  chmod +x "$work/doctored/cli/quillark-calc"
  status=0
  bash "$compare" "$build" "$work/doctored" 12 7 > "$work/doctored.txt" 2>&1 || status=$?
  ((status == 1)) || fail "the comparison with a doctored build exits $status, not 1"
  grep -q "^golden record  .* identical: 12 rows" "$work/doctored.txt" || fail "the golden records no longer compare identical"
  grep -q "^batch plain  .* DIFFERENT" "$work/doctored.txt" || fail "the doctored batch is not found different"
  grep -q "old: .*,ok\$" "$work/doctored.txt" && grep -q "new: .*,OK\$" "$work/doctored.txt" \
    || fail "the first differing lines are not shown"
  grep -q "^single requests  .* DIFFERENT" "$work/doctored.txt" || fail "the doctored exit statuses are not found"
  grep -q "old: exit 3," "$work/doctored.txt" && grep -q "new: exit 2," "$work/doctored.txt" \
    || fail "the differing exit status is not shown"
  ((failures == 0)) || cat "$work/doctored.txt"
}

case "$part" in
  research) research_checks ;;
  compare) compare_checks ;;
  *) echo "usage: compare_builds_test.sh SOURCE_DIR BUILD_DIR research|compare" >&2; exit 64 ;;
esac
((failures == 0)) || exit 1
echo "$part: all checks passed"
