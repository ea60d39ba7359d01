# Sourced by the scripts that run Wine. Picks the Wine loader that can run
# programs on this machine: some kernels run no 32-bit code at all, and then
# only 64-bit Wine (and the 64-bit build of the program) can be used.
# KANAROUTE_WINE_BITS is 32 or 64, or empty where Wine cannot run at all (it is
# not installed on PATH, or neither loader runs).
if [ -z "${KANAROUTE_WINE:-}" ]; then
  KANAROUTE_WINE=/usr/lib/wine/wine64
  KANAROUTE_WINE_BITS=
  if command -v wine >/dev/null 2>&1; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
      KANAROUTE_WINE=/usr/lib/wine/wine
      KANAROUTE_WINE_BITS=32
    elif /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
      KANAROUTE_WINE_BITS=64
    fi
  fi
fi
export KANAROUTE_WINE KANAROUTE_WINE_BITS
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINESERVER=/usr/lib/wine/wineserver
# The build folder whose Kanaroute.exe runs here: the 64-bit one only where
# Wine runs no 32-bit code (where Wine cannot run at all, the product's, whose
# end-to-end tests then fail).
kanaroute_build_preset() { if [ "$KANAROUTE_WINE_BITS" = 64 ]; then echo win64; else echo win32; fi; }
