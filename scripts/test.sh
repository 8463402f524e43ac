#!/usr/bin/env bash
# Installs whatever is missing, builds every target and runs every test:
# the native tests and a short run of each fuzz target (once, under
# AddressSanitizer/UBSan, in one clang build; the optimised build for the
# benchmarks and the one test that compares two optimised builds), and the
# Windows tests under Wine on private Xvfb displays.
#
# The Windows build comes first (the random walk's part of it first of all)
# so that its tests, which mostly wait on windows, run in the background
# while the native builds use the processors.
# They run in three lanes, each with its own X display and Wine prefix (its
# own desktop, focus and clipboard), so they never disturb each other: the
# long random walk in one, the checks of the start and test commands in
# another, every other Windows test in the third. Each
# lane starts an X server and a Wine server of its own (scripts/test-lane.sh)
# on the first free display number from the one given: a display someone
# else uses is never touched. Everything the command started is ended when it
# ends, done, failed or stopped with Ctrl-C, by the process ids it holds.
#
# Every test has one try, except the Windows tests labelled wine_timing
# (they depend on Wine's timing: focus, keystrokes, the clipboard hand-over),
# which are tried again after a failure, up to three tries in all; a test
# that passed only on a retry is named in the stage list and the summary.
#
#   QUILLARK_DISPLAY         first X display tried for the first lane (default 77)
#   QUILLARK_SECOND_DISPLAY  first X display tried for the second lane (default
#                            the first + 1)
#   QUILLARK_THIRD_DISPLAY   first X display tried for the third lane (default
#                            the second + 1)
#   QUILLARK_WINEPREFIX      Wine prefix of the first lane (default .wine-test);
#                            the others use the same path with "-2" and "-3"
#                            added
#
# Prints the time of each stage and ends with "Total: N passed, M failed",
# or "Total: N passed (K on a retry: NAME, ...), M failed"; the exit status
# is non-zero when anything failed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
started=$SECONDS
scripts/install-deps.sh || { echo "dependency installation failed"; exit 1; }

