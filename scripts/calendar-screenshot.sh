#!/usr/bin/env bash
# Saves docs/screenshots/calendar.png: the calendar window opened on
# 12/07/1941, frame included, as Wine draws it on the private display.
#
#   scripts/calendar-screenshot.sh [windows-build-dir]
#
# The build directory (default build/windows) must hold the Windows build's
# tests/tools/calendar_screenshot.exe. Uses the same display and
# prefix as the tests (QUILLARK_DISPLAY, QUILLARK_WINEPREFIX).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/windows}"
program="$build/tests/tools/calendar_screenshot.exe"
if [[ ! -f "$program" ]]; then
  echo "calendar-screenshot: $program not found; build the Windows tree first" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Wine has no Courier New; its metric twin Liberation Mono keeps the day
# numbers under their weekday names (the calendar tests set the same).
"$root/scripts/wine-run.sh" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
  /v 'Courier New' /d 'Liberation Mono' /f >/dev/null
"$root/scripts/wine-run.sh" "$program" "$work/calendar.bmp"
mkdir -p "$root/docs/screenshots"
convert "$work/calendar.bmp" -strip -define png:compression-level=9 \
  "$root/docs/screenshots/calendar.png"
echo "wrote $root/docs/screenshots/calendar.png"
