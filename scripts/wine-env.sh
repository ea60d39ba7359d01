# Sourced by the scripts that run Wine. Picks the Wine loader that can run
# programs on this machine: some kernels run no 32-bit code at all, and then
# only 64-bit Wine (and the 64-bit build of the program) can be used.
if [ -z "${KANAROUTE_WINE:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    KANAROUTE_WINE=/usr/lib/wine/wine
    KANAROUTE_WINE_BITS=32
  else
    KANAROUTE_WINE=/usr/lib/wine/wine64
    KANAROUTE_WINE_BITS=64
  fi
fi
export KANAROUTE_WINE KANAROUTE_WINE_BITS
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINESERVER=/usr/lib/wine/wineserver
# The build folder whose Kanaroute.exe runs here.
kanaroute_build_preset() { if [ "$KANAROUTE_WINE_BITS" = 32 ]; then echo win32; else echo win64; fi; }
