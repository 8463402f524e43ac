#!/usr/bin/env bash
# One lane of the Windows tests: an X server and a Wine server of its own, and
# CTest running the chosen tests on them.
#
#   test-lane.sh RESULTS FIRST_DISPLAY PREFIX [ctest arguments...]
#
# - The X server is a new Xvfb on the first display number from FIRST_DISPLAY
#   on that nothing holds: a display someone else uses is never touched.
# - The Wine server is the prefix's own for the whole lane (the prefix is
#   made on first use); the tests' Wine programs all run under it.
# - Every test is run once. A test labelled wine_timing (it depends on how
#   Wine hands on the focus, keystrokes or the clipboard) that fails is run
#   again, up to three tries in all; every other test has one try.
# - When the lane ends - done, failed, interrupted (SIGINT, SIGTERM, SIGHUP) -
#   it ends CTest, the Wine server (and with it every program of the prefix),
#   the X server, and then whatever else it started that is still running
#   (the Wine servers of the tests' own prefixes, which would linger), each by
#   its process id (own-processes.sh).
#
# Writes RESULTS.passed, RESULTS.retried and RESULTS.failed (one test name a
# line; a retried one as "name (try N)"), RESULTS.display (the display
# number used) and RESULTS.seconds (how long the lane took). Exits 0 when every test passed, at the first try or a retry.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [[ $# -lt 3 ]]; then
  echo "usage: test-lane.sh RESULTS FIRST_DISPLAY PREFIX [ctest arguments...]" >&2
  exit 2
fi
results=$1 first_display=$2 prefix=$3
shift 3
ctest_args=("$@")
: >"$results.passed"
: >"$results.retried"
: >"$results.failed"
rm -f "$results.display" "$results.seconds"

# shellcheck source=own-processes.sh
source "$here/own-processes.sh"
quillark_mark_processes QUILLARK_LANE_MARK
lane_mark=$QUILLARK_LANE_MARK

ctest_pid=""
end_lane() {
  local status=$?
  trap - EXIT INT TERM HUP
  echo "$SECONDS" >"$results.seconds"
  if [[ -n "$ctest_pid" ]]; then
    kill -TERM "$ctest_pid" 2>/dev/null
    wait "$ctest_pid" 2>/dev/null
  fi
  if declare -F quillark_wine_env_end >/dev/null; then
    quillark_wine_env_end
  fi
  quillark_end_marked QUILLARK_LANE_MARK "$lane_mark" ||
    echo "test-lane: processes of the lane are still running" >&2
  exit "$status"
}
trap end_lane EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# The lane's own servers. The Wine server stays up until the lane ends it
# (no linger time): the tests come and go, and it must not end between two
# of them and be replaced by one the lane does not hold.
export QUILLARK_OWN_SERVERS=1 QUILLARK_DISPLAY="$first_display" QUILLARK_WINEPREFIX="$prefix"
export QUILLARK_WINESERVER_LINGER=""
unset QUILLARK_USE_DISPLAY
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" || exit 125
echo "${DISPLAY#:}" >"$results.display"

# The tests use exactly these: the display as it is (never one of their own)
# and the prefix under the lane's Wine server. The tests' own prefixes get
# Wine servers that linger as usual; the lane ends them.
export QUILLARK_USE_DISPLAY=1 QUILLARK_DISPLAY="${DISPLAY#:}"
unset QUILLARK_OWN_SERVERS QUILLARK_WINESERVER_LINGER

# run_ctest JUNIT [ctest arguments...]: CTest in the background, waited for,
# so that a signal is handled at once, not after the tests.
run_ctest() {
  local junit=$1
  shift
  rm -f "$junit"
  ctest "$@" --output-junit "$junit" &
  ctest_pid=$!
  wait "$ctest_pid"
  local rc=$?
  ctest_pid=""
  return $rc
}

# junit_names JUNIT STATUS: names of the tests of a CTest JUnit report with
# that status ("run" is passed).
junit_names() {
  [[ -f "$1" ]] || return 0
  sed -n "s/^.*<testcase name=\"\\([^\"]*\\)\".* status=\"$2\".*$/\\1/p" "$1"
}
junit_other_names() {
  [[ -f "$1" ]] || return 0
  sed -n 's/^.*<testcase name="\([^"]*\)".* status="\([^"]*\)".*$/\2 \1/p' "$1" |
    awk '$1 != "run" && $1 != "disabled" {print $2}'
}

work="$(mktemp -d)"
junit="$work/first.xml"
run_ctest "$junit" "${ctest_args[@]}"
first_rc=$?
junit_names "$junit" run >"$results.passed"
mapfile -t failed < <(junit_other_names "$junit")
if [[ $first_rc -ne 0 && ${#failed[@]} -eq 0 && ! -s "$results.passed" ]]; then
  # CTest ended without a report (it could not start, or found no tests).
  echo "test-lane: ctest ended with $first_rc and no results" >&2
  echo "(ctest did not run)" >"$results.failed"
  rm -rf "$work"
  exit 1
fi

# The tests of the selection that may be tried again.
mapfile -t timing < <(ctest "${ctest_args[@]}" -N -L '^wine_timing$' 2>/dev/null |
  sed -n 's/^ *Test *#[0-9]*: *//p')
is_timing() {
  local t
  for t in "${timing[@]}"; do [[ "$t" == "$1" ]] && return 0; done
  return 1
}

# Retries: each failed wine_timing test alone, until it passes or has had
# three tries. Its fixtures (a set-up test) run again with it, as CTest does.
final_failed=()
for name in "${failed[@]}"; do
  if ! is_timing "$name"; then
    final_failed+=("$name")
    continue
  fi
  passed_on=""
  for try in 2 3; do
    echo "=== $name failed; try $try of 3"
    regex="^$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$name")\$"
    run_ctest "$work/retry.xml" "${ctest_args[@]}" -R "$regex"
    if junit_names "$work/retry.xml" run | grep -qxF -- "$name"; then
      passed_on=$try
      break
    fi
  done
  if [[ -n "$passed_on" ]]; then
    echo "$name (try $passed_on)" >>"$results.retried"
    echo "=== $name passed on try $passed_on"
  else
    final_failed+=("$name")
  fi
done
((${#final_failed[@]})) && printf '%s\n' "${final_failed[@]}" >"$results.failed"
rm -rf "$work"
[[ ${#final_failed[@]} -eq 0 ]]
