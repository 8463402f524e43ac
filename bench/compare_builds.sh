#!/usr/bin/env bash
# Do two builds answer byte for byte the same? Runs the engine's seeded
# golden requests and quillark-calc over generated transcriptions, single
# requests and --record runs with both builds, one build after the other,
# and compares everything a user sees: standard output, standard error, the
# people file and exit statuses. Prints one line per comparison,
#   batch --window                           identical: 1000000 rows, 187654321 bytes, exit 1 (3.1 s)
# or the first differing lines; exits 0 when all are identical, 1 when any
# differ, 2 when it cannot run.
#
# usage: bench/compare_builds.sh OLD_BUILD_DIR NEW_BUILD_DIR [ROWS] [SEED]
#   OLD_BUILD_DIR, NEW_BUILD_DIR
#          host build folders (as build/host), each with cli/quillark-calc
#          and tests/unit/golden/golden_requests
#   ROWS   rows of each generated request list and CSV (default 1000000)
#   SEED   seed of the generators (default 1841)
#
# What is compared:
# 1. golden_requests record SEED ROWS, and the same with the transcription
#    mix: each build's own generator and engine.
# 2. quillark-calc --csv over one research transcription of ROWS rows
#    (golden_requests research-csv: the transcription requests with census
#    and person columns, people with several records, some in conflict, and
#    the researchers' date and age forms), plain, --window, --gedcom 5.5.1,
#    --gedcom 7, --window --gedcom 7, --abbreviated --weekday --window, and
#    --person person --people FILE with and without --gedcom 7 (the people
#    file compared too). The file is made once, by the first of NEW, OLD and
#    this tree's build/host whose generator has the mode, and fed to both,
#    so a build older than the mode still compares.
# 3. Single requests: every (ROWS / 2000)-th row of that file (2000 rows
#    at most) as --event, --years, --months, --days, --birth and --census
#    options, each plain and with one of --json, --gedcom, --abbreviated
#    --weekday; the command line's fixed answers (--help, --census list,
#    usage errors); and 300 --record runs of 2 to 4 records of one person
#    (bench/compare_builds.py makes and runs them, two at a time). NUL
#    bytes, which no argument can hold, are left out of the arguments.
#
# The old build's output goes to a scratch file and the new build's is
# streamed against it, so at most one copy of an output is on disk (about
# 200 MB at a million rows); the scratch folder is removed on exit. About
# three minutes at a million rows on two cores.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
if (($# < 2 || $# > 4)); then
  sed -n '11,17p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
old_dir="$1"
new_dir="$2"
rows="${3:-1000000}"
seed="${4:-1841}"
if [[ ! "$rows" =~ ^[1-9][0-9]*$ || ! "$seed" =~ ^[0-9]+$ ]]; then
  echo "compare_builds.sh: ROWS must be a positive number and SEED a number" >&2
  exit 2
fi
for dir in "$old_dir" "$new_dir"; do
  for program in cli/quillark-calc tests/unit/golden/golden_requests; do
    if [[ ! -x "$dir/$program" ]]; then
      echo "compare_builds.sh: $dir/$program not found; build it first (cmake --build <dir>)" >&2
      exit 2
    fi
  done
done
old_calc="$old_dir/cli/quillark-calc"
new_calc="$new_dir/cli/quillark-calc"
helper="$here/compare_builds.py"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
differing=0
started=$EPOCHREALTIME

# seconds_since START: the seconds since START (an EPOCHREALTIME), to a tenth.
seconds_since() {
  local tenths=$(((${EPOCHREALTIME//[!0-9]/} - ${1//[!0-9]/}) / 100000))
  echo "$((tenths / 10)).$((tenths % 10))"
}

# report NAME TEXT START: one line, with the time since START.
report() { printf '%-40s %s (%s s)\n' "$1" "$2" "$(seconds_since "$3")"; }

# compare_output NAME COUNT WHAT OLD_PROGRAM NEW_PROGRAM ARGS...: runs the
# old program and then the new one with ARGS (a @PEOPLE@ among them is a
# people file of each run's own) and compares standard output, standard
# error, exit status and the people file. WHAT names COUNT (rows).
compare_output() {
  local name="$1" count="$2" what="$3" old_program="$4" new_program="$5"
  shift 5
  local from=$EPOCHREALTIME old_status=0 new_status=0 args_old=() args_new=() a people=0
  for a in "$@"; do
    if [[ "$a" == @PEOPLE@ ]]; then
      people=1
      args_old+=("$work/old-people.csv")
      args_new+=("$work/new-people.csv")
    else
      args_old+=("$a")
      args_new+=("$a")
    fi
  done
  rm -f "$work/old-people.csv" "$work/new-people.csv"
  "$old_program" "${args_old[@]}" > "$work/old.out" 2> "$work/old.err" < /dev/null || old_status=$?
  set +e
  "$new_program" "${args_new[@]}" 2> "$work/new.err" < /dev/null | python3 "$helper" stream "$work/old.out" > "$work/stream.txt"
  local statuses=("${PIPESTATUS[@]}")
  set -e
  new_status=${statuses[0]}
  local same=1 problems=()
  if ((statuses[1] != 0)); then
    same=0
    problems+=("standard output differs: $(cat "$work/stream.txt")")
  fi
  if ((old_status != new_status)); then
    same=0
    problems+=("exit status: old $old_status, new $new_status")
  fi
  if ! cmp -s "$work/old.err" "$work/new.err"; then
    same=0
    problems+=("standard error differs:
$({ diff "$work/old.err" "$work/new.err" || true; } | head -8 | sed 's/^/  /')")
  fi
  local people_text=""
  if ((people)); then
    if [[ -f "$work/old-people.csv" && -f "$work/new-people.csv" ]] \
      && python3 "$helper" stream "$work/old-people.csv" < "$work/new-people.csv" > "$work/people.txt"; then
      people_text="; people file: $(($(wc -l < "$work/old-people.csv") - 1)) people, $(stat -c %s "$work/old-people.csv") bytes"
    else
      same=0
      problems+=("people file differs: $(cat "$work/people.txt" 2> /dev/null || echo "one of the two is missing")")
    fi
  fi
  if ((same)); then
    read -r bytes _ < "$work/stream.txt"
    report "$name" "identical: $count $what, $bytes bytes, exit $old_status$people_text" "$from"
  else
    differing=$((differing + 1))
    report "$name" "DIFFERENT" "$from"
    printf '%s\n' "${problems[@]}" | sed 's/^/  /'
  fi
  rm -f "$work/old.out"
}

echo "comparing old $old_dir with new $new_dir: $rows rows, seed $seed"

# 1. The engine's golden requests.
compare_output "golden record" "$rows" rows "$old_dir/tests/unit/golden/golden_requests" \
  "$new_dir/tests/unit/golden/golden_requests" record "$seed" "$rows"
compare_output "golden record transcription" "$rows" rows "$old_dir/tests/unit/golden/golden_requests" \
  "$new_dir/tests/unit/golden/golden_requests" record "$seed" "$rows" transcription

# 2. Batches over one research transcription.
from=$EPOCHREALTIME
generator=""
for dir in "$new_dir" "$old_dir" "$root/build/host"; do
  if [[ -x "$dir/tests/unit/golden/golden_requests" ]] \
    && "$dir/tests/unit/golden/golden_requests" research-csv "$seed" "$rows" > "$work/research.csv" 2> /dev/null; then
    generator="$dir"
    break
  fi
done
if [[ -z "$generator" ]]; then
  echo "compare_builds.sh: no golden_requests with the research-csv mode in $new_dir, $old_dir or $root/build/host" >&2
  exit 2
fi
report "research transcription" "$rows rows, $(stat -c %s "$work/research.csv") bytes, made by $generator" "$from"
csv="$work/research.csv"
batch() { compare_output "$1" "$rows" rows "$old_calc" "$new_calc" --csv "$csv" "${@:2}"; }
batch "batch plain"
batch "batch --window" --window
batch "batch --gedcom 5.5.1" --gedcom 5.5.1
batch "batch --gedcom 7" --gedcom 7
batch "batch --window --gedcom 7" --window --gedcom 7
batch "batch --abbreviated --weekday --window" --abbreviated --weekday --window
batch "batch --person --people" --person person --people @PEOPLE@
batch "batch --person --people --gedcom 7" --person person --people @PEOPLE@ --gedcom 7

# 3. Single requests and --record runs.
python3 "$helper" cases "$csv" "$rows" "$work/singles.jsonl" "$work/records.jsonl"
for kind in singles records; do
  from=$EPOCHREALTIME
  python3 "$helper" run "$old_calc" "$work/$kind.jsonl" "$work/$kind.old"
  python3 "$helper" run "$new_calc" "$work/$kind.jsonl" "$work/$kind.new"
  name=$([[ $kind == singles ]] && echo "single requests" || echo "--record runs")
  if python3 "$helper" diff-runs "$work/$kind.jsonl" "$work/$kind.old" "$work/$kind.new" > "$work/runs.txt"; then
    read -r runs bytes < "$work/runs.txt"
    report "$name" "identical: $runs runs, $bytes bytes of output and errors" "$from"
  else
    differing=$((differing + 1))
    report "$name" "DIFFERENT" "$from"
    sed 's/^/  /' "$work/runs.txt"
  fi
done

if ((differing)); then
  echo "$differing comparisons differ (total $(seconds_since "$started") s)"
  exit 1
fi
echo "all identical (total $(seconds_since "$started") s)"
