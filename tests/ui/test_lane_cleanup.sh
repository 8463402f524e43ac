#!/usr/bin/env bash
# The test command's Windows lane (scripts/test-lane.sh), cut down to a few
# small tests of its own, watched from outside. Every process the lane starts
# inherits a mark in its environment (its Xvfb, its Wine server, the Wine
# programs, a process a test left behind); once the lane has ended - done,
# failed, stopped with Ctrl-C or with SIGTERM as the test command stops it -
# no process with the mark may be left. An X server that was running before
# it started is neither used nor ended. Only a test labelled wine_timing is
# tried again, and the lane says which passed only on a retry.
#
#   test_lane_cleanup.sh SOURCE_DIR WINDOWS_BUILD_DIR
set -u
root=$1
build=$2
# Display numbers well away from the tests' own and from the start command's
# check (QUILLARK_DISPLAY + 100).
base=$((${QUILLARK_DISPLAY:-77} + 140))
# The start command's prefix, kept between runs (made by whichever of the two
# checks runs first; they take turns, CTest's resource lock
# start_command_prefix): a prefix of its own would cost this check more than
# all its cases.
prefix="$root/build/run-headless-wineprefix"
export LC_ALL=C
watch_mark=QUILLARK_LANE_CHECK_MARK
# shellcheck source=outside_watch.sh
source "$(dirname "$0")/outside_watch.sh"

# A server already on the first number the command will try: it must move
# on to a free one and leave this one running.
foreign_x "$base"

run="$root/scripts/wine-run.sh"
# The tests of the cut-down lanes, as CTest files. Each name says what it
# does; a counter file makes the flaky ones fail on their first try only.
tests_for() {
  local dir="$work/ctest-$1" counter="$work/counter-$1"
  mkdir -p "$dir"
  {
    # A Wine program that starts and ends under the lane's Wine server.
    echo "add_test(wine_program \"$run\" cmd /c exit 0)"
    case $1 in
    done | failed)
      # A Wine program left running in the prefix, and a process that left
      # the lane's process tree: both outlive their test.
      echo "add_test(left_behind bash -c \"setsid '$run' notepad </dev/null >/dev/null 2>&1 & setsid sleep 600 </dev/null >/dev/null 2>&1 & sleep 3\")"
      ;;
    esac
    case $1 in
    failed)
      echo "add_test(fails bash -c \"echo expected to fail; exit 1\")"
      local flaky="n=\$(cat '$counter-@' 2>/dev/null || echo 0); echo \$((n + 1)) >'$counter-@'; [ \$n -ge 1 ]"
      echo "add_test(flaky_timing bash -c \"${flaky//@/timing}\")"
      echo "set_tests_properties(flaky_timing PROPERTIES LABELS wine_timing)"
      echo "add_test(flaky_plain bash -c \"${flaky//@/plain}\")"
      echo "add_test(fails_timing bash -c \"exit 1\")"
      echo "set_tests_properties(fails_timing PROPERTIES LABELS wine_timing)"
      ;;
    interrupted | terminated)
      # Still running when the lane is stopped: a Wine program and the test.
      echo "add_test(stopped_while_running bash -c \"'$run' notepad </dev/null >/dev/null 2>&1 & exec sleep 600\")"
      ;;
    esac
  } >"$dir/CTestTestfile.cmake"
  echo "$dir"
}

# name, expected status, signal sent once a process of the lane matches the
# pattern ("-": none), and what the lane's results must say.
cases=(
  "done        0   -    -                passed=left_behind,wine_program failed= retried="
  "failed      1   -    -                passed=left_behind,wine_program failed=fails,fails_timing,flaky_plain retried=flaky_timing(try2)"
  "interrupted 130 INT  system32.notepad passed= failed= retried="
  "terminated  143 TERM system32.notepad passed= failed= retried="
)

