#!/usr/bin/env bash
# Remakes help-illustration.jpg, the help window's picture of how to make an
# installed phrase list take effect: a screenshot of the input method's
# settings window with its custom-phrase dialog open, marked with red
# ellipses, magenta arrows and the labels 第一步 to 第四步:
#   第一步  the 高级 page in the left-hand list
#   第二步  the 自定义短语设置 button
#   第三步  the dialog's 保存 button
#   第四步  the settings window's 应用 button
#
# The screenshot is taken from the stand-in settings program (standin/) under
# Wine inside Xvfb. tools/locate_controls.cpp, cross-compiled here, moves the
# two windows to where every marked control can be seen and prints the
# controls' screen rectangles, from which the marks are placed.
#
# Usage: bash assets/make-illustration.sh
#   ILLUSTRATION_PREFIX  Wine prefix to use (default build/shots-prefix; made when missing)
# Needs what scripts/install-deps.sh installs (MinGW-w64, Wine, Xvfb, ImageMagick 6, python3, WenQuanYi).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
IM=${IM:-convert-im6.q16}
FONT_CJK=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
out="$here/assets/help-illustration.jpg"

# A single thread keeps the output the same from run to run.
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

command -v "$IM" >/dev/null || { echo "missing $IM (run scripts/install-deps.sh)" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "missing xvfb-run (run scripts/install-deps.sh)" >&2; exit 1; }
[ -f "$FONT_CJK" ] || { echo "missing font $FONT_CJK (run scripts/install-deps.sh)" >&2; exit 1; }

