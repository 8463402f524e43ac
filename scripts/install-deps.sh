#!/usr/bin/env bash
# Installs whatever Debian packages the project needs and are missing.
# Idempotent: does nothing (and needs no network) when all are present.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
mapfile -t wanted < <(grep -v '^\s*#' "$here/packages.txt" | sed 's/\s*$//' | grep -v '^$')
# One query for all of them (the start and test commands run this each time).
declare -A installed=()
while read -r p status; do
  [[ $status == "install ok installed" ]] && installed[$p]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>/dev/null)
missing=()
for p in "${wanted[@]}"; do
  [[ -n "${installed[$p]:-}" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
