#!/usr/bin/env bash
# Measures the processor time quillark.exe uses while its calendar sits open
# and untouched: starts the program under Wine (private display and prefix,
# see scripts/wine-env.sh), opens the calendar with the event date's calendar
# button, and reads the program's user + system time from /proc before and
# after the idle period. The Wine server answers every message query the
# program makes, so its time over the same period is printed as well.
#
#   bench/calendar_idle.sh [seconds] [windows build directory]
#   (default 30 s and build/windows)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
build="${2:-$root/build/windows}"
exe="$build/app/quillark.exe"
probe="$build/tests/tools/ui_probe.exe"
if [[ ! -f "$exe" || ! -f "$probe" ]]; then
  echo "calendar_idle: build the Windows targets quillark and ui_probe first" >&2
  exit 1
fi
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

wine "$exe" >/dev/null 2>&1 &
launcher=$!
calendar=""
cleanup() {
  [[ -n $calendar ]] && wine "$probe" close "$calendar" >/dev/null 2>&1
  wine "$probe" close Quillark >/dev/null 2>&1 || kill "$launcher" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
}
trap cleanup EXIT
wine "$probe" window Quillark >/dev/null
wine "$probe" click Quillark 114 >/dev/null
# "x y width height caption"; the caption is "<year> Calendar".
calendar="$(wine "$probe" other-window Quillark | tr -d '\r' | cut -d' ' -f5-)"

# The Linux process that runs quillark.exe of this build, and this prefix's
# Wine server.
find_process() {
  local pid
  for pid in $(pgrep -f "$1"); do
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}
program="$(find_process 'quillark\.exe')"
server="$(find_process '^/usr/lib/wine/wineserver')" || server=""
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz="$(getconf CLK_TCK)"

sleep 2  # let the opening paints settle
p0="$(ticks "$program")"
s0="$([[ -n $server ]] && ticks "$server" || echo 0)"
start="$(date +%s.%N)"
sleep "$seconds"
p1="$(ticks "$program")"
s1="$([[ -n $server ]] && ticks "$server" || echo 0)"
end="$(date +%s.%N)"
awk -v p="$((p1 - p0))" -v s="$((s1 - s0))" -v hz="$hz" -v a="$start" -v b="$end" 'BEGIN {
  t = b - a
  printf "calendar idle %.1f s: quillark.exe %.2f s of processor time (%.2f%% of a core)", t, p / hz, 100 * p / hz / t
  printf ", wineserver %.2f s (%.2f%%)\n", s / hz, 100 * s / hz / t
}'
