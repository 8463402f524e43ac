# Sourced (bash): prepares a private X display and a private Wine prefix for
# running the Windows build, and exports the environment Wine needs.
#
#   QUILLARK_DISPLAY      X display number to use (default 77). If nothing is
#                         serving it, a private Xvfb is started on it.
#   QUILLARK_WINEPREFIX   Wine prefix to use (default <repo>/.wine-test). It is
#                         created and initialised on first use.
#   QUILLARK_WINE_TEMPLATE  if set, a new prefix (with the virtual desktop) is
#                         made as a copy of this one, which is made first
#                         when it does not exist yet: a fraction of a second
#                         instead of a Wine start-up (the test command's many
#                         prefixes).
#   QUILLARK_USE_DISPLAY  if set to 1, keep the caller's DISPLAY instead
#                         (scripts/run.sh uses this to show the program on the
#                         user's own screen).
#   QUILLARK_VIRTUAL_DESKTOP  0 to create a new prefix without the Wine
#                         virtual desktop (windows then go straight to the X
#                         display and its window manager); default 1. Only
#                         read when the prefix is created.
#   QUILLARK_OWN_SERVERS  if set to 1, never share: a new Xvfb is started on
#                         the first free display from QUILLARK_DISPLAY on, and
#                         a new Wine server for the prefix (refused when one
#                         is already running there). Both are children of the
#                         caller's shell; their ids are left in
#                         QUILLARK_XVFB_PID and QUILLARK_WINESERVER_PID, and
#                         quillark_wine_env_end ends them, and with the Wine
#                         server every program of the prefix. The caller
#                         should call it from an EXIT trap (scripts/run.sh).
#   QUILLARK_WINESERVER_LINGER  seconds a Wine server without programs stays
#                         up (default 30). With QUILLARK_OWN_SERVERS=1, set
#                         and empty: it stays until quillark_wine_env_end
#                         (scripts/test-lane.sh, whose tests come and go).
#
# Exports DISPLAY, WINEPREFIX, WINEDEBUG=-all,
# WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" (no offer to
# install Mono or Gecko, and no menu entries or file associations of the
# prefix's programs on the Linux side)
# and WINEARCH=win64. Quick when display and prefix already exist (no Wine
# process is started then). Returns non-zero, without leaving the caller's
# shell, when something cannot be set up.

# True while the process is running (a finished child that has not been
# waited for yet still has its entry, as a zombie).
quillark_process_running() {
  local stat
  read -r stat 2>/dev/null <"/proc/$1/stat" || return 1
  # The state follows the command name, which is in parentheses.
  stat="${stat##*) }"
  [[ -n "$stat" && "${stat%% *}" != Z ]]
}

# Ends a process this shell started: the given signal, then SIGKILL if it is
# still there after about five seconds; then collects it.
quillark_end_child() {
  local pid=$1 signal=$2 i
  if quillark_process_running "$pid"; then
    kill "-$signal" "$pid" 2>/dev/null || true
    for ((i = 0; i < 50; i++)); do
      quillark_process_running "$pid" || break
      sleep 0.1
    done
    if quillark_process_running "$pid"; then
      kill -KILL "$pid" 2>/dev/null || true
    fi
  fi
  wait "$pid" 2>/dev/null || true
}

# A new Xvfb on the first display number from $1 on that nothing holds. The
# lock file Xvfb writes must name our process: then the server that answers
# is ours and not one that took the number at the same moment. (-noreset: see
# the shared display below.)
quillark_own_display() {
  local first=$1 num pid i
  for ((num = first; num < first + 32; num++)); do
    [[ -e "/tmp/.X$num-lock" || -e "/tmp/.X11-unix/X$num" ]] && continue
    Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp -ac -noreset >"/tmp/quillark-xvfb-$num.log" 2>&1 </dev/null &
    pid=$!
    QUILLARK_XVFB_PID=$pid
    for ((i = 0; i < 100; i++)); do
      quillark_process_running "$pid" || break
      if [[ -f "/tmp/.X$num-lock" && "$(tr -d ' \n' <"/tmp/.X$num-lock")" == "$pid" ]] &&
        xdpyinfo -display ":$num" >/dev/null 2>&1; then
        export DISPLAY=":$num" QUILLARK_XVFB_PID
        QUILLARK_XVFB_LOG="/tmp/quillark-xvfb-$num.log"
        return 0
      fi
      sleep 0.1
    done
    if quillark_process_running "$pid"; then
      quillark_end_child "$pid" TERM
      unset QUILLARK_XVFB_PID
      echo "wine-env: Xvfb on :$num did not answer (see /tmp/quillark-xvfb-$num.log)" >&2
      return 1
    fi
    # Another server took the number first: try the next one.
    wait "$pid" 2>/dev/null || true
    unset QUILLARK_XVFB_PID
  done
  echo "wine-env: no free X display from :$first to :$((first + 31))" >&2
  return 1
}