source "$here/scripts/wine-env.sh"
preset=$(kanaroute_build_preset)
build="$here/build/$preset"
cd "$here"
[ -f "$build/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target standin_config >/dev/null

work="$build/illustration"
mkdir -p "$work"
if [ "$KANAROUTE_WINE_BITS" = 32 ]; then cxx=i686-w64-mingw32-g++-posix; else cxx=x86_64-w64-mingw32-g++-posix; fi
"$cxx" -std=c++20 -O2 -DUNICODE -D_UNICODE -static -o "$work/locate_controls.exe" \
  "$here/assets/tools/locate_controls.cpp" -luser32

export WINEPREFIX=${ILLUSTRATION_PREFIX:-$here/build/shots-prefix}
bash "$here/scripts/wine-prefix.sh" "$WINEPREFIX" "$build/bin" >/dev/null
version_dir="$WINEPREFIX/drive_c/Program Files/SogouInput/6.2.0.0000"

# Where the two windows go on the 1024 x 768 screen (top-left corners) and the
# part of the screen that the picture shows. The dialog sits left of the
# settings window and below its 高级 item, so it covers no marked control; the
# free corner above it takes the first label. The help window's enlarged view
# shows the picture at its natural size in an inner area of about 646 x 416
# pixels, so every mark stays clear of the picture's right and bottom edges.
settings_at="406 40"
dialog_at="40 205"
region="942x635+40+40"

cat >"$work/shoot.sh" <<'EOF'
set -euo pipefail
cd "$VERSION_DIR"
"$KANAROUTE_WINE" ./config.exe /phrases &
"$KANAROUTE_WINE" "$WORK/locate_controls.exe" $SETTINGS_AT $DIALOG_AT >"$WORK/rects.txt"
sleep 1
import -window root "$WORK/screen.png"
"$WINESERVER" -k
wait || true
EOF
"$WINESERVER" -k 2>/dev/null || true
VERSION_DIR="$version_dir" WORK="$work" SETTINGS_AT="$settings_at" DIALOG_AT="$dialog_at" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/shoot.sh"
cat "$work/rects.txt"

# The marks, computed from the rectangles in the coordinates of the finished picture.
draw=$(python3 - "$work/rects.txt" "$region" <<'PY'
import math, re, sys

rects = {}
for line in open(sys.argv[1]):
    name, *numbers = line.split()
    rects[name] = [int(n) for n in numbers]
width, height, left, top = map(int, re.match(r"(\d+)x(\d+)\+(\d+)\+(\d+)", sys.argv[2]).groups())
scale = 650 / width


def box(name):
    l, t, r, b = rects[name]
    return ((l - left) * scale, (t - top) * scale, (r - left) * scale, (b - top) * scale)


def ellipse(name, pad=7):
    l, t, r, b = box(name)
    cx, cy = (l + r) / 2, (t + b) / 2
    rx, ry = (r - l) / 2 + pad + 4, (b - t) / 2 + pad
    return (cx, cy, rx, ry)


def edge_point(e, towards):
    # The point of the ellipse's outline on the way to `towards`.
    cx, cy, rx, ry = e
    dx, dy = towards[0] - cx, towards[1] - cy
    k = 1 / math.sqrt((dx / rx) ** 2 + (dy / ry) ** 2)
    return (cx + dx * k, cy + dy * k)


out = []
steps = [("advanced", "第一步"), ("phrases", "第二步"), ("save", "第三步"), ("apply", "第四步")]
label_w, label_h = 84, 32
for name, text in steps:
    cx, cy, rx, ry = ellipse(name)
    out.append("stroke '#E00000' stroke-width 3 fill none ellipse %.1f,%.1f %.1f,%.1f 0,360" % (cx, cy, rx, ry))

# Each label's top-left corner: in free space or over empty parts of the windows, near its control.
placed = {}
e = ellipse("advanced")
placed["advanced"] = (e[0] - e[2] - 150, e[1] - 95)
e = ellipse("phrases")
placed["phrases"] = (e[0] - 40, e[1] + e[3] + 52)
e = ellipse("save")
placed["save"] = (e[0] - 20, e[1] - e[3] - 95)
e = ellipse("apply")
placed["apply"] = (e[0] - label_w - 30, e[1] + e[3] + 22)

for name, text in steps:
    lx, ly = placed[name]
    centre = (lx + label_w / 2, ly + label_h / 2)
    e = ellipse(name)
    tip = edge_point(e, centre)
    # The arrow starts at the edge of the label box nearest to the control.
    dx, dy = tip[0] - centre[0], tip[1] - centre[1]
    k = min(abs((label_w / 2 + 3) / dx) if dx else 1e9, abs((label_h / 2 + 3) / dy) if dy else 1e9)
    start = (centre[0] + dx * k, centre[1] + dy * k)
    length = math.hypot(tip[0] - start[0], tip[1] - start[1])
    ux, uy = (tip[0] - start[0]) / length, (tip[1] - start[1]) / length
    head, half = 14, 7
    base = (tip[0] - ux * head, tip[1] - uy * head)
    out.append("stroke '#FF00FF' stroke-width 4 fill none line %.1f,%.1f %.1f,%.1f"
               % (start[0], start[1], base[0] + ux * 2, base[1] + uy * 2))
    out.append("stroke '#FF00FF' stroke-width 1 fill '#FF00FF' polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f"
               % (tip[0], tip[1], base[0] - uy * half, base[1] + ux * half, base[0] + uy * half,
                  base[1] - ux * half))
    out.append("stroke '#FF00FF' stroke-width 2 fill '#FFFFF0' roundrectangle %.1f,%.1f %.1f,%.1f 6,6"
               % (lx, ly, lx + label_w, ly + label_h))
    out.append("stroke '#E00000' stroke-width 1 fill '#E00000' text %.1f,%.1f '%s'" % (lx + 9, ly + 24, text))
print("\n".join(out))
PY
)

"$IM" "$work/screen.png" -crop "$region" +repage -filter Catrom -resize '650x438!' \
  -font "$FONT_CJK" -pointsize 21 -draw "$draw" \
  -strip -sampling-factor 1x1 -quality 78 "$out"
identify "$out"
