#!/usr/bin/env bash
# The start command without a display, watched from outside. Every process it
# starts inherits a mark in its environment (Xvfb, the Wine server and every
# Wine program alike); once the command has ended, done, failed or
# interrupted by Ctrl-C, no process with the mark may be left. An X server
# that was running before it started is neither used nor ended by it, and
# its picture is of the main window.
#
#   start_cleanup.sh SOURCE_DIR WINDOWS_BUILD_DIR
set -u
root=$1
build=$2
# Display numbers well away from the tests' own (QUILLARK_DISPLAY), so that
# this check never takes a number another run is about to use.
base=$((${QUILLARK_DISPLAY:-77} + 100))
watch_mark=QUILLARK_START_MARK
# shellcheck source=outside_watch.sh
source "$(dirname "$0")/outside_watch.sh"

# A server already on the first number the command will try: it must move
# on to a free one and leave this one running.
foreign_x "$base"

# ImageMagick's import replaced: one that cannot read the screen, so the
# typical request fails once both servers and the program are up; and one
# that hangs, so that Ctrl-C comes while the window is up, every time.
mkdir -p "$work/no-picture" "$work/slow-picture"
printf '#!/bin/sh\necho "import: cannot read the screen" >&2\nexit 1\n' >"$work/no-picture/import"
printf '#!/bin/sh\nexec sleep 600\n' >"$work/slow-picture/import"
chmod +x "$work/no-picture/import" "$work/slow-picture/import"

# A Wine prefix made afresh for the last two cases: its creation is cut short
# by Ctrl-C, and the next start must still work in it. The others use the
# start command's usual prefix.
fresh="$work/fresh-prefix"

# Ctrl-C comes once a process of the command matches the pattern, and the
# seconds after it have passed; "how it ends" takes the rest of the line.
cases=(
  # name       status import       prefix pattern               after how it ends
  "done          0    -            usual  -                     0     runs to the end"
  "failed        1    no-picture   usual  -                     0     no picture can be taken"
  "interrupted   130  slow-picture usual  sleep.600             0     Ctrl-C while the picture is taken"
  "cut-creation  130  -            fresh  rundll32.exe.setupapi 1     Ctrl-C while its Wine prefix is filled"
  "after-cut     0    -            fresh  -                     0     runs to the end in that prefix"
)

