#!/usr/bin/env bash
# Measures Kanaroute against its floors, side by side in one run, and prints
# one table of ratios (nothing here is a test; no thresholds fail the run):
#   1 start-up against the same main window built of the system's standard
#     controls and, for information, against a fair floor (one window with the
#     main window's fonts, text and a bitmap) and an empty window, under Wine in
#     Xvfb; with a breakdown by phase; for the 32-bit product too where 32-bit
#     programs run
#   2 the size of Kanaroute.exe, by section and resource
#   3 private memory with the main window idle and with the help window open
#   4 install / backup / restore on 5 and 50 MiB files against a durable floor
#     (the plain copies and renames, each file written flushed, one flushed
#     record) and, for information, against the plain steps alone
#   5 the load handler (the refresh) against one registry read and three look-ups
#
#   bash bench/run.sh [RUNS [PART...]]
# RUNS: runs per measurement, at least 10 (default 20); PART: startup,
# operations or refresh (default all). KANAROUTE_BENCH_BEFORE64 and
# KANAROUTE_BENCH_BEFORE32 may name an earlier build of Kanaroute.exe (with the
# start-up probes) whose start-up is measured in the same runs, to show a
# change before and after.
# The table is also saved as build/bench/results.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-20}
parts=("${@:2}")
[ "$runs" -ge 10 ] || { echo "RUNS must be at least 10" >&2; exit 2; }

source scripts/wine-env.sh
out=$root/build/bench
mkdir -p "$out"

echo "== Building (64-bit build for Wine, 32-bit product for the size)" >&2
[ -f build/win64/CMakeCache.txt ] || cmake --preset win64 >/dev/null
# Only what the benchmark runs: the program, the phrase list, the stand-in settings program.
cmake --build --preset win64 --target Kanaroute date_dat standin_config >&2
[ -f build/win32/CMakeCache.txt ] || cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Kanaroute >&2
# The same programs with the start-up probes, for the breakdown of the start-up
# time (in folders of their own: the product never carries the probes).
build_probed() { # preset
  [ -f "build/$1-probes/CMakeCache.txt" ] ||
    cmake --preset "$1" -B "build/$1-probes" -DKANAROUTE_STARTUP_PROBES=ON >/dev/null
  cmake --build "build/$1-probes" -j 2 --target Kanaroute >&2
}
build_probed win64
[ "$KANAROUTE_WINE_BITS" != 32 ] || build_probed win32

# The floor programs with exactly the options of Kanaroute.exe (MinSizeRel,
# static runtime, stripped, unused sections dropped), for each build that runs
# here: the empty window, and the fair floor, which creates the main window's
# fonts (from its layout table in the core library) and draws text and a bitmap.
# The driver is a console program that links the program's own operations and
# load handler.
flags=(-std=c++20 -Os -DNDEBUG -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 -municode -I"$root")
floor_options=(-DWIN32_LEAN_AND_MEAN -ffunction-sections -fdata-sections -mwindows -static -static-libgcc
  -static-libstdc++ -s -Wl,--gc-sections)
build_floors() { # target triplet, build folder, output folder
  mkdir -p "$3"
  "$1-g++-posix" "${flags[@]}" bench/minimal_window.cpp "${floor_options[@]}" -o "$3/minimal_window.exe"
  "$1-g++-posix" "${flags[@]}" bench/fair_floor_window.cpp "$2/libkanaroute_core.a" "${floor_options[@]}" \
    -o "$3/fair_floor_window.exe"
  # The same with the start-up probes, for the breakdown beside Kanaroute's.
  "$1-g++-posix" "${flags[@]}" -DKANAROUTE_STARTUP_PROBES bench/fair_floor_window.cpp \
    common/win32/startup_probe.cpp "$2/libkanaroute_core.a" "${floor_options[@]}" -o "$3/FairFloorProbed.exe"
  # The main window of the system's standard controls, with Kanaroute's manifest (for information).
  "$1-windres" -I"$root" bench/standard_controls_window.rc -O coff -o "$3/standard_controls_window.res.o"
  "$1-g++-posix" "${flags[@]}" -DKANAROUTE_FLOOR_STANDARD_CONTROLS bench/fair_floor_window.cpp \
    "$3/standard_controls_window.res.o" "$2/libkanaroute_core.a" "${floor_options[@]}" -lcomctl32 \
    -o "$3/standard_controls_window.exe"
}
build_floors x86_64-w64-mingw32 build/win64 "$out"
if [ "$KANAROUTE_WINE_BITS" = 32 ]; then
  build_floors i686-w64-mingw32 build/win32 "$out/x86"
fi
cxx=x86_64-w64-mingw32-g++-posix
$cxx "${flags[@]}" bench/bench_main.cpp bench/gui_process.cpp bench/startup_bench.cpp \
  bench/operations_bench.cpp bench/refresh_bench.cpp bench/click_bench.cpp \
  lexicon/win32/win32_file_steps.cpp common/win32/system_error.cpp common/win32/file_lookup.cpp \
  common/win32/desktop_shell.cpp common/win32/startup_probe.cpp \
  app/win32/input_method_registry.cpp app/win32/backup_time_reader.cpp \
  build/win64/libkanaroute_core.a -static -static-libgcc -static-libstdc++ \
  -lole32 -loleaut32 -luuid -lpsapi -ladvapi32 -luser32 -lshell32 -o "$out/bench_driver.exe"

