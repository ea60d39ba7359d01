#!/usr/bin/env bash
# Runs every test on a fresh Debian 12 machine: installs what is missing,
# builds the native core and the Windows program, runs the native unit tests,
# then the end-to-end tests under Wine inside Xvfb. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
logs="$root/build/test-logs"
mkdir -p "$logs"
rm -f "$logs"/*.log

bash scripts/install-deps.sh

echo "== Native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
rm -f build/native/rime-typing.txt
ctest --preset native 2>&1 | tee "$logs/1-native-unit-tests.log"
# What the Rime typing test counted with each schema (keys typed, phrases not as written, off the
# first page, out of order, displaced; the user's own phrase kept first).
cat build/native/rime-typing.txt 2>/dev/null || echo "The Rime typing test did not run."

echo "== Windows program (32-bit, the product)"
cmake --preset win32 >/dev/null
cmake --build --preset win32

source scripts/wine-env.sh
preset=$(kanaroute_build_preset)
if [ "$preset" != win32 ]; then
  echo "== This machine runs no 32-bit code: the end-to-end tests use the 64-bit build of the same sources"
  echo "== Checks of the 32-bit program file"
  ctest --preset win32 -R "binary|package" 2>&1 | tee "$logs/2-win32-program-file.log"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
fi

echo "== End-to-end tests under Wine in Xvfb ($preset build)"
rm -rf "build/$preset/e2e-prefix" "build/$preset/test-output"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  ctest --preset "$1" 2>&1 | tee "$2"; status=${PIPESTATUS[0]}
  "$WINESERVER" -k 2>/dev/null || true
  exit $status' _ "$preset" "$logs/3-end-to-end.log" || status=$?

# Screenshots taken by the tests, as PNG.
for bmp in "build/$preset/test-output"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert-im6.q16 "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "build/$preset/test-output"/*.png 2>/dev/null | sed 's/^/screenshot: /' || true
echo "== Summary"
for log in "$logs"/*.log; do
  printf '%-28s %s\n' "$(basename "$log" .log)" "$(grep -h 'tests passed' "$log" || echo 'no summary')"
done
exit $status
