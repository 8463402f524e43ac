#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private display and
# prefix (see wine-env.sh) and returns the program's exit code. CTest uses
# this as the cross-compiling emulator of the Windows build.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" || exit 125
if [[ $# -lt 1 ]]; then
  echo "usage: wine-run.sh program.exe [arguments...]" >&2
  exit 2
fi
exec wine "$@"
