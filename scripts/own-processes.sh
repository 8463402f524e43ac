# Sourced (bash): marks every process a command starts from here on, so that
# it can end them all when it exits - also those that have left its process
# tree: a Wine server that Wine started detached for a test's own prefix, the
# programs of that prefix, an xclip serving a selection, a program a test left
# behind. The mark is an environment variable whose value is this run's alone;
# every process started later inherits it and no other process carries it,
# so only the run's own processes are ever ended, each by its process id,
# never by a program's name.

# quillark_mark_processes VAR: exports VAR with a value no other run has.
quillark_mark_processes() {
  local var=$1
  export "$var=$var-$$-$(date +%s%N)-$RANDOM"
}

# quillark_marked_pids VAR VALUE: ids of the running processes whose
# environment holds VAR=VALUE, the caller itself left out. The search runs
# without the mark, so that it does not find itself.
quillark_marked_pids() {
  local var=$1 value=$2 self=$$ shell=$BASHPID
  (
    export -n "$var"
    grep -lazx -- "$var=$value" /proc/[0-9]*/environ 2>/dev/null |
      sed -n 's|^/proc/\([0-9]*\)/environ$|\1|p' | grep -vxF -e "$self" -e "$shell"
  )
}

# quillark_end_marked VAR VALUE: ends every process carrying the mark. SIGINT
# first: a Wine server then ends every program of its prefix before it exits,
# and a script runs its own clean-up; then SIGTERM, then SIGKILL, each after
# up to about five seconds. Prints what had to be ended by force. Returns
# non-zero when something of the run is still there at the end.
quillark_end_marked() {
  local var=$1 value=$2 signal pids i
  for signal in INT TERM KILL; do
    mapfile -t pids < <(quillark_marked_pids "$var" "$value")
    ((${#pids[@]})) || return 0
    [[ $signal == KILL ]] && echo "ending by force: ${pids[*]}" >&2
    kill "-$signal" "${pids[@]}" 2>/dev/null
    for ((i = 0; i < 50; i++)); do
      [[ -z "$(quillark_marked_pids "$var" "$value")" ]] && return 0
      sleep 0.1
    done
  done
  [[ -z "$(quillark_marked_pids "$var" "$value")" ]]
}
