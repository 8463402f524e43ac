# Sourced by the checks that watch a command from outside and then look for
# what it left running: their scratch folder, the helpers they start (ended
# when the check exits), their failures, the processes carrying their mark,
# and an X server put on a display first, which the command must leave alone.
#
# Set watch_mark to the name of the environment variable that marks the
# watched command's processes before sourcing this.
work="$(mktemp -d)"
failures=0
helpers=()

end_helpers() {
  local pid
  for pid in "${helpers[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap end_helpers EXIT

fail() {
  echo "FAIL $1: $2"
  failures=$((failures + 1))
}

# "pid command" of every process carrying the mark $1. It is called several
# times a second while a command runs, so it starts the same few processes
# however many carry the mark.
marked() {
  local files file pids=() pid args
  files="$(grep -laz "^$watch_mark=$1\$" /proc/[0-9]*/environ 2>/dev/null)"
  for file in $files; do
    pid="${file#/proc/}"
    pids+=("${pid%/environ}")
  done
  ((${#pids[@]})) || return 0
  local list
  printf -v list '%s,' "${pids[@]}"
  while read -r pid args; do
    echo "$pid $args"
  done < <(ps -ww -o pid=,args= -p "${list%,}")
}

# foreign_x DISPLAY: a server on that display number, unless something holds
# it already, as someone else's would be; its process id in foreign.
foreign_x() {
  [[ -e "/tmp/.X$1-lock" || -e "/tmp/.X11-unix/X$1" ]] && return
  Xvfb ":$1" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  helpers+=($!)
  foreign=$!
  local i
  for ((i = 0; i < 100; i++)); do
    xdpyinfo -display ":$1" >/dev/null 2>&1 && break
    sleep 0.1
  done
}

# left_after MARK: what still carries the mark once the command has ended, in
# left; whatever was ended may take a moment to be gone from the process table.
left_after() {
  local i
  left=""
  for ((i = 0; i < 30; i++)); do
    left="$(marked "$1")"
    [[ -z "$left" ]] && return
    sleep 0.1
  done
}
