#!/usr/bin/env bash
# Remakes the README's pictures in docs/screenshots/ from the real program:
#   main-window.png, main-window-144dpi.png, help-window.png, help-window-enlarged.png, advertisement-window.png,
#   install-1-main.png, install-2-confirm.png, install-3-help-and-settings.png, install.gif
# Builds the program, makes a fresh Wine prefix (build/screenshots-prefix) with the stand-in input
# method, and runs docs/tools/screenshot_tour.cpp (built here with the end-to-end test driver) under
# Wine inside Xvfb; it opens the windows, clicks as a user would and saves the screen.
# Usage: bash scripts/screenshots.sh   (needs what scripts/install-deps.sh installs)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
IM=${IM:-convert-im6.q16}
out="$here/docs/screenshots"
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

command -v "$IM" >/dev/null || { echo "missing $IM (run scripts/install-deps.sh)" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "missing xvfb-run (run scripts/install-deps.sh)" >&2; exit 1; }

source "$here/scripts/wine-env.sh"
preset=$(kanaroute_build_preset)
build="$here/build/$preset"
cd "$here"
[ -f "$build/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" >/dev/null

work="$build/screenshots"
rm -rf "$work"
mkdir -p "$work/bmp"
if [ "$KANAROUTE_WINE_BITS" = 32 ]; then cxx=i686-w64-mingw32-g++-posix; else cxx=x86_64-w64-mingw32-g++-posix; fi
"$cxx" -std=c++20 -O2 -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 -I"$here" -static \
  -o "$work/screenshot_tour.exe" "$here/docs/tools/screenshot_tour.cpp" "$here/tests/e2e/driver.cpp" \
  -luser32 -lgdi32 -ladvapi32 -lshell32 -lole32

# The tour ends with an install, so every run starts from a new prefix.
export WINEPREFIX="$here/build/screenshots-prefix"
rm -rf "$WINEPREFIX"
bash "$here/scripts/wine-prefix.sh" "$WINEPREFIX" "$build/bin" >/dev/null
# The wineserver of that setup has no display; the tour needs one started inside Xvfb.
"$WINESERVER" -w

cat >"$work/tour.sh" <<'EOF'
"$WINESERVER" -p5
"$KANAROUTE_WINE" cmd /c exit 0
status=0
"$KANAROUTE_WINE" "$WORK/screenshot_tour.exe" >"$WORK/tour.txt" || status=$?
"$WINESERVER" -k
exit $status
EOF
KANAROUTE_BUILD="$build" KANAROUTE_TEST_OUTPUT="$work/bmp" WORK="$work" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/tour.sh" || {
  echo "the screenshot tour failed" >&2
  exit 1
}
tr -d '\r' <"$work/tour.txt" >"$work/tour.lines"

mkdir -p "$out"
png() { "$IM" "$1" -strip "$2"; }
for name in main-window main-window-144dpi help-window help-window-enlarged advertisement-window; do
  png "$work/bmp/$name.bmp" "$out/$name.png"
done
# The pictures of several windows: the screen around them, with a small margin.
u_left=1024 u_top=768 u_right=0 u_bottom=0
while read -r kind name left top right bottom; do
  [ "$kind" = crop ] || continue
  left=$((left > 12 ? left - 12 : 0)) top=$((top > 12 ? top - 12 : 0))
  right=$((right + 12 < 1024 ? right + 12 : 1024)) bottom=$((bottom + 12 < 768 ? bottom + 12 : 768))
  "$IM" "$work/bmp/$name.bmp" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip "$out/$name.png"
  u_left=$((left < u_left ? left : u_left)) u_top=$((top < u_top ? top : u_top))
  u_right=$((right > u_right ? right : u_right)) u_bottom=$((bottom > u_bottom ? bottom : u_bottom))
done <"$work/tour.lines"

# The install as an animation: the three steps in one frame, two seconds each.
frame="$((u_right - u_left))x$((u_bottom - u_top))+$u_left+$u_top"
"$IM" -delay 200 "$work/bmp/install-1-main.bmp" "$work/bmp/install-2-confirm.bmp" \
  "$work/bmp/install-3-help-and-settings.bmp" -crop "$frame" +repage -loop 0 "$out/install.gif"

sed -n 's/^price //p' "$work/tour.lines" | sed 's/^/advertisement price text: /'
ls -l "$out"
