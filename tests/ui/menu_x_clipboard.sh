#!/usr/bin/env bash
# The context menu's copy items seen from the X side: the typical-request
# tool answers the typical request in the real window, chooses one item of
# the birth field's menu with the keyboard and closes the program; xclip, a
# real X program started here outside Wine, must then print exactly what
# quillark-calc --gedcom prints as the value (or the window's ISO dates).
#   menu_x_clipboard.sh <wine-run.sh> <typical_request.exe> <quillark.exe> <quillark-calc.exe>
set -u
run="$1"
tool="$2"
exe="$3"
calc="$4"
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

# What quillark-calc says of the same request.
request=(--event "Dec 7, 1941" --years 40)
gedcom() { "$run" "$calc" "${request[@]}" --gedcom "$1" | tr -d '\r' | sed -n 's/^GEDCOM: //p'; }
json="$("$run" "$calc" "${request[@]}" --json | tr -d '\r')"
earliest="$(sed -n 's/.*"earliest":"\([^"]*\)".*/\1/p' <<<"$json")"
latest="$(sed -n 's/.*"latest":"\([^"]*\)".*/\1/p' <<<"$json")"
gedcom7="$(gedcom 7)"
gedcom551="$(gedcom 5.5.1)"
if [[ -z $gedcom7 || -z $gedcom551 || -z $earliest || -z $latest ]]; then
  echo "FAIL quillark-calc did not answer the request"
  exit 1
fi

failed=0
# Case name, tool item, text expected on the X clipboard afterwards.
cases=(
  "Copy GEDCOM 7|gedcom7|$gedcom7"
  "Copy GEDCOM 5.5.1|gedcom551|$gedcom551"
  "Copy window as ISO dates|iso|$earliest to $latest"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name item expected <<<"$entry"
  printf 'left over from X' | xclip -i -selection clipboard >/dev/null 2>&1
  if ! x_clipboard_becomes "left over from X" >/dev/null; then
    echo "FAIL $name: could not prepare the X clipboard"
    failed=1
    continue
  fi
  if ! "$run" "$tool" --exe "$exe" --menu-copy "$item"; then
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
