#!/usr/bin/env bash
# The release packages as a Windows user meets them, under Wine.
#   package_test.sh zip <zip> <version> <typical_request.exe> <work dir>
#     unpacked to a folder whose path has spaces, both programs run from there;
#   package_test.sh installer <setup.exe> <version> <typical_request.exe> <ui_probe.exe> <work dir>
#     in a fresh private prefix: refused folders, a silent install and what it
#     leaves, the installed programs, refusals while Quillark runs, an
#     upgrade, a silent uninstall that leaves nothing of Quillark's and
#     touches nothing else.
# One line per failed check, the measured times, and a closing count.
set -u
export LC_COLLATE=C  # file lists in byte order
mode="$1" package="$2" version="$3" tool="$4"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
passed=0 failed=0
check() {  # WHAT EXPECTED GOT
  if [[ "$2" == "$3" ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL $1: expected '$2', got '$3'"; fi
}
finish() {
  echo "$passed passed, $failed failed"
  exit $((failed > 0))
}
exists() { [[ -e "$1" ]] && echo present || echo absent; }
birth_answer() { tr -d '\r' | sed -n 's/^Date of birth: *//p'; }
# The answer to the typical request of quillark-calc, and of the window
# driven with real keystrokes by the typical-request tool.
calc_answer() { wine "$1" --event "Dec 7, 1941" --years 40 </dev/null 2>&1 | birth_answer; }
window_answer() { wine "$tool" --exe "$1" </dev/null 2>&1 | birth_answer; }

if [[ $mode == zip ]]; then
  work="$5"
  source "$root/scripts/wine-env.sh" || exit 1
  unpacked="$work/zip test/Family History Tools/Quillark-$version-win64"
  rm -rf "$work/zip test"
  mkdir -p "$work/zip test/Family History Tools"
  unzip -q "$package" -d "$work/zip test/Family History Tools" || { echo "FAIL the zip does not unpack"; exit 1; }
  check "files of the zip" "LICENSE.txt README.txt quillark-calc.exe quillark.exe" "$(cd "$unpacked" && echo *)"
  check "README.txt has Windows line ends" "$(wc -l <"$unpacked/README.txt")" "$(grep -c $'\r$' "$unpacked/README.txt")"
  check "quillark-calc.exe from a path with spaces" "1901 or 1900" "$(calc_answer "$unpacked/quillark-calc.exe")"
  check "quillark.exe from a path with spaces" "1901 or 1900" "$(window_answer "$unpacked/quillark.exe")"
  rm -rf "$work/zip test"
  finish
fi

probe="$5" prefix="$6/install-prefix"
[[ -d "$prefix" ]] && { WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1; rm -rf "$prefix"; }
export QUILLARK_WINEPREFIX="$prefix"
source "$root/scripts/wine-env.sh" || exit 1
trap 'wine "$probe" close Quillark >/dev/null 2>&1; WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1' EXIT

dir_win="$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')\\Programs\\Quillark"
dir="$(winepath -u "$dir_win" 2>/dev/null)" dir="${dir%/}"
shortcut="$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")"
shortcut="${shortcut%/}/Quillark.lnk"
other="$(dirname "$dir")/Other Program"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillark'
installed="LICENSE.txt README.txt quillark-calc.exe quillark.exe uninstall.exe"
reg_value() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 \{4\}REG_[A-Z_]* \{4\}//p"; }
key_state() { wine reg query "$key" >/dev/null 2>&1 && echo present || echo absent; }
listing() { (cd "$dir" 2>/dev/null && echo *); }
# What a refused run must leave exactly as it was.
snapshot() { (cd "$dir" && ls -l --time-style=+%s.%N); key_state; exists "$shortcut"; }

# Folders that cannot be made (a file in the path, a missing drive) are
# refused with nothing written. (/D= takes the rest of the line unquoted.)
mkdir -p "$prefix/drive_c/blocked" && : >"$prefix/drive_c/blocked/file"
for target in 'C:\blocked\file\Quillark' 'Q:\Quillark'; do
  wine "$package" /S "/D=$target" >/dev/null 2>&1
  check "exit code for the folder $target" 2 $?
done
check "key, shortcut, folder after refused installs" "absent absent absent" \
  "$(key_state) $(exists "$shortcut") $(exists "$dir")"

mkdir -p "$other" && echo "not Quillark's" >"$other/keep.txt"
start=$(date +%s%N)
wine "$package" /S >/dev/null 2>&1
check "exit code of a silent install" 0 $?
echo "silent install: $((($(date +%s%N) - start) / 1000000)) ms"
check "installed files" "$installed" "$(listing)"
check "shortcut to the installed program" 1 "$(strings "$shortcut" | grep -c -F -x "$dir_win\\quillark.exe")"
for entry in "DisplayName|Quillark" "DisplayVersion|$version" "Publisher|The Quillark authors" \
  "DisplayIcon|$dir_win\\quillark.exe,0" "InstallLocation|$dir_win" \
  "UninstallString|\"$dir_win\\uninstall.exe\"" "QuietUninstallString|\"$dir_win\\uninstall.exe\" /S"; do
  check "Uninstall key value ${entry%%|*}" "${entry#*|}" "$(reg_value "${entry%%|*}")"
done
# EstimatedSize is in KiB: the files' size, give or take a rounding per file.
size_kib=$(($(reg_value EstimatedSize))) files_kib=$(($(cat "$dir"/* | wc -c) / 1024))
check "EstimatedSize $size_kib KiB near the files' $files_kib KiB" yes \
  "$( ((size_kib >= files_kib - 5 && size_kib <= files_kib + 5)) && echo yes || echo no)"
check "installed quillark-calc.exe" "1901 or 1900" "$(calc_answer "$dir_win\\quillark-calc.exe")"
check "installed quillark.exe" "1901 or 1900" "$(window_answer "$dir_win\\quillark.exe")"

# While Quillark runs from the install folder, upgrade and uninstall refuse
# and change nothing. The uninstaller runs in place (_?=) to give its own
# exit code; started plainly it hands over to a copy of itself.
wine "$dir_win\\quillark.exe" >/dev/null 2>&1 &
for ((i = 0; i < 100; i++)); do wine "$probe" window Quillark >/dev/null 2>&1 && break; sleep 0.2; done
before="$(snapshot)"
wine "$package" /S >/dev/null 2>&1
check "exit code of an upgrade while Quillark runs" 2 $?
wine "$dir_win\\uninstall.exe" /S "_?=$dir_win" >/dev/null 2>&1
check "exit code of an uninstall while Quillark runs" 2 $?
check "install after the refusals" "$before" "$(snapshot)"
wine "$probe" close Quillark >/dev/null 2>&1
wait

# A second install replaces the files in place.
echo "changed by hand" >"$dir/README.txt"
wine reg add "$key" /v DisplayVersion /d 0.1 /f >/dev/null 2>&1
wine "$package" /S >/dev/null 2>&1
check "exit code of an upgrade" 0 $?
check "files, README, version after the upgrade" "$installed 0 $version" \
  "$(listing) $(grep -c 'changed by hand' "$dir/README.txt") $(reg_value DisplayVersion)"

start=$(date +%s%N)
wine "$dir_win\\uninstall.exe" /S >/dev/null 2>&1
check "exit code of a silent uninstall" 0 $?
for ((i = 0; i < 300; i++)); do
  [[ ! -e "$dir" && $(key_state) == absent ]] && break
  sleep 0.1
done
echo "silent uninstall (until folder and key are gone): $((($(date +%s%N) - start) / 1000000)) ms"
check "folder, shortcut, key after uninstall" "absent absent absent" \
  "$(exists "$dir") $(exists "$shortcut") $(key_state)"
check "another program's file after uninstall" "not Quillark's" "$(cat "$other/keep.txt" 2>/dev/null)"
finish
