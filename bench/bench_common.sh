# Sourced (bash) by the batch benchmarks: the checks they share, a scratch
# folder, and one measured run.

# bench_start NAME CALC: refuses (exit 2) without the program or without
# /usr/bin/time, then sets `work` to a scratch folder removed on exit.
bench_start() {
  local name="$1" calc="$2"
  if [[ ! -x "$calc" ]]; then
    echo "$name: $calc not found; build it first (cmake --build <dir> --target quillark-calc)" >&2
    exit 2
  fi
  if [[ ! -x /usr/bin/time ]]; then
    echo "$name: /usr/bin/time is missing (Debian package: time)" >&2
    exit 2
  fi
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
}

# bench_measure command...: runs it with its output discarded and prints
# "wall-seconds cpu-seconds peak-kib" of the run (CPU time is user +
# system, all from /usr/bin/time -v); returns the command's exit status.
bench_measure() {
  local status=0
  /usr/bin/time -v -o "$work/time.txt" "$@" > /dev/null || status=$?
  python3 - "$work/time.txt" <<'PY'
import sys
fields = dict(line.strip().split(": ", 1) for line in open(sys.argv[1]) if ": " in line)
wall = 0.0
for part in fields["Elapsed (wall clock) time (h:mm:ss or m:ss)"].split(":"):
    wall = wall * 60 + float(part)
cpu = float(fields["User time (seconds)"]) + float(fields["System time (seconds)"])
print(wall, cpu, fields["Maximum resident set size (kbytes)"])
PY
  return "$status"
}
