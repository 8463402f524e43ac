# Sourced (bash): prepares a private X display and a private Wine prefix for
# running the Windows build, and exports the environment Wine needs.
#
#   QUILLARK_DISPLAY      X display number to use (default 77). If nothing is
#                         serving it, a private Xvfb is started on it.
#   QUILLARK_WINEPREFIX   Wine prefix to use (default <repo>/.wine-test). It is
#                         created and initialised on first use.
#   QUILLARK_USE_DISPLAY  if set to 1, keep the caller's DISPLAY instead
#                         (scripts/run.sh uses this to show the program on the
#                         user's own screen).
#   QUILLARK_VIRTUAL_DESKTOP  0 to create a new prefix without the Wine
#                         virtual desktop (windows then go straight to the X
#                         display and its window manager); default 1. Only
#                         read when the prefix is created.
#
# Exports DISPLAY, WINEPREFIX, WINEDEBUG=-all, WINEDLLOVERRIDES="mscoree,mshtml="
# and WINEARCH=win64. Quick when display and prefix already exist (no Wine
# process is started then). Returns non-zero, without leaving the caller's
# shell, when something cannot be set up.

quillark_wine_env() {
  local root
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  local num="${QUILLARK_DISPLAY:-77}"
  local prefix="${QUILLARK_WINEPREFIX:-$root/.wine-test}"

  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  export WINEPREFIX="$prefix"

  if [[ "${QUILLARK_USE_DISPLAY:-0}" != 1 || -z "${DISPLAY:-}" ]]; then
    export DISPLAY=":$num"
    # Starting Xvfb is serialised per display so that tests started in
    # parallel by CTest do not race for the same server number.
    if [[ ! -S "/tmp/.X11-unix/X$num" ]] || ! xdpyinfo -display ":$num" >/dev/null 2>&1; then
      (
        flock 9
        if [[ ! -S "/tmp/.X11-unix/X$num" ]] || ! xdpyinfo -display ":$num" >/dev/null 2>&1; then
          # A stale lock from a server that died would stop Xvfb from starting.
          if [[ -f "/tmp/.X$num-lock" ]]; then
            local pid
            pid="$(tr -d ' ' <"/tmp/.X$num-lock" 2>/dev/null)"
            if [[ -n "$pid" ]] && ! kill -0 "$pid" 2>/dev/null; then
              rm -f "/tmp/.X$num-lock" "/tmp/.X11-unix/X$num"
            fi
          fi
          # -noreset: the server keeps its windows when its last client
          # leaves between two test programs, so a Wine desktop that lives
          # on in the lingering Wine server never names a vanished window.
          setsid nohup Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp -ac -noreset \
            >"/tmp/quillark-xvfb-$num.log" 2>&1 </dev/null &
          local i
          # Up to 30 s: on a loaded machine a new server can take a while.
          for ((i = 0; i < 300; i++)); do
            xdpyinfo -display ":$num" >/dev/null 2>&1 && break
            sleep 0.1
          done
        fi
      ) 9>"/tmp/quillark-xvfb-$num.flock"
      if ! xdpyinfo -display ":$num" >/dev/null 2>&1; then
        echo "wine-env: could not start Xvfb on :$num (see /tmp/quillark-xvfb-$num.log)" >&2
        return 1
      fi
    fi
  fi

  # The prefix is ready once the marker exists; the marker is written only
  # after wineboot has finished and the server has shut down cleanly.
  if [[ ! -f "$prefix/.quillark-ready" ]]; then
    # The lock lives inside the prefix folder (Wine accepts an empty one), so
    # nothing is left beside it in the work tree.
    mkdir -p "$prefix"
    (
      flock 9
      if [[ ! -f "$prefix/.quillark-ready" ]]; then
        wineboot -i >/dev/null 2>&1 </dev/null
        wineserver -w
        # Every program of this prefix runs in one Wine virtual desktop: Wine
        # then draws captions and frames itself and the work area is fixed,
        # so geometry and screenshots do not depend on an X window manager.
        if [[ "${QUILLARK_VIRTUAL_DESKTOP:-1}" != 0 ]]; then
          wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
          wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
          wineserver -w
        fi
        if [[ -f "$prefix/system.reg" ]]; then
          touch "$prefix/.quillark-ready"
        fi
      fi
    ) 9>"$prefix/.quillark.flock"
    if [[ ! -f "$prefix/.quillark-ready" ]]; then
      echo "wine-env: could not initialise the Wine prefix $prefix" >&2
      return 1
    fi
  fi
  # Wine's own TrueType fonts (Marlett for the caption buttons, Tahoma, ...)
  # are not found in Debian's data directory, so they are linked into the
  # prefix's font folder. Without Marlett the caption buttons show letters.
  local fonts="$prefix/drive_c/windows/Fonts"
  if [[ ! -e "$fonts/marlett.ttf" && -d /usr/share/wine/fonts ]]; then
    mkdir -p "$fonts"
    local f
    for f in /usr/share/wine/fonts/*.ttf; do
      [[ -e "$fonts/$(basename "$f")" ]] || ln -s "$f" "$fonts/$(basename "$f")" 2>/dev/null
    done
  fi
  # Wine has no "Courier New" (the calendar's grid font) and would fall back
  # to a proportional face; Liberation Mono (fonts-liberation) has the same
  # metrics. Set once per prefix; the marker keeps later calls quick.
  if [[ ! -f "$prefix/.quillark-font-replacements" ]]; then
    (
      flock 9
      if [[ ! -f "$prefix/.quillark-font-replacements" ]]; then
        if wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /d 'Liberation Mono' /f \
          >/dev/null 2>&1; then
          touch "$prefix/.quillark-font-replacements"
        fi
      fi
    ) 9>"$prefix/.quillark.flock"
  fi
  # Keep one Wine server (and with it Wine's desktop and services) running
  # for a while between programs, started here with no ties to the caller's
  # output: otherwise every program run by CTest starts them afresh and they
  # hold the test's output open for seconds after it has ended.
  if wineserver -p"${QUILLARK_WINESERVER_LINGER:-30}" </dev/null >/dev/null 2>&1; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  fi
  return 0
}

quillark_wine_env
