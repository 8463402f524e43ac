#!/usr/bin/env bash
# Installs whatever is missing, builds every target and runs every test:
# the native tests (plain and under AddressSanitizer/UBSan), a short run of
# each fuzz target, and the Windows tests under Wine on a private Xvfb.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh || { echo "dependency installation failed"; exit 1; }

passed=0
failed=0
status=0
logdir="$root/build/test-logs"
mkdir -p "$logdir"

# run_preset PRESET JOBS [ctest arguments...]; BUILD_TARGETS limits the build.
run_preset() {
  local preset=$1 jobs=$2
  shift 2
  local ctest_args=("$@")
  local targets=()
  [[ -n ${BUILD_TARGETS:-} ]] && targets=(--target ${BUILD_TARGETS})
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >"$logdir/$preset-configure.log" 2>&1; then
    cat "$logdir/$preset-configure.log"; status=1; failed=$((failed + 1)); return
  fi
  if ! cmake --build --preset "$preset" -j 2 "${targets[@]}" >"$logdir/$preset-build.log" 2>&1; then
    tail -50 "$logdir/$preset-build.log"; status=1; failed=$((failed + 1)); return
  fi
  echo "=== $preset: test"
  ctest --preset "$preset" -j "$jobs" "${ctest_args[@]}" 2>&1 | tee "$logdir/$preset-ctest.log"
  [[ ${PIPESTATUS[0]} -eq 0 ]] || status=1
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logdir/$preset-ctest.log" | tail -1)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
}

run_preset host 2
run_preset sanitize 2
# Only the fuzz targets are built with clang; the other tests ran above.
BUILD_TARGETS="fuzz_normalise fuzz_format fuzz_parse_age fuzz_calculate" run_preset fuzz 2 -R "^fuzz\\."
if [[ -f scripts/wine-env.sh ]]; then
  # shellcheck source=/dev/null
  source scripts/wine-env.sh
fi
# The Windows tests drive real windows and the keyboard focus: one at a time.
run_preset windows 1

echo
echo "Total: $passed passed, $failed failed"
exit $status
