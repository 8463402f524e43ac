#!/usr/bin/env bash
# Installs what is missing (Debian packages), builds the Windows program and
# starts Quillark under Wine.
#
# - With an X display ($DISPLAY answers): the program opens on it, in its own
#   Wine prefix without a virtual desktop, so the window manager frames it;
#   the script returns when the program ends.
# - Without one: a private Xvfb display, Wine server and prefix are used
#   (wine-env.sh); the program is started, the typical request is worked
#   through its window, a picture of the window is saved and its path
#   printed, the program is closed, and the script exits 0. The X and Wine
#   servers it started are ended when it exits, also on a failure or Ctrl-C;
#   a display that is already served is never used.
#
#   QUILLARK_BUILD_DIR   Windows build directory (default build/windows, the
#                        "windows" preset's)
#   QUILLARK_DISPLAY     first X display number tried without a display
#                        (default 77)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLARK_BUILD_DIR:-$root/build/windows}"
cd "$root"

"$root/scripts/install-deps.sh"

echo "Building the Windows program in $build ..."
# Configured once; the build itself configures again when the project changes.
[[ -f "$build/CMakeCache.txt" ]] || cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" --target quillark ui_probe -- -j2 >/dev/null
exe="$build/app/quillark.exe"
probe="$build/tests/tools/ui_probe.exe"

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  export QUILLARK_USE_DISPLAY=1 QUILLARK_VIRTUAL_DESKTOP=0
  export QUILLARK_WINEPREFIX="${QUILLARK_WINEPREFIX:-$root/build/run-wineprefix}"
  # shellcheck source=wine-env.sh
  source "$root/scripts/wine-env.sh"
  echo "Starting Quillark on display $DISPLAY"
  wine "$exe"
  exit 0
fi

# No display: a private X server and Wine server of this run's own, ended
# when the script ends (done, failed or interrupted), by the ids it holds.
# The prefix is kept apart from the tests' so that no lingering Wine server
# of a test run is reused on another display.
export QUILLARK_OWN_SERVERS=1
export QUILLARK_WINEPREFIX="${QUILLARK_WINEPREFIX:-$root/build/run-headless-wineprefix}"
end_private_servers() {
  if declare -F quillark_wine_env_end >/dev/null; then
    quillark_wine_env_end
  fi
}
trap end_private_servers EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP
if [[ ! -f "$QUILLARK_WINEPREFIX/.quillark-ready" ]]; then
  echo "Creating the Wine prefix $QUILLARK_WINEPREFIX (once; it takes a minute or so)"
fi
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
shot="$build/quillark-run.png"
echo "No display; using a private Xvfb on $DISPLAY"

# Programs are waited for in the background so that an interrupt is handled
# at once rather than after the program has ended.

# --- Typical request hook -------------------------------------------------
# The request of the Overview ("Dec 7, 1941", Enter, "40", Enter until
# "&Calc") is performed by the end-to-end tool typical_request, which starts
# the program itself, types through its window, saves the picture of the
# window and closes it. When that tool cannot be built, the program is only
# shown.
if cmake --build "$build" --target typical_request -- -j2 >/dev/null 2>&1; then
  wine "$build/tests/tools/typical_request.exe" --exe "$exe" --screenshot "$shot" &
  wait $!
  echo "Screenshot saved to $shot"
  exit 0
fi
# ---------------------------------------------------------------------------

wine "$exe" &
program=$!
read -r x y w h < <(wine "$probe" window Quillark | tr -d '\r')
# shellcheck source=capture.sh
source "$root/scripts/capture.sh"
capture "$x" "$y" "$w" "$h" "$shot"
wine "$probe" close Quillark
wait "$program" || true
echo "Screenshot saved to $shot"
exit 0
