#!/usr/bin/env bash
# Runs every test on a fresh Debian 12 machine: installs what is missing,
# builds the native core and the Windows program, runs the native unit tests,
# the Rime typing test and the phrasebook page in Chromium, checks the 32-bit program file, then runs the
# end-to-end tests under Wine inside Xvfb. Ends with one line per layer of
# tests: how many ran, and CTest's summary. A layer that registered no test,
# or could not run, fails the whole run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
logs="$root/build/test-logs"
mkdir -p "$logs"
rm -f "$logs"/*.log

bash scripts/install-deps.sh
source scripts/wine-env.sh
e2e_preset=$(kanaroute_build_preset)

failed=0
# ctest with the given arguments, its output also into the named log; a
# failing run (CTest fails a run that found no test) fails the whole run.
run_ctest() {
  local log=$1
  shift
  local status=0
  ctest "$@" 2>&1 | tee "$logs/$log.log" || status=$?
  if [ "$status" -ne 0 ]; then failed=1; fi
}

echo "== Native build, unit tests, the Rime typing test and the phrasebook page in a browser"
cmake --preset native >/dev/null
cmake --build --preset native
rm -f build/native/rime-typing.txt
run_ctest 1-native-unit-tests --preset native -LE "rime|browser"
run_ctest 2-rime-typing --preset native -L rime
run_ctest 3-phrasebook-browser --preset native -L browser
# What the Rime typing test counted with each schema (keys typed, phrases not as written, off the
# first page, out of order, displaced; the user's own phrase kept first).
cat build/native/rime-typing.txt 2>/dev/null || echo "The Rime typing test did not run."

echo "== Windows program (32-bit, the product)"
cmake --preset win32 >/dev/null
cmake --build --preset win32
run_ctest 4-win32-program-file --preset win32 -LE e2e

if [ "$e2e_preset" != win32 ]; then
  echo "== This machine runs no 32-bit code: the end-to-end tests use the 64-bit build of the same sources"
  cmake --preset "$e2e_preset" >/dev/null
  cmake --build --preset "$e2e_preset"
fi

echo "== End-to-end tests under Wine in Xvfb ($e2e_preset build)"
rm -rf "build/$e2e_preset/e2e-prefix" "build/$e2e_preset/test-output"
status=0
# One warm Wine server for the whole run, started outside CTest with no
# output of its own: a server that each test starts anew costs seconds, and
# CTest would wait for it to end after every test.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  if [ -n "$KANAROUTE_WINE_BITS" ]; then
    bash scripts/wine-prefix.sh "build/$1/e2e-prefix" "build/$1/bin" >/dev/null
    export WINEPREFIX="$PWD/build/$1/e2e-prefix"
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
    "$KANAROUTE_WINE" cmd /c exit 0 </dev/null >/dev/null 2>&1
  fi
  ctest --preset "$1" -L e2e 2>&1 | tee "$2"; status=${PIPESTATUS[0]}
  "$WINESERVER" -k 2>/dev/null || true
  exit $status' _ "$e2e_preset" "$logs/5-end-to-end.log" || status=$?
if [ "$status" -ne 0 ]; then failed=1; fi

# Screenshots taken by the tests, as PNG.
for bmp in "build/$e2e_preset/test-output"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert-im6.q16 "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "build/$e2e_preset/test-output"/*.png 2>/dev/null | sed 's/^/screenshot: /' || true

# One line per layer: its name, how many of its tests ran, and CTest's
# summary from its log. A layer of its own is one more small function.
tests_ran() { grep -ho 'tests failed out of [0-9]*' "$logs/$1.log" 2>/dev/null | grep -o '[0-9]*$' || echo 0; }
layer_line() {
  local log=$1 name=$2
  local summary
  summary=$(grep -h 'tests passed' "$logs/$log.log" 2>/dev/null || echo 'FAILED: no test ran')
  printf '%-38s %4s ran   %s\n' "$name" "$(tests_ran "$log")" "$summary"
}
unit_layer() { layer_line 1-native-unit-tests "native unit tests"; }
rime_layer() { layer_line 2-rime-typing "Rime typing (librime)"; }
browser_layer() { layer_line 3-phrasebook-browser "phrasebook page in Chromium"; }
program_file_layer() { layer_line 4-win32-program-file "32-bit program file"; }
e2e_layer() {
  local bits=32
  if [ "$e2e_preset" = win64 ]; then bits=64; fi
  layer_line 5-end-to-end "end-to-end, $bits-bit build under Wine"
  if [ -z "$KANAROUTE_WINE_BITS" ]; then
    echo "   Wine cannot run Windows programs here (no wine on PATH, or no loader runs): the end-to-end tests did not run, and the test in their place fails."
  elif [ "$bits" = 64 ]; then
    echo "   The 32-bit product itself was not run end to end: this machine runs no 32-bit code."
  fi
}

echo "== Summary"
unit_layer
rime_layer
browser_layer
program_file_layer
e2e_layer
if [ "$failed" -ne 0 ]; then echo "== Some tests failed, or a layer of tests could not run."; fi
exit $failed
