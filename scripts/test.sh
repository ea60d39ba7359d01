#!/usr/bin/env bash
# Runs every test on a fresh Debian 12 machine: installs what is missing,
# builds the native core and the Windows program, runs the native unit tests,
# then the end-to-end tests under Wine inside Xvfb. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh

echo "== Native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== Windows program (32-bit, the product)"
cmake --preset win32 >/dev/null
cmake --build --preset win32

source scripts/wine-env.sh
preset=$(kanaroute_build_preset)
if [ "$preset" != win32 ]; then
  echo "== This machine runs no 32-bit code: the end-to-end tests use the 64-bit build of the same sources"
  echo "== Checks of the 32-bit program file"
  ctest --preset win32 -R "binary|package"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
fi

echo "== End-to-end tests under Wine in Xvfb ($preset build)"
rm -rf "build/$preset/e2e-prefix" "build/$preset/test-output"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  ctest --preset "$1"; status=$?
  "$WINESERVER" -k 2>/dev/null || true
  exit $status' _ "$preset" || status=$?

# Screenshots taken by the tests, as PNG.
for bmp in "build/$preset/test-output"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert-im6.q16 "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "build/$preset/test-output"/*.png 2>/dev/null | sed 's/^/screenshot: /' || true
exit $status
