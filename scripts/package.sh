#!/usr/bin/env bash
# Builds the release packages of Quillark for Windows into dist/:
#   Quillark-<version>-win64.zip        the portable folder
#   Quillark-<version>-win64-setup.exe  the per-user installer
# from the Release cross build (the "windows" preset), after installing
# whatever is missing. Every time inside the packages is the commit's time
# (SOURCE_DATE_EPOCH, unless it is already set), so two runs from the same
# commit give byte-identical files. Prints each file's size and SHA-256.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/install-deps.sh"

if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct)"
  export SOURCE_DATE_EPOCH
fi
if [[ -n "$(git -C "$root" status --porcelain --untracked-files=no 2>/dev/null)" ]]; then
  echo "package: note: the work tree has uncommitted changes; the packages hold them" >&2
fi

build="$root/build/windows"
cmake --preset windows >/dev/null
cmake --build "$build" --target dist -- -j2 >"$build/package.log" 2>&1 || {
  tail -40 "$build/package.log"
  echo "package: the build failed (full log: $build/package.log)" >&2
  exit 1
}

mkdir -p "$root/dist"
for f in "$build"/dist/Quillark-*-win64.zip "$build"/dist/Quillark-*-win64-setup.exe; do
  cp -f "$f" "$root/dist/"
  printf '%s  %s bytes  SHA-256 %s\n' "dist/$(basename "$f")" "$(stat -c %s "$f")" \
    "$(sha256sum "$f" | cut -d' ' -f1)"
done
