#!/usr/bin/env bash
# "Cp" seen from the X side: the typical-request tool presses a copy button
# in the real window and closes the program; xclip, a real X program started
# here outside Wine, must then print what the field held, or, for an empty
# field, what was on the X clipboard before.
#   copy_x_clipboard.sh <wine-run.sh> <typical_request.exe> <quillark.exe>
set -u
run="$1"
tool="$2"
exe="$3"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/wine-env.sh" || exit 1

# The X selection changes hands asynchronously: poll for up to 10 s.
x_clipboard_becomes() {
  local want="$1" got="" i
  for ((i = 0; i < 100; i++)); do
    got="$(timeout 5 xclip -o -selection clipboard 2>/dev/null)"
    [[ "$got" == "$want" ]] && return 0
    sleep 0.1
  done
  echo "expected '$want', got '$got'"
  return 1
}

failed=0
# Case name, tool mode, text expected on the X clipboard afterwards.
cases=(
  "copy of a date with its week-day tag|weekday|12/07/1941  [Su]"
  "copy of an empty field leaves the clipboard alone|empty|left over from X"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name mode expected <<<"$entry"
  # xclip stays behind to serve the selection; it must not hold our output open.
  printf 'left over from X' | xclip -i -selection clipboard >/dev/null 2>&1
  if ! x_clipboard_becomes "left over from X" >/dev/null; then
    echo "FAIL $name: could not prepare the X clipboard"
    failed=1
    continue
  fi
  if ! "$run" "$tool" --exe "$exe" --copy "$mode"; then
    echo "FAIL $name: the window did not do its part"
    failed=1
    continue
  fi
  if result="$(x_clipboard_becomes "$expected")"; then
    echo "ok   $name"
  else
    echo "FAIL $name: $result"
    failed=1
  fi
done
exit "$failed"
