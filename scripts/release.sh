#!/usr/bin/env bash
# Sets up what is missing, builds the product in a release build of its own
# (build/release) and packs the stripped f2paste.exe with the user's ReadMe into
# dist/f2paste-<version>-win32.zip. Prints only the zip's path on standard
# output; everything else goes to standard error.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh >&2

# The version block's FileVersion string is the one place the version is kept.
version="$(sed -n 's/^[[:space:]]*VALUE "FileVersion", "\([^"]*\)".*/\1/p' resources/f2paste.rc)"
if [ -z "$version" ] || [ "$(wc -l <<<"$version")" -ne 1 ]; then
  echo "release: no single FileVersion in resources/f2paste.rc" >&2
  exit 1
fi

build="$root/build/release"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >&2
cmake --build "$build" --target f2paste -j"$(nproc)" >&2

stage="$build/package"
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/f2paste.exe" "$stage/f2paste.exe"
i686-w64-mingw32-strip "$stage/f2paste.exe"

mkdir -p "$root/dist"
zip="$root/dist/f2paste-$version-win32.zip"
# Written beside the zip and renamed, so a failed run leaves no half-written zip.
python3 - "$stage/f2paste.exe" "$root/resources/ReadMe.txt" "$zip.part" <<'PY'
import sys
import time
import zipfile
from pathlib import Path

exe, readme, out = (Path(arg) for arg in sys.argv[1:])
text = readme.read_text(encoding="utf-8").replace("\r\n", "\n").replace("\n", "\r\n")
# The BOM makes Notepad read UTF-8 even on Windows versions that would take
# the Chinese texts for the ANSI code page.
entry = zipfile.ZipInfo("ReadMe.txt", time.localtime(readme.stat().st_mtime)[:6])
entry.compress_type = zipfile.ZIP_DEFLATED
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
    archive.write(exe, "f2paste.exe")
    archive.writestr(entry, text.encode("utf-8-sig"))
PY
mv -f "$zip.part" "$zip"
echo "$zip"
