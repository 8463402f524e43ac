#!/usr/bin/env bash
# The release packages as a Windows user meets them, under Wine.
#
#   package_test.sh installer <setup.exe> <version> <typical_request.exe> <ui_probe.exe> <work dir>
#     In a fresh private Wine prefix: a folder that cannot be written is
#     refused; a silent install puts the files, the Start-menu shortcut and
#     the Uninstall key in place; the installed programs answer the typical
#     request; upgrade and uninstall are refused while Quillark runs; a second
#     install upgrades in place; a silent uninstall leaves nothing of
#     Quillark's behind and nothing of anyone else's touched.
#   package_test.sh zip <zip> <version> <typical_request.exe> <work dir>
#     The zip unpacked to a folder whose path has spaces; both programs run
#     from there.
#
# Prints one line per failed check ("FAIL what: expected X, got Y"), the
# measured install and uninstall times, and a closing count; exits 1 when
# any check failed.
set -u
mode="${1:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"

passed=0
failed=0
# check WHAT EXPECTED GOT
check() {
  if [[ "$2" == "$3" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $1: expected '$2', got '$3'"
  fi
}
finish() {
  echo "$passed passed, $failed failed"
  [[ $failed -eq 0 ]]
  exit $?
}
seconds_since() {
  echo "$(date +%s%N) $1" | awk '{ printf "%.2f", ($1 - $2) / 1e9 }'
}
# The answer in the birth field of the typical request, from the
# typical-request tool's or quillark-calc's printout.
birth_answer() {
  tr -d '\r' | sed -n 's/^Date of birth: *//p'
}
# calc_answer EXE: quillark-calc's answer to the typical request.
calc_answer() {
  wine "$1" --event "Dec 7, 1941" --years 40 </dev/null 2>&1 | birth_answer
}
# window_answer TOOL EXE: the answer of the window of quillark.exe at EXE,
# driven with real keystrokes by the typical-request tool.
window_answer() {
  wine "$1" --exe "$2" </dev/null 2>&1 | birth_answer
}

if [[ $mode == zip ]]; then
  [[ $# -eq 5 ]] || { echo "usage: package_test.sh zip <zip> <version> <typical_request.exe> <work dir>"; exit 2; }
  zip="$2" version="$3" tool="$4" work="$5"
  # shellcheck source=/dev/null
  source "$root/scripts/wine-env.sh" || exit 1
  folder="$work/zip test/Family History Tools"
  rm -rf "$work/zip test"
  mkdir -p "$folder"
  unzip -q "$zip" -d "$folder" || { echo "FAIL the zip does not unpack"; exit 1; }
  unpacked="$folder/Quillark-$version-win64"
  check "files of the zip" "LICENSE.txt README.txt quillark-calc.exe quillark.exe" \
    "$(cd "$unpacked" 2>/dev/null && LC_ALL=C ls | tr '\n' ' ' | sed 's/ $//')"
  check "README.txt has Windows line ends" "$(wc -l <"$unpacked/README.txt")" \
    "$(grep -c $'\r$' "$unpacked/README.txt")"
  check "quillark-calc.exe from a path with spaces" "1901 or 1900" "$(calc_answer "$unpacked/quillark-calc.exe")"
  check "quillark.exe from a path with spaces" "1901 or 1900" "$(window_answer "$tool" "$unpacked/quillark.exe")"
  rm -rf "$work/zip test"
  finish
fi

[[ $mode == installer && $# -eq 6 ]] || {
  echo "usage: package_test.sh installer <setup.exe> <version> <typical_request.exe> <ui_probe.exe> <work dir>"
  exit 2
}
setup="$2" version="$3" tool="$4" probe="$5" work="$6"

# A new prefix every run: what the installer leaves behind must be its own.
prefix="$work/install-prefix"
if [[ -d "$prefix" ]]; then
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
  rm -rf "$prefix"
fi
export QUILLARK_WINEPREFIX="$prefix"
# shellcheck source=/dev/null
source "$root/scripts/wine-env.sh" || exit 1
# No menu entries on the Linux side for the shortcut the installer makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES,winemenubuilder.exe=d"
# Quillark's own processes are ended whatever happens; the prefix's Wine
# server goes with them.
trap 'wine "$probe" close Quillark >/dev/null 2>&1; WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1' EXIT

local_appdata="$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')"
dir_win="$local_appdata\\Programs\\Quillark"
dir="$(winepath -u "$dir_win" 2>/dev/null)"
dir="${dir%/}"
programs_win="$(wine cmd /c echo %APPDATA% | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs"
shortcut="$(winepath -u "$programs_win" 2>/dev/null)"
shortcut="${shortcut%/}/Quillark.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillark'
installed_files="LICENSE.txt README.txt quillark-calc.exe quillark.exe uninstall.exe"

# reg_value NAME: the value's data as `reg query` shows it ("" when missing).
reg_value() {
  wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 \{4\}REG_[A-Z_]* \{4\}//p"
}
key_present() {
  wine reg query "$key" >/dev/null 2>&1 && echo present || echo absent
}
listing() {
  (cd "$dir" 2>/dev/null && LC_ALL=C ls | tr '\n' ' ' | sed 's/ $//')
}
# Everything the install folder holds, with sizes and times: what a refused
# run must leave exactly as it was.
snapshot() {
  (cd "$dir" 2>/dev/null && LC_ALL=C ls -l --time-style=+%s.%N) ; key_present; [[ -e "$shortcut" ]] && echo shortcut
}
wait_for_window() {
  local i
  for ((i = 0; i < 100; i++)); do
    wine "$probe" window Quillark >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

# A folder whose path runs through a file cannot be made: refused, and
# nothing is written anywhere.
# (/D= takes the rest of the command line unquoted, so no spaces here.)
mkdir -p "$prefix/drive_c/blocked"
: >"$prefix/drive_c/blocked/file"
wine "$setup" /S '/D=C:\blocked\file\Quillark' >/dev/null 2>&1
check "exit code when the folder cannot be written" 2 $?
wine "$setup" /S '/D=Q:\Quillark' >/dev/null 2>&1
check "exit code when the drive does not exist" 2 $?
check "Uninstall key after refused installs" absent "$(key_present)"
check "shortcut after refused installs" absent "$([[ -e "$shortcut" ]] && echo present || echo absent)"
check "default folder after refused installs" absent "$([[ -e "$dir" ]] && echo present || echo absent)"

# Someone else's program beside ours: never touched.
other="$(dirname "$dir")/Other Program"
mkdir -p "$other"
echo "not Quillark's" >"$other/keep.txt"

start=$(date +%s%N)
wine "$setup" /S >/dev/null 2>&1
check "exit code of a silent install" 0 $?
echo "silent install: $(seconds_since "$start") s"
check "installed files" "$installed_files" "$(listing)"
check "shortcut points to the installed program" 1 \
  "$(strings "$shortcut" 2>/dev/null | grep -c -F -x "$dir_win\\quillark.exe")"
# Value name, expected data.
expected_values=(
  "DisplayName|Quillark"
  "DisplayVersion|$version"
  "Publisher|The Quillark authors"
  "DisplayIcon|$dir_win\\quillark.exe,0"
  "InstallLocation|$dir_win"
  "UninstallString|\"$dir_win\\uninstall.exe\""
  "QuietUninstallString|\"$dir_win\\uninstall.exe\" /S"
)
for entry in "${expected_values[@]}"; do
  IFS='|' read -r name want <<<"$entry"
  check "Uninstall key value $name" "$want" "$(reg_value "$name")"
done
# EstimatedSize is in KiB: the files' size, give or take a rounding per file.
size_kib=$(($(reg_value EstimatedSize)))
files_kib=$(($(cat "$dir"/* | wc -c) / 1024))
check "EstimatedSize within 5 KiB of the files' $files_kib KiB" yes \
  "$([[ $size_kib -ge $((files_kib - 5)) && $size_kib -le $((files_kib + 5)) ]] && echo yes || echo "no ($size_kib)")"

check "installed quillark-calc.exe answers" "1901 or 1900" "$(calc_answer "$dir_win\\quillark-calc.exe")"
check "installed quillark.exe answers" "1901 or 1900" "$(window_answer "$tool" "$dir_win\\quillark.exe")"

# Quillark running from the install folder: upgrade and uninstall refuse and
# change nothing. The uninstaller is run in place (_?=) to see its own exit
# code; started plainly it hands over to a copy of itself and returns 0.
wine "$dir_win\\quillark.exe" >/dev/null 2>&1 &
if wait_for_window; then
  before="$(snapshot)"
  wine "$setup" /S >/dev/null 2>&1
  check "exit code of an upgrade while Quillark runs" 2 $?
  wine "$dir_win\\uninstall.exe" /S "_?=$dir_win" >/dev/null 2>&1
  check "exit code of an uninstall while Quillark runs" 2 $?
  check "install after refused upgrade and uninstall" "$before" "$(snapshot)"
  wine "$probe" close Quillark >/dev/null 2>&1
else
  check "Quillark started from the install folder" started "no window"
fi
wait

# A second install over the first one: the files are replaced in place.
echo "changed by hand" >"$dir/README.txt"
wine reg add "$key" /v DisplayVersion /d 0.1 /f >/dev/null 2>&1
wine "$setup" /S >/dev/null 2>&1
check "exit code of an upgrade" 0 $?
check "files after the upgrade" "$installed_files" "$(listing)"
check "README.txt after the upgrade" 0 "$(grep -c 'changed by hand' "$dir/README.txt")"
check "DisplayVersion after the upgrade" "$version" "$(reg_value DisplayVersion)"

# The silent uninstall hands over to a copy of itself and returns at once:
# it is done when the folder and the key are gone.
start=$(date +%s%N)
wine "$dir_win\\uninstall.exe" /S >/dev/null 2>&1
check "exit code of a silent uninstall" 0 $?
for ((i = 0; i < 300; i++)); do
  [[ ! -e "$dir" && $(key_present) == absent ]] && break
  sleep 0.1
done
echo "silent uninstall: $(seconds_since "$start") s"
check "install folder after uninstall" absent "$([[ -e "$dir" ]] && echo "present: $(listing)" || echo absent)"
check "shortcut after uninstall" absent "$([[ -e "$shortcut" ]] && echo present || echo absent)"
check "Uninstall key after uninstall" absent "$(key_present)"
check "another program's file after uninstall" "not Quillark's" "$(cat "$other/keep.txt" 2>/dev/null)"
finish