# Everything the command starts from here on carries its mark, so that
# whatever is still running when it ends - done, failed, or stopped with
# Ctrl-C - is ended by its process id: the lanes end their X and Wine servers
# themselves, and anything left after them (a Wine server of a test's own
# prefix, which lingers) is ended here.
# shellcheck source=own-processes.sh
source scripts/own-processes.sh
quillark_mark_processes QUILLARK_TEST_MARK
test_mark=$QUILLARK_TEST_MARK
declare -A lane_running=()
finish() {
  local rc=$? pid
  trap - EXIT INT TERM HUP
  # A lane asked to stop ends its CTest, its servers and what they ran; the
  # host test running in the background, and its CTest, are ended with the
  # rest of the run's processes below.
  for pid in "${!lane_running[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${!lane_running[@]}"; do wait "$pid" 2>/dev/null; done
  quillark_end_marked QUILLARK_TEST_MARK "$test_mark" ||
    echo "test.sh: some of its processes could not be ended" >&2
  exit "$rc"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Every Wine prefix of the run (one per lane, and those of the tests that
# need a fresh one) is a copy of one made once.
export QUILLARK_WINE_TEMPLATE="${QUILLARK_WINE_TEMPLATE:-$root/build/wine-template}"

passed=0
failed=0
status=0
logdir="$root/build/test-logs"
mkdir -p "$logdir"
timings=()

# timed LABEL COMMAND...: runs the command and records how long it took.
timed() {
  local label=$1 from=$SECONDS
  shift
  "$@"
  local rc=$?
  timings+=("$(printf '%-28s %4d s' "$label" $((SECONDS - from)))")
  echo "=== $label: $((SECONDS - from)) s"
  return $rc
}

# The builds and the native tests run at a lower priority than the Windows
# lanes. The lanes mostly wait on windows and need the processor only in
# short turns, but need it then: at the same priority each of their waits
# stretched behind the compilers, the lanes took half as long again, and
# the whole run used more processor time, not less.
native=(nice -n 10)

# build PRESET [targets...]: configures and builds; on failure shows the log
# and counts one failure.
build() {
  local preset=$1
  shift
  local targets=()
  [[ $# -gt 0 ]] && targets=(--target "$@")
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >"$logdir/$preset-configure.log" 2>&1; then
    cat "$logdir/$preset-configure.log"; status=1; failed=$((failed + 1)); return 1
  fi
  if ! "${native[@]}" cmake --build --preset "$preset" -j 2 "${targets[@]}" >"$logdir/$preset-build.log" 2>&1; then
    tail -50 "$logdir/$preset-build.log"; status=1; failed=$((failed + 1)); return 1
  fi
}

# join_names NAME...: "a, b, c".
join_names() {
  local IFS=,
  local joined="$*"
  echo "${joined//,/, }"
}

# retry_note "NAME (try N)"...: "2 on a retry: NAME, NAME".
retry_note() {
  local names=("${@/% (try [0-9])/}")
  echo "$# on a retry: $(join_names "${names[@]}")"
}

# count LOG: adds the ctest summary of a log to the totals (a log without
# one, from a run that did not get that far, counts as one failure).
count() {
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  else
    failed=$((failed + 1))
  fi
}

# test_preset PRESET LOGNAME [ctest arguments...]: runs ctest in the
# foreground and counts its results.
test_preset() {
  local preset=$1 log="$logdir/$2-ctest.log"
  shift 2
  echo "=== $preset: test"
  "${native[@]}" ctest --preset "$preset" "$@" 2>&1 | tee "$log"
  [[ ${PIPESTATUS[0]} -eq 0 ]] || status=1
  count "$log"
}

# windows_lane NAME DISPLAY PREFIX JOBS [ctest arguments...]: runs Windows
# tests in the background on an X display and Wine prefix of their own
# (scripts/test-lane.sh: its own X and Wine servers, one try per test and up
# to three for those labelled wine_timing, everything it started ended when
# it ends). Tests that drive real windows and the keyboard focus hold the
# wine_desktop resource lock and so run one at a time; with JOBS 2 the
# console and self-contained ones run beside them.
windows_lane() {
  local name=$1 display=$2 prefix=$3 jobs=$4
  shift 4
  local results="$logdir/windows-$name"
  bash scripts/test-lane.sh "$results" "$display" "$prefix" --preset windows -j "$jobs" "$@" \
    >"$results-ctest.log" 2>&1 </dev/null &
  lanes+=("$!:$name")
  lane_running[$!]=1
}

display1=${QUILLARK_DISPLAY:-77}
display2=${QUILLARK_SECOND_DISPLAY:-$((display1 + 1))}
display3=${QUILLARK_THIRD_DISPLAY:-$((display2 + 1))}
prefix1=${QUILLARK_WINEPREFIX:-$root/.wine-test}
prefix2=${prefix1%/}-2
prefix3=${prefix1%/}-3
walk='^ui\.random_walk$'
checks='^ui\.(start|test)_command_cleanup$'
lanes=()
# The random walk is the longest test: it starts as soon as it and the
# program are built, while the rest of the Windows tree builds. The checks
# of the start and test commands bring X and Wine servers of their own and
# use no lane's desktop, so they run in a lane of their own beside the
# others. (Splitting the tests that share a desktop over more lanes was
# tried: on two cores the lanes then only take the processors from each
# other, and the tests that depend on Wine's timing fail more often.)
if timed "windows: build (walk)" build windows random_walk_tests; then
  windows_lane walk "$display1" "$prefix1" 1 -R "$walk"
fi
if timed "windows: build" build windows; then
  windows_lane other "$display2" "$prefix2" 2 -E "$walk|$checks"
  windows_lane checks "$display3" "$prefix3" 1 -R "$checks"
fi

# The native tests run once, under AddressSanitizer and UBSan, in one clang
# build with the fuzz targets (a short run of each); the optimised g++ build
# is made for what only it has (the benchmarks, and the comparison of two
# optimised builds) and runs that one test.
# The host build's one test (a comparison that runs mostly on one processor)
# runs in the background beside the sanitizer tests, so that the processors
# stay busy to the end.
sanitize_built=0
timed "sanitize: build" build sanitize && sanitize_built=1
host_test_pid=""
if timed "host: build" build host quillark-calc golden_requests engine_bench citation_bench; then
  host_test_started=$SECONDS
  rm -f "$logdir/host-ctest.ended"
  (
    "${native[@]}" ctest --preset host -R '^golden\.compare_builds$' >"$logdir/host-ctest.log" 2>&1 </dev/null
    rc=$?
    echo "$SECONDS" >"$logdir/host-ctest.ended"
    exit $rc
  ) &
  host_test_pid=$!
  lane_running[$host_test_pid]=1
fi
((sanitize_built)) && timed "sanitize: test" test_preset sanitize sanitize -j 2
if [[ -n "$host_test_pid" ]]; then
  wait "$host_test_pid"
  host_status=$?
  unset "lane_running[$host_test_pid]"
  echo "=== host: test"
  cat "$logdir/host-ctest.log"
  [[ $host_status -eq 0 ]] || status=1
  count "$logdir/host-ctest.log"
  host_test_ended=$(cat "$logdir/host-ctest.ended" 2>/dev/null || echo "$SECONDS")
  timings+=("$(printf '%-28s %4d s' "host: test" $((host_test_ended - host_test_started)))")
fi

retried=()
failed_names=()
if [[ ${#lanes[@]} -gt 0 ]]; then
  echo "=== windows: waiting for the Windows tests"
  for lane in "${lanes[@]}"; do
    pid=${lane%%:*}
    name=${lane#*:}
    wait "$pid"
    lane_status=$?
    unset "lane_running[$pid]"
    results="$logdir/windows-$name"
    echo "=== windows ($name): test"
    cat "$results-ctest.log"
    [[ $lane_status == 0 ]] || status=1
    lane_passed=$(grep -c . "$results.passed" 2>/dev/null)
    mapfile -t lane_retried <"$results.retried" 2>/dev/null || lane_retried=()
    mapfile -t lane_failed <"$results.failed" 2>/dev/null || lane_failed=()
    # A lane that ended without a word of its results counts as one failure.
    if [[ $lane_status != 0 && ${#lane_failed[@]} -eq 0 ]]; then
      lane_failed=("windows ($name) lane (status $lane_status)")
    fi
    passed=$((passed + lane_passed + ${#lane_retried[@]}))
    failed=$((failed + ${#lane_failed[@]}))
    retried+=("${lane_retried[@]}")
    failed_names+=("${lane_failed[@]}")
    note=""
    ((${#lane_retried[@]})) && note="  ($(retry_note "${lane_retried[@]}"))"
    ((${#lane_failed[@]})) && note+="  (failed: $(join_names "${lane_failed[@]}"))"
    timings+=("$(printf '%-28s %4d s' "windows: test ($name)" "$(cat "$results.seconds" 2>/dev/null || echo 0)")$note")
  done
fi

echo
echo "Stage times (the Windows tests run alongside the native stages):"
printf '  %s\n' "${timings[@]}"
echo "  $(printf '%-28s %4d s' "whole command" $((SECONDS - started)))"
echo
((${#failed_names[@]})) && echo "Failed Windows tests: $(join_names "${failed_names[@]}")"
if ((${#retried[@]})); then
  echo "Total: $passed passed ($(retry_note "${retried[@]}")), $failed failed"
else
  echo "Total: $passed passed, $failed failed"
fi
exit $status
