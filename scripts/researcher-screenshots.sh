#!/usr/bin/env bash
# Saves the README's pictures of what the window offers researchers:
# docs/screenshots/answer-tooltip.png (the tooltip over the typical request's
# answer), context-menu.png (the birth field's menu) and records-window.png
# (Ann Ward's four records, their windows and the timeline). The typical
# request tool does it all with real input in the private display and
# prefix of the tests (QUILLARK_DISPLAY, QUILLARK_WINEPREFIX).
#
#   scripts/researcher-screenshots.sh [windows-build-dir]   (default build/windows)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/windows}"
tool="$build/tests/tools/typical_request.exe"
exe="$build/app/quillark.exe"
if [[ ! -f "$tool" || ! -f "$exe" ]]; then
  echo "researcher-screenshots: build the Windows targets quillark and typical_request first" >&2
  exit 1
fi
out="${QUILLARK_SCREENSHOT_DIR:-$root/docs/screenshots}"
mkdir -p "$out"
"$root/scripts/wine-run.sh" "$tool" --exe "$exe" --researcher-shots "$out"
for name in answer-tooltip context-menu records-window; do
  mogrify -strip -define png:compression-level=9 "$out/$name.png"
done
echo "wrote $out/{answer-tooltip,context-menu,records-window}.png"
