#!/usr/bin/env bash
# Builds Kanaroute and runs it under Wine against the stand-in input method,
# with the folder that holds Kanaroute.exe and date.dat as current directory.
# Without a display it runs under Xvfb and saves a screenshot of the main window.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
source scripts/wine-env.sh
preset=$(kanaroute_build_preset)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
bin="$root/build/$preset/bin"
export WINEPREFIX="$root/build/demo-prefix"
bash scripts/wine-prefix.sh "$WINEPREFIX" "$bin" >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  cd "$bin" && exec "$KANAROUTE_WINE" Kanaroute.exe
fi

shot="$root/build/screenshots/main-window.png"
mkdir -p "$(dirname "$shot")"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1"
  "$KANAROUTE_WINE" Kanaroute.exe &
  sleep 8
  import -window root "$2.full.png"
  "$WINESERVER" -k 2>/dev/null || true' _ "$bin" "$shot"
# The main window sits on Wine'\''s plain desktop: cut the desktop away.
convert-im6.q16 "$shot.full.png" -fuzz 1% -trim +repage "$shot"
rm -f "$shot.full.png"
echo "Screenshot of the main window: $shot"