# A prefix of its own, with the stand-in input method and two time-stamp
# files, so that start-up and refresh read everything the load handler can.
prefix=$(bash scripts/wine-prefix.sh "$root/build/bench-prefix" build/win64/bin)
# The Wine server that made the prefix has no display: it must be gone before
# the programs start inside Xvfb, or their windows cannot be created.
WINEPREFIX=$prefix "$WINESERVER" -w
vdir="$prefix/drive_c/Program Files/SogouInput/6.2.0.0000"
printf '2026/12/8 4:00:00\r\n' >"$vdir/time000.ini"
printf '2026/12/8 4:00:00\r\n' >"$vdir/time001.ini"
# Copies, so that a rebuild by someone else cannot change the files mid-run.
bench_dir="$prefix/drive_c/kanaroute-bench"
rm -rf "$bench_dir"
mkdir -p "$bench_dir"
cp build/win64/bin/Kanaroute.exe build/win64/bin/date.dat "$out/minimal_window.exe" \
  "$out/fair_floor_window.exe" "$out/FairFloorProbed.exe" "$out/standard_controls_window.exe" "$bench_dir/"
cp build/win64-probes/bin/Kanaroute.exe "$bench_dir/KanarouteProbed.exe"
# Where 32-bit programs run, the 32-bit product is measured as well, beside its own floors.
if [ "$KANAROUTE_WINE_BITS" = 32 ]; then
  mkdir -p "$bench_dir/x86"
  cp build/win32/bin/Kanaroute.exe build/win64/bin/date.dat "$out/x86/minimal_window.exe" \
    "$out/x86/fair_floor_window.exe" "$out/x86/FairFloorProbed.exe" "$out/x86/standard_controls_window.exe" \
    "$bench_dir/x86/"
  cp build/win32-probes/bin/Kanaroute.exe "$bench_dir/x86/KanarouteProbed.exe"
fi
# An earlier build, timed and broken down in the same runs (it carries the probes itself).
add_before() { # exe, folder, floors folder
  mkdir -p "$bench_dir/$2"
  cp "$1" "$bench_dir/$2/Kanaroute.exe"
  cp "$1" "$bench_dir/$2/KanarouteProbed.exe"
  cp build/win64/bin/date.dat "$3/minimal_window.exe" "$3/fair_floor_window.exe" \
    "$3/standard_controls_window.exe" "$bench_dir/$2/"
}
[ -z "${KANAROUTE_BENCH_BEFORE64:-}" ] || add_before "$KANAROUTE_BENCH_BEFORE64" before64 "$out"
[ -z "${KANAROUTE_BENCH_BEFORE32:-}" ] || [ "$KANAROUTE_WINE_BITS" != 32 ] ||
  add_before "$KANAROUTE_BENCH_BEFORE32" before32 "$out/x86"

{
  echo "# Kanaroute benchmark"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores; $(. /etc/os-release; echo "$PRETTY_NAME");" \
       "$("$KANAROUTE_WINE" --version) ($KANAROUTE_WINE_BITS-bit) under Xvfb; $runs runs per measurement"
  echo
  echo "## Start-up, memory, operations, refresh (64-bit build under Wine; start-up and memory also of the 32-bit product where 32-bit programs run)"
  echo
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    export WINEPREFIX=$1
    "$WINESERVER" -p5
    "$KANAROUTE_WINE" cmd /c exit 0 >/dev/null 2>&1
    "$KANAROUTE_WINE" "$2" "C:\\kanaroute-bench" "$3" "${@:4}" | tr -d "\r"
    status=${PIPESTATUS[0]}
    "$WINESERVER" -w
    exit $status' _ "$prefix" "$out/bench_driver.exe" "$runs" "${parts[@]}"
  rm -rf "$bench_dir"/ops-*  # about 400 MB of phrase files
  echo
  echo "## 2 Size"
  echo
  echo "The product is the 32-bit file; the 64-bit one is what runs above."
  echo
  python3 bench/pe_size.py build/win32/bin/Kanaroute.exe build/win64/bin/Kanaroute.exe \
    "$out/minimal_window.exe"
  echo "Sections as objdump lists them (32-bit product):"
  echo
  echo '```'
  LC_ALL=C i686-w64-mingw32-objdump -h build/win32/bin/Kanaroute.exe | sed -n '/^Sections/,$p'
  echo '```'
  echo
  echo "Picture and icon files that the resources are built from:"
  echo
  echo '```'
  (cd assets && ls -l --time-style=+ ./*.ico ./*.bmp ./*.jpg | awk '{print $5, $NF}')
  echo '```'
} | tee "$out/results.md"