for row in "${cases[@]}"; do
  read -r name expected signal trigger want <<<"$row"
  mark="$$-$name"
  results="$work/results-$name"
  out="$work/$name.out"
  dir="$(tests_for "$name")"

  # The lane runs in a session of its own, so that Ctrl-C can go to its
  # whole process group, as a terminal sends it; SIGINT is restored for it,
  # as a background job of this script starts with it ignored.
  env -u DISPLAY -u QUILLARK_USE_DISPLAY -u WINEPREFIX -u QUILLARK_OWN_SERVERS --default-signal=INT \
    QUILLARK_LANE_CHECK_MARK="$mark" \
    setsid -w bash -c 'echo $$ >"$0.pid"; exec bash "$1/scripts/test-lane.sh" "$2" "$3" "$4" --test-dir "$5" -j 2' \
    "$out" "$root" "$results" "$base" "$prefix" "$dir" >"$out" 2>&1 </dev/null &
  lane=$!
  helpers+=("$lane")
  (
    while :; do
      marked "$mark" >>"$work/$name.seen"
      sleep 0.3
    done
  ) &
  watcher=$!
  helpers+=("$watcher")

  if [[ "$signal" != - ]]; then
    seen=0
    # Up to ten minutes: the first case to run makes the prefix.
    for ((i = 0; i < 6000; i++)); do
      if marked "$mark" | tee -a "$work/$name.seen" | grep -Eq -- "$trigger"; then
        seen=1
        break
      fi
      kill -0 "$lane" 2>/dev/null || break
      sleep 0.1
    done
    if [[ $seen == 1 ]]; then
      if [[ $signal == INT ]]; then
        kill -INT -- "-$(cat "$out.pid")"
      else
        kill -TERM "$(cat "$out.pid")"
      fi
    else
      fail "$name" "expected to stop it once '$trigger' ran; it ended first"
    fi
  fi
  wait "$lane"
  rc=$?
  kill "$watcher" 2>/dev/null
  wait "$watcher" 2>/dev/null

  left_after "$mark"

  echo "--- $name: the lane said"
  sed 's/^/    /' "$out"
  started="$(awk 'NF > 1 {$1 = ""; print substr($0, 2, 70)}' "$work/$name.seen" | sort -u)"
  echo "--- $name: processes it started"
  sed 's/^/    /' <<<"$started"
  echo "--- $name: left after it ended: ${left:-none}"

  [[ "$rc" == "$expected" ]] || fail "$name" "expected exit status $expected, got $rc"
  grep -q '^Xvfb ' <<<"$started" || fail "$name" "expected its own Xvfb among its processes, saw none"
  grep -q 'wineserver' <<<"$started" || fail "$name" "expected its own Wine server among its processes, saw none"
  if [[ "$name" == done || "$name" == failed || "$signal" != - ]]; then
    grep -q 'notepad' <<<"$started" || fail "$name" "expected the test's Wine program among its processes, saw none"
  fi
  if [[ "$name" == done || "$name" == failed ]]; then
    grep -q '^sleep 600' <<<"$started" || fail "$name" "expected the process left behind among its processes, saw none"
  fi
  if [[ -n "$left" ]]; then
    fail "$name" "expected no process of it left, got: $left"
    # Not left running on a shared machine after the failure is reported.
    mapfile -t pids < <(cut -d' ' -f1 <<<"$left")
    kill "${pids[@]}" 2>/dev/null
    sleep 1
    mapfile -t pids < <(marked "$mark" | cut -d' ' -f1)
    ((${#pids[@]})) && kill -KILL "${pids[@]}" 2>/dev/null
  fi
  display="$(cat "$results.display" 2>/dev/null)"
  if [[ -z "$display" ]]; then
    fail "$name" "expected the lane to name its display, it named none"
  elif [[ "$display" == "$base" ]]; then
    fail "$name" "expected a display other than the one already served (:$base), got :$display"
  elif [[ -e "/tmp/.X$display-lock" ]]; then
    fail "$name" "expected the lock of :$display to be gone with its server, got $(cat "/tmp/.X$display-lock")"
  fi
  # What the lane reported, as sorted comma-separated lists.
  list() { sed 's/ //g' "$1" 2>/dev/null | sort | paste -sd, -; }
  got="passed=$(list "$results.passed") failed=$(list "$results.failed") retried=$(list "$results.retried")"
  [[ "$got" == "$want" ]] || fail "$name" "expected the results '$want', got '$got'"
  if [[ -n "${foreign:-}" ]] && ! kill -0 "$foreign" 2>/dev/null; then
    fail "$name" "expected the X server that was already on :$base to keep running, it ended"
  fi
done

echo "$failures failure(s)"
[[ $failures -eq 0 ]]