# A new Wine server for WINEPREFIX, run in the foreground of a background job
# so that its id is the one this shell holds. It is ready once its socket is
# in its server folder (its working directory); when it ends at once, another
# server already holds the prefix.
quillark_own_wineserver() {
  local pid i status
  wineserver -f -p"$1" </dev/null >/dev/null 2>&1 &
  pid=$!
  QUILLARK_WINESERVER_PID=$pid
  for ((i = 0; i < 100; i++)); do
    if ! quillark_process_running "$pid"; then
      status=0
      wait "$pid" 2>/dev/null || status=$?
      unset QUILLARK_WINESERVER_PID
      # The Wine server ends with 2 when another one holds the prefix's lock.
      if [[ $status == 2 ]]; then
        echo "wine-env: a Wine server is already running for $WINEPREFIX (another start of the" \
          "program?); try again once it has ended" >&2
      else
        echo "wine-env: the Wine server for $WINEPREFIX ended at once (status $status)" >&2
      fi
      return 1
    fi
    # Not exported: the id is this shell's alone. A start command run from
    # a test under this server would otherwise take it for its own and end
    # it, and skip ending the servers it did start.
    if [[ -S "/proc/$pid/cwd/socket" ]]; then
      return 0
    fi
    sleep 0.1
  done
  quillark_end_child "$pid" INT
  unset QUILLARK_WINESERVER_PID
  echo "wine-env: the Wine server for $WINEPREFIX did not start" >&2
  return 1
}

# Sets the array named $1 to the processes whose environment names this
# WINEPREFIX, apart from this shell (builtins only: no process of its own
# is started to look).
quillark_prefix_processes() {
  local -n found=$1
  local dir entry
  found=()
  for dir in /proc/[0-9]*; do
    [[ "${dir#/proc/}" == "$$" || "${dir#/proc/}" == "$BASHPID" ]] && continue
    # A process may end between the listing and the reading: it is skipped
    # (also under a caller's errexit).
    {
      while IFS= read -r -d '' entry; do
        if [[ "$entry" == "WINEPREFIX=$WINEPREFIX" ]]; then
          if quillark_process_running "${dir#/proc/}"; then found+=("${dir#/proc/}"); fi
          break
        fi
      done <"$dir/environ"
    } 2>/dev/null || true
  done
  return 0
}

