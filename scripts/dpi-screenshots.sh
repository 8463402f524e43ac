#!/usr/bin/env bash
# Saves pictures of the main window and of the calendar opened on 12/07/1941
# at another display resolution than 96 dpi, as
# docs/screenshots/main-window-<DPI>dpi.png and calendar-<DPI>dpi.png.
# Runs the program in the private prefix of that resolution (see
# tests/win32/run_at_dpi.sh) on the private Xvfb display.
#
#   scripts/dpi-screenshots.sh [DPI] [windows build directory]   (144, build/windows)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dpi="${1:-144}"
build="${2:-$root/build/windows}"
out="${QUILLARK_SCREENSHOT_DIR:-$root/docs/screenshots}"
exe="$build/app/quillark.exe"
probe="$build/tests/tools/ui_probe.exe"
if [[ ! -f "$exe" || ! -f "$probe" ]]; then
  echo "dpi-screenshots: build the Windows targets quillark and ui_probe first" >&2
  exit 1
fi

export QUILLARK_WINEPREFIX="${QUILLARK_WINEPREFIX:-$build/wine-dpi-$dpi}"
# Creates the prefix and sets its resolution the first time.
bash "$root/tests/win32/run_at_dpi.sh" "$dpi" cmd /c exit
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
mkdir -p "$out"

wine "$exe" &
program=$!
cleanup() {
  # The calendar runs its own loop inside the main window's: it goes first.
  wine "$probe" close "1941 Calendar" >/dev/null 2>&1 || true
  wine "$probe" close Quillark >/dev/null 2>&1 || true
  wait "$program" 2>/dev/null || true
}
trap cleanup EXIT

# shellcheck source=capture.sh
source "$root/scripts/capture.sh"

read -r x y w h < <(wine "$probe" window Quillark | tr -d "\r")
capture "$x" "$y" "$w" "$h" "$out/main-window-${dpi}dpi.png"

wine "$probe" type Quillark 101 "12/07/1941"
wine "$probe" click Quillark 114
for ((i = 0; i < 50; i++)); do
  wine "$probe" window "1941 Calendar" >/dev/null 2>&1 && break
  sleep 0.2
done
read -r x y w h < <(wine "$probe" window "1941 Calendar" | tr -d "\r")
capture "$x" "$y" "$w" "$h" "$out/calendar-${dpi}dpi.png"
echo "Saved $out/main-window-${dpi}dpi.png and $out/calendar-${dpi}dpi.png"
