#!/usr/bin/env bash
# Runs a Windows program under Wine with the display set to another
# resolution than the usual 96 dots per inch:
#   run_at_dpi.sh DPI program.exe [arguments...]
# Wine keeps the resolution per prefix (HKCU\Control Panel\Desktop,
# LogPixels) and reads it when the prefix's Wine server starts, so the run
# has a private prefix (QUILLARK_WINEPREFIX, default build/wine-dpi-DPI). One
# prefix may serve several resolutions one after the other (the tests share
# one: making a prefix costs more than the test): when it was last set to
# another resolution, the new one is set and its Wine server restarted. Its
# virtual desktop is
# the 1280 x 1024 test screen up to 144 dpi; a display of higher resolution
# has more pixels, so beyond 144 dpi the desktop grows to the same size in
# inches (larger than the X screen; the tests work in its top-left part).
# The program finds the resolution it was started for in QUILLARK_EXPECT_DPI.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
dpi="${1:-}"
if [[ ! $dpi =~ ^[1-9][0-9]*$ || $# -lt 2 ]]; then
  echo "usage: run_at_dpi.sh DPI program.exe [arguments...]" >&2
  exit 2
fi
shift
export QUILLARK_WINEPREFIX="${QUILLARK_WINEPREFIX:-$root/build/wine-dpi-$dpi}"
# shellcheck source=../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh" || exit 125
marker="$WINEPREFIX/.quillark-dpi"
desktop=1280x1024
((dpi > 144)) && desktop="$((1280 * dpi / 144))x$((1024 * dpi / 144))"
if [[ "$(cat "$marker" 2>/dev/null)" != "$dpi" ]]; then
  (
    flock 9
    if [[ "$(cat "$marker" 2>/dev/null)" != "$dpi" ]]; then
      rm -f "$marker"
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop" /f >/dev/null 2>&1 &&
        echo "$dpi" >"$marker"
      # The resolution is read when the prefix's Wine server starts.
      wineserver -k
      wineserver -w
    fi
  ) 9>"$WINEPREFIX/.quillark.flock"
  [[ "$(cat "$marker" 2>/dev/null)" == "$dpi" ]] || { echo "run_at_dpi: could not set $dpi dpi in $WINEPREFIX" >&2; exit 125; }
fi
export QUILLARK_EXPECT_DPI="$dpi"
exec wine "$@"
