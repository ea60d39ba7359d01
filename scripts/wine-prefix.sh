#!/usr/bin/env bash
# Creates a Wine prefix for running and testing Kanaroute, with the stand-in
# input method registered:
#   scripts/wine-prefix.sh PREFIX_DIR [BIN_DIR]
# PREFIX_DIR is created when missing (about 15 s). BIN_DIR is the build's bin
# folder (with standin/config.exe); when given, the stand-in version directory
# gets config.exe and a user's own phrases.ini.
set -euo pipefail

prefix=$(realpath -m "$1")
bin=${2:-}
here=$(cd "$(dirname "$0")/.." && pwd)

source "$here/scripts/wine-env.sh"
export WINEPREFIX="$prefix"
wine() { "$KANAROUTE_WINE" "$@"; }

if [ ! -f "$prefix/.kanaroute-ready" ]; then
  mkdir -p "$prefix"
  wine wineboot.exe -i >/dev/null 2>&1 || true
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  touch "$prefix/.kanaroute-ready"
fi

reg="$prefix/kanaroute-settings.reg"
python3 - "$reg" <<'PY'
import sys
text = r'''Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"宋体"="WenQuanYi Zen Hei Mono"
"幼圆"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Zen Hei Mono"
"YouYuan"="WenQuanYi Micro Hei"
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"
"新宋体"="WenQuanYi Zen Hei Mono"
"NSimSun"="WenQuanYi Zen Hei Mono"
"微软雅黑"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"Microsoft YaHei UI"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
'''
open(sys.argv[1], 'w', encoding='utf-16').write(text.replace('\n', '\r\n'))
PY
# Font substitutes and the virtual desktop; imported on every run, so that a
# prefix made by an older version of this script gets the current settings.
wine regedit.exe /S "$(wine winepath.exe -w "$reg" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1
"$WINESERVER" -w

# The stand-in input method: registry values in the view a 32-bit program reads.
install_dir='C:\Program Files\SogouInput'
version='6.2.0.0000'
# Both registry views are written, so that the 32-bit and the 64-bit build find them.
for view in 32 64; do
  wine reg.exe add 'HKLM\SOFTWARE\SogouInput' /ve /d "$install_dir" /f /reg:$view >/dev/null 2>&1
  wine reg.exe add 'HKLM\SOFTWARE\SogouInput' /v Version /d "$version" /f /reg:$view >/dev/null 2>&1
done
vdir="$prefix/drive_c/Program Files/SogouInput/$version"
mkdir -p "$vdir"
if [ -n "$bin" ]; then
  cp "$bin/standin/config.exe" "$vdir/config.exe"
  [ -e "$vdir/phrases.ini" ] || cp "$here/standin/phrases.ini" "$vdir/phrases.ini"
fi
# Let this prefix's Wine server end: a program started afterwards (perhaps on
# another display) must not join a server that was started without one.
"$WINESERVER" -w
echo "$prefix"
