#!/usr/bin/env bash
# Builds the 32-bit Windows program and packs the download:
#   build/Kanaroute-<version>-win32.zip
# holding Kanaroute/Kanaroute.exe, Kanaroute/date.dat, Kanaroute/使用说明.txt, the
# phrasebook page Kanaroute/短语一览.html and the
# phrase list for other input methods in Kanaroute/其他输入法/.
# The build tools come from scripts/install-deps.sh. The program is checked
# (imports, version record, manifest, size) before it is packed, so a build
# that is not fit to ship never becomes a zip.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

version="$(sed -n 's/^project(Kanaroute VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
if [[ -z "$version" ]]; then
  echo "error: cannot read the project version from CMakeLists.txt" >&2
  exit 1
fi

cmake --preset win32
# Only what ships is built: the test programs of the preset are not needed here.
cmake --build --preset win32 --target Kanaroute date_dat phrasebook phrase_list_exports

bin_dir="build/win32/bin"
python3 tests/binary/check_binary.py --arch i386 --objdump i686-w64-mingw32-objdump "$bin_dir/Kanaroute.exe"

zip_path="$repo/build/Kanaroute-$version-win32.zip"
python3 scripts/make_zip.py "$bin_dir" "$zip_path" "packaging/使用说明.txt" >/dev/null
echo "$zip_path"
