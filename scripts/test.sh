#!/usr/bin/env bash
# Installs whatever is missing, builds every target and runs every test:
# the native tests (plain and under AddressSanitizer/UBSan), a short run of
# each fuzz target, and the Windows tests under Wine on private Xvfb
# displays.
#
# The Windows build comes first (the random walk's part of it first of all)
# so that its tests, which mostly wait on windows, run in the background
# while the native builds use the processors.
# They run in two lanes, each with its own X display and Wine prefix (its
# own desktop, focus and clipboard), so the two never disturb each other:
# the long random walk in one, every other Windows test in the other.
#
#   QUILLARK_DISPLAY         X display of the first lane (default 77)
#   QUILLARK_SECOND_DISPLAY  X display of the second lane (default the first + 1)
#   QUILLARK_WINEPREFIX      Wine prefix of the first lane (default .wine-test);
#                            the second lane uses the same path with "-2" added
#
# Prints the time of each stage and ends with "Total: N passed, M failed";
# the exit status is non-zero when anything failed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
started=$SECONDS
scripts/install-deps.sh || { echo "dependency installation failed"; exit 1; }

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
  if ! cmake --build --preset "$preset" -j 2 "${targets[@]}" >"$logdir/$preset-build.log" 2>&1; then
    tail -50 "$logdir/$preset-build.log"; status=1; failed=$((failed + 1)); return 1
  fi
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
  ctest --preset "$preset" "$@" 2>&1 | tee "$log"
  [[ ${PIPESTATUS[0]} -eq 0 ]] || status=1
  count "$log"
}

# windows_lane NAME DISPLAY PREFIX JOBS [ctest arguments...]: runs Windows
# tests on their own display and Wine prefix; writes the log and the exit
# status and time. Tests that drive real windows and the keyboard focus hold
# the wine_desktop resource lock and so run one at a time; with JOBS 2 the
# console and self-contained ones run beside them.
windows_lane() {
  local name=$1 display=$2 prefix=$3 jobs=$4
  shift 4
  local log="$logdir/windows-$name-ctest.log" from=$SECONDS
  (
    export QUILLARK_DISPLAY=$display QUILLARK_WINEPREFIX=$prefix
    # shellcheck source=/dev/null
    source scripts/wine-env.sh || exit 125
    # A test that fails is run again, up to three times in all: under Wine
    # on a loaded machine a keystroke or a clipboard hand-over now and then
    # goes astray. Each retry is in the log; a real fault fails every time.
    ctest --preset windows -j "$jobs" --repeat until-pass:3 "$@"
  ) >"$log" 2>&1
  echo $? >"$log.status"
  echo $((SECONDS - from)) >"$log.seconds"
}

display1=${QUILLARK_DISPLAY:-77}
display2=${QUILLARK_SECOND_DISPLAY:-$((display1 + 1))}
prefix1=${QUILLARK_WINEPREFIX:-$root/.wine-test}
prefix2=${prefix1%/}-2
walk='^ui\.random_walk$'
lanes=()
# The random walk is the longest test: it starts as soon as it and the
# program are built, while the rest of the Windows tree builds.
if timed "windows: build (walk)" build windows random_walk_tests; then
  windows_lane walk "$display1" "$prefix1" 1 -R "$walk" &
  lanes+=("$!:walk")
fi
if timed "windows: build" build windows; then
  windows_lane other "$display2" "$prefix2" 2 -E "$walk" &
  lanes+=("$!:other")
fi

timed "host: build" build host && timed "host: test" test_preset host host -j 2
timed "sanitize: build" build sanitize && timed "sanitize: test" test_preset sanitize sanitize -j 2
# Only the fuzz targets are built with clang; the other tests ran above.
timed "fuzz: build" build fuzz fuzz_normalise fuzz_format fuzz_parse_age fuzz_calculate fuzz_batch &&
  timed "fuzz: test" test_preset fuzz fuzz -j 2 -R '^fuzz\.'

if [[ ${#lanes[@]} -gt 0 ]]; then
  echo "=== windows: waiting for the Windows tests"
  for lane in "${lanes[@]}"; do
    wait "${lane%%:*}"
    name=${lane#*:}
    log="$logdir/windows-$name-ctest.log"
    echo "=== windows ($name): test"
    cat "$log"
    [[ $(cat "$log.status" 2>/dev/null) == 0 ]] || status=1
    count "$log"
    timings+=("$(printf '%-28s %4d s' "windows: test ($name)" "$(cat "$log.seconds" 2>/dev/null)")")
  done
fi

echo
echo "Stage times (the Windows tests run alongside the native stages):"
printf '  %s\n' "${timings[@]}"
echo "  $(printf '%-28s %4d s' "whole command" $((SECONDS - started)))"
echo
echo "Total: $passed passed, $failed failed"
exit $status
