#!/usr/bin/env bash
# Runs a Windows test program under Wine with the build's own test prefix
# (made on first use). CTest uses it as the emulator of the cross build.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/wine-env.sh"
exe=$1
shift
build=$(cd "$(dirname "$exe")/.." && pwd)
export WINEPREFIX="$build/e2e-prefix"
# No real browser in the tests: Internet Explorer cannot start, and web
# addresses go to the recording stand-in browser (set by the test driver).
export WINEDLLOVERRIDES="mscoree,mshtml=;iexplore.exe=d"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.kanaroute-ready" ]; then
    bash "$here/scripts/wine-prefix.sh" "$WINEPREFIX" "$build/bin" >/dev/null
  fi
) 9>"$build/.e2e-prefix.lock"
# Files the program moves to the Recycle Bin land in Wine's desktop trash: a
# folder of this build, emptied before each test, not the user's own trash.
export XDG_DATA_HOME="$build/test-data"
rm -rf "$XDG_DATA_HOME/Trash"
mkdir -p "$XDG_DATA_HOME"
# A version folder that is a symbolic link (Wine makes none itself): it leads
# to the stand-in of the test that refuses such a folder.
mkdir -p "$WINEPREFIX/drive_c/e2e-links/SogouInput"
ln -sfn ../../e2e/unsafe/SogouInput/6.2.0.0000 "$WINEPREFIX/drive_c/e2e-links/SogouInput/6.2.0.0000"
# The test output folder and the stand-in browser's record, as Windows paths.
export KANAROUTE_TEST_OUTPUT=${KANAROUTE_TEST_OUTPUT:-$build/test-output}
mkdir -p "$KANAROUTE_TEST_OUTPUT"
exec "$KANAROUTE_WINE" "$exe" "$@"
