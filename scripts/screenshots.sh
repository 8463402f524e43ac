#!/usr/bin/env bash
# Saves pictures of the program for the README: the main window, and the main
# window with a help box over it, as docs/screenshots/*.png. Runs the program
# in the Wine virtual desktop of the private prefix on a private Xvfb display
# (see wine-env.sh), so the pictures do not depend on the machine's desktop.
#
#   scripts/screenshots.sh [windows build directory]   (default build/windows)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/windows}"
out="${QUILLARK_SCREENSHOT_DIR:-$root/docs/screenshots}"
exe="$build/app/quillark.exe"
probe="$build/tests/tools/ui_probe.exe"

if [[ ! -f "$exe" || ! -f "$probe" ]]; then
  if [[ "$build" == "$root/build/windows" ]]; then
    (cd "$root" && cmake --preset windows >/dev/null && cmake --build build/windows --target quillark ui_probe -- -j2)
  else
    echo "screenshots: $exe or $probe missing; build the Windows targets quillark and ui_probe first" >&2
    exit 1
  fi
fi

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
mkdir -p "$out"

wine "$exe" &
program=$!
cleanup() {
  if kill -0 "$program" 2>/dev/null; then
    wine "$probe" close Quillark >/dev/null 2>&1 || kill "$program" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# shellcheck source=capture.sh
source "$root/scripts/capture.sh"

read -r x y w h < <(wine "$probe" window Quillark | tr -d "\r")
capture "$x" "$y" "$w" "$h" "$out/main-window.png"

# A help box over the main window: the "?" of the event date. The dialog
# hands the focus back to its field after opening the box; under the Wine
# virtual desktop the re-activated dialog is then drawn over the topmost box
# although the window order is right, so the box's place is asserted once
# more (without activating it) before the picture is taken.
wine "$probe" click Quillark 121
read -r bx by bw bh _ < <(wine "$probe" raise-other Quillark | tr -d "\r")
left=$((x < bx ? x : bx))
top=$((y < by ? y : by))
right=$((x + w > bx + bw ? x + w : bx + bw))
bottom=$((y + h > by + bh ? y + h : by + bh))
capture "$left" "$top" $((right - left)) $((bottom - top)) "$out/help-box.png"

wine "$probe" close Quillark
wait "$program" || true
trap - EXIT
echo "Saved $out/main-window.png and $out/help-box.png"