# Ends what quillark_wine_env started with QUILLARK_OWN_SERVERS=1, by the ids
# it holds. SIGINT makes the Wine server end every program of its prefix
# before it exits (the way `wineserver -k` ends it); the X server goes last,
# once no Wine program draws on it any more.
quillark_wine_env_end() {
  if [[ -n "${QUILLARK_WINESERVER_PID:-}" ]]; then
    quillark_end_child "$QUILLARK_WINESERVER_PID" INT
    unset QUILLARK_WINESERVER_PID
  elif [[ "${QUILLARK_OWN_SERVERS:-0}" == 1 && -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" &&
    ! -f "$WINEPREFIX/.quillark-ready" ]]; then
    # Stopped while the prefix was being created: its servers come and go
    # with each step, so the one of this prefix is ended through the prefix.
    # A Wine program of that step still starting up (Ctrl-C reaches every
    # process of the step) can start a new server just after the last one
    # ended, so the server is ended, and with no server left the processes
    # of the step (they all carry the prefix in their environment), until
    # none has come back for a moment.
    local round quiet=0 pid
    local -a left
    for ((round = 0; round < 40 && quiet < 2; round++)); do
      if wineserver -k </dev/null >/dev/null 2>&1; then
        quiet=0
        wineserver -w </dev/null >/dev/null 2>&1 || true
      elif quillark_prefix_processes left && ((${#left[@]} > 0)); then
        quiet=0
        for pid in "${left[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
        sleep 0.1
      else
        quiet=$((quiet + 1))
        sleep 0.3
      fi
    done
  fi
  if [[ -n "${QUILLARK_XVFB_PID:-}" ]]; then
    quillark_end_child "$QUILLARK_XVFB_PID" TERM
    # The display number was this run's alone, and so is its log.
    rm -f "${QUILLARK_XVFB_LOG:-}"
    unset QUILLARK_XVFB_PID QUILLARK_XVFB_LOG
  fi
  return 0
}

# quillark_make_prefix PREFIX: fills a new Wine prefix (wineboot) unless it is
# ready already; returns non-zero when it could not be made.
quillark_make_prefix() {
  local prefix=$1
  [[ -f "$prefix/.quillark-ready" ]] && return 0
  # The lock lives inside the prefix folder (Wine accepts an empty one), so
  # nothing is left beside it in the work tree.
  mkdir -p "$prefix"
  # Run without errexit, which a caller's `set -e` would otherwise pass in:
  # a failed step must reach the caller's message, not end the caller quietly.
  (
    set +e
    # Ctrl-C while the prefix is filled stops the filling, also when Wine
    # itself takes the signal in its stride and finishes the step it is on:
    # a prefix is never marked ready after an interrupt.
    trap 'exit 130' INT
    trap 'exit 143' TERM
    export WINEPREFIX="$prefix"
    flock 9
    if [[ ! -f "$prefix/.quillark-ready" ]]; then
      # A creation cut short (Ctrl-C, a crash) leaves a prefix without its
      # system DLLs that wineboot cannot complete, so it is begun afresh.
      # Only a prefix that this script began is emptied, never one made
      # elsewhere and given in QUILLARK_WINEPREFIX.
      if [[ -f "$prefix/.quillark-creating" ]]; then
        find "$prefix" -mindepth 1 -maxdepth 1 ! -name .quillark.flock -exec rm -rf {} +
      fi
      touch "$prefix/.quillark-creating"
      booted=0
      wineboot -i >/dev/null 2>&1 </dev/null && booted=1
      wineserver -w
      # Every program of this prefix runs in one Wine virtual desktop: Wine
      # then draws captions and frames itself and the work area is fixed,
      # so geometry and screenshots do not depend on an X window manager.
      if [[ $booted == 1 && "${QUILLARK_VIRTUAL_DESKTOP:-1}" != 0 ]]; then
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 &&
          wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 ||
          booted=0
        wineserver -w
      fi
      if [[ $booted == 1 && -f "$prefix/system.reg" ]]; then
        rm -f "$prefix/.quillark-creating"
        touch "$prefix/.quillark-ready"
      fi
    fi
  ) 9>"$prefix/.quillark.flock"
  [[ -f "$prefix/.quillark-ready" ]]
}

# quillark_copy_prefix TEMPLATE PREFIX: PREFIX as a copy of the ready prefix
# TEMPLATE (nothing in a prefix names its own folder). It is marked ready
# only once the whole copy is there; a copy cut short is made again.
quillark_copy_prefix() {
  local template=$1 prefix=$2
  mkdir -p "$prefix"
  (
    flock 9
    [[ -f "$prefix/.quillark-ready" ]] && exit 0
    find "$prefix" -mindepth 1 -maxdepth 1 ! -name .quillark.flock -exec rm -rf {} +
    find "$template" -mindepth 1 -maxdepth 1 ! -name '.quillark*' -exec cp -a -t "$prefix" {} + &&
      touch "$prefix/.quillark-ready"
  ) 9>"$prefix/.quillark.flock"
}

quillark_wine_env() {
  local root
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  local num="${QUILLARK_DISPLAY:-77}"
  local prefix="${QUILLARK_WINEPREFIX:-$root/.wine-test}"

  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
  export WINEPREFIX="$prefix"

  local own="${QUILLARK_OWN_SERVERS:-0}"

  if [[ "$own" == 1 ]]; then
    quillark_own_display "$num" || return 1
  elif [[ "${QUILLARK_USE_DISPLAY:-0}" != 1 || -z "${DISPLAY:-}" ]]; then
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
          # -noreset: an X server resets itself when its last client leaves,
          # and a client arriving just then is refused; the readiness probe
          # below is such a last client, and the check after it such a new one.
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
  # after it has been filled and its server has shut down cleanly. With a
  # template (the test command's many prefixes) it is a copy of the template,
  # which is made like any prefix the first time it is needed.
  if [[ ! -f "$prefix/.quillark-ready" ]]; then
    local template="${QUILLARK_WINE_TEMPLATE:-}"
    if [[ -n "$template" && "$template" != "$prefix" && "${QUILLARK_VIRTUAL_DESKTOP:-1}" != 0 ]]; then
      quillark_make_prefix "$template" && quillark_copy_prefix "$template" "$prefix"
    else
      quillark_make_prefix "$prefix"
    fi
    if [[ ! -f "$prefix/.quillark-ready" ]]; then
      echo "wine-env: could not initialise the Wine prefix $prefix" >&2
      return 1
    fi
  fi
  # The caller's own Wine server, held from here on, so that the font
  # settings below and every program after them run under it.
  if [[ "$own" == 1 ]]; then
    quillark_own_wineserver "${QUILLARK_WINESERVER_LINGER-30}" || return 1
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
  if [[ "$own" == 1 ]] || wineserver -p"${QUILLARK_WINESERVER_LINGER:-30}" </dev/null >/dev/null 2>&1; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  fi
  return 0
}

quillark_wine_env
