#!/usr/bin/env bash
# The clipboard seen from the X side: a Windows helper copies a text with the
# program's routine and ends; xclip, a real X program, must then print it
# (as UTF-8, converted from the Windows-1252 bytes).
#   clipboard_x_test.sh <wine-run.sh> <clipboard_copy.exe>
set -u
run="$1"
helper="$2"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/wine-env.sh" || exit 1

acp="$("$run" "$helper" acp | tr -d '\r')"
if [[ "$acp" != 1252 ]]; then
  echo "expected the ANSI code page 1252, got '$acp'"
  exit 1
fi

# Case number, name, and the text expected from xclip (printf format).
cases=(
  "0|numeric date|12/07/1941"
  "1|date with week-day tag|12/07/1941  [Su]"
  "2|abbreviated date with tag|Dec 7, 1941  [Su]"
  "3|year span|1869 to 1880"
  "4|bytes above 127|D\xc3\xa9c 7, 1941 \xc2\xa3\xc3\xbc"
)
# The X selection changes hands asynchronously: waits up to 10 s for the X
# clipboard to hold the text; the last one read is left in $got.
x_clipboard_becomes() {
  local want="$1" i
  got=""
  for ((i = 0; i < 100; i++)); do
    got="$(timeout 5 xclip -o -selection clipboard 2>/dev/null)"
    [[ "$got" == "$want" ]] && return 0
    sleep 0.1
  done
  return 1
}

failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r index name expected <<<"$entry"
  # Something else on the X clipboard first, so a stale result cannot pass.
  # xclip stays behind to serve the selection: it must not hold the test's
  # output open (CTest would wait for it), and it must really own the
  # selection before the helper copies, or it could take it over afterwards.
  printf 'left over from X' | xclip -i -selection clipboard >/dev/null 2>&1
  if ! x_clipboard_becomes "left over from X"; then
    echo "FAIL $name: could not prepare the X clipboard, got '$got'"
    failed=1
    continue
  fi
  if ! "$run" "$helper" "$index"; then
    echo "FAIL $name: the helper failed"
    failed=1
    continue
  fi
  want="$(printf "$expected")"
  if x_clipboard_becomes "$want"; then
    echo "ok   $name"
  else
    echo "FAIL $name: expected '$want', got '$got'"
    failed=1
  fi
done
exit $failed