for row in "${cases[@]}"; do
  read -r name expected import prefix trigger delay how <<<"$row"
  mark="$$-$name"
  out="$work/$name.out"
  path="$PATH"
  [[ "$import" != - ]] && path="$work/$import:$PATH"
  prefix_setting=(-u QUILLARK_WINEPREFIX)
  # The fresh prefix is filled by Wine itself, never copied from a template.
  [[ "$prefix" == fresh ]] && prefix_setting=(-u QUILLARK_WINE_TEMPLATE QUILLARK_WINEPREFIX="$fresh")

  # The command runs in a session of its own, as a job of a terminal does, so
  # that Ctrl-C can be sent to its whole process group; SIGINT is restored for
  # it, as a background job of this script starts with it ignored.
  env -u DISPLAY -u QUILLARK_USE_DISPLAY -u WINEPREFIX --default-signal=INT "${prefix_setting[@]}" \
    QUILLARK_START_MARK="$mark" QUILLARK_DISPLAY="$base" QUILLARK_BUILD_DIR="$build" PATH="$path" \
    setsid bash -c 'echo $$ >"$0.pid"; bash "$1/scripts/run.sh" >"$0" 2>&1; echo $? >"$0.rc"' "$out" "$root" \
    </dev/null &
  helpers+=($!)
  (
    while :; do
      marked "$mark" >>"$work/$name.seen"
      sleep 0.3
    done
  ) &
  watcher=$!
  helpers+=("$watcher")

  if [[ "$trigger" != - ]]; then
    seen=0
    for ((i = 0; i < 1200; i++)); do
      if marked "$mark" | grep -Eq -- "$trigger"; then
        seen=1
        break
      fi
      [[ -f "$out.rc" ]] && break
      sleep 0.1
    done
    sleep "$delay"
    if [[ $seen == 1 && ! -f "$out.rc" ]]; then
      kill -INT -- "-$(cat "$out.pid")"
    else
      fail "$name" "expected to interrupt it once '$trigger' ran; it ended first"
    fi
  fi
  for ((i = 0; i < 3000; i++)); do
    [[ -f "$out.rc" ]] && break
    sleep 0.1
  done
  kill "$watcher" 2>/dev/null
  wait "$watcher" 2>/dev/null

  left_after "$mark"

  echo "--- $name ($how): the start command said"
  sed 's/^/    /' "$out"
  started="$(awk 'NF > 1 {$1 = ""; print substr($0, 2, 60)}' "$work/$name.seen" | sort -u)"
  echo "--- $name: processes it started"
  sed 's/^/    /' <<<"$started"
  echo "--- $name: left after it ended: ${left:-none}"

  rc="$(cat "$out.rc" 2>/dev/null || echo none)"
  [[ "$rc" == "$expected" ]] || fail "$name" "expected exit status $expected, got $rc"
  grep -q '^Xvfb ' <<<"$started" || fail "$name" "expected its own Xvfb among its processes, saw none"
  grep -q 'wineserver' <<<"$started" || fail "$name" "expected its own Wine server among its processes, saw none"
  if [[ -n "$left" ]]; then
    fail "$name" "expected no process of it left, got: $left"
    # Not left running on a shared machine after the failure is reported.
    mapfile -t pids < <(cut -d' ' -f1 <<<"$left")
    kill "${pids[@]}" 2>/dev/null
    sleep 1
    mapfile -t pids < <(marked "$mark" | cut -d' ' -f1)
    ((${#pids[@]})) && kill -KILL "${pids[@]}" 2>/dev/null
  fi
  display="$(sed -n 's/^Xvfb :\([0-9]*\) .*/\1/p' <<<"$started" | head -1)"
  if [[ "$display" == "$base" ]]; then
    fail "$name" "expected a display other than the one already served (:$base), got :$display"
  elif [[ -n "$display" && -e "/tmp/.X$display-lock" ]]; then
    fail "$name" "expected the lock of :$display to be gone with its server, got $(cat "/tmp/.X$display-lock")"
  fi
  if [[ "$name" == cut-creation ]]; then
    if [[ -f "$fresh/.quillark-ready" ]]; then
      fail "$name" "expected the prefix to be left unfinished, it was ready (Ctrl-C came too late)"
    fi
    # Cut a moment earlier, wineboot had not yet put all system DLLs in place,
    # and it cannot finish such a prefix later; made so here every time.
    rm -f "$fresh"/drive_c/windows/system32/{shell32,user32,ucrtbase}.dll
  fi
  if [[ "$expected" == 0 ]] && ! grep -q '^Date of birth:  1901 or 1900' "$out"; then
    fail "$name" "expected 'Date of birth:  1901 or 1900' in its output"
  fi
  if [[ -n "${foreign:-}" ]] && ! kill -0 "$foreign" 2>/dev/null; then
    fail "$name" "expected the X server that was already on :$base to keep running, it ended"
  fi
done

# The picture of the finished request is the main window with its frame, the
# size of the README's picture of a calculation, not the whole screen.
shot="$(sed -n 's/^Screenshot saved to //p' "$work/done.out")"
want="$(identify -format '%wx%h' "$root/docs/screenshots/main-window-calculation.png")"
got="$(identify -format '%wx%h' "$shot" 2>/dev/null || echo "no picture")"
[[ "$got" == "$want" ]] || fail "done" "expected a picture of $want (the main window), got $got at '$shot'"

echo "$failures failure(s)"
[[ $failures -eq 0 ]]
