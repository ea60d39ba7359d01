#!/usr/bin/env bash
# Remakes the program's pictures in this folder:
#   kanaroute.ico      program icon, 64/48/32/16 px, 24-bit colour with a transparency mask
#   pointer.ico        main pointer (pencil-tip cone, tip at the top-left), 64 and 32 px, 24-bit
#   sogou-logo.bmp     vendor logo, 150x45, 8-bit palette, run-length encoded (GDI draws it as stored)
#   arrow-pointer.ico  white arrow with black outline, 32 px, 16 colours (4 bits per pixel)
#   hand-pointer.ico   gloved hand pointing up and to the left, 32 px, 24-bit
#   face-pointer.ico   smiling yellow face with a blue cap, 32 px, 24-bit
#
# Pictures are drawn with ImageMagick 6 at four times their size, scaled down and given a hard
# (1-bit) transparency mask; the .ico files are written by the small ICO writer below so that every
# entry is an uncompressed BMP entry of exactly the intended bit depth, which every resource
# compiler accepts. Usage: bash assets/make-assets.sh  (needs convert-im6.q16, python3, the
# WenQuanYi and DejaVu fonts; scripts/install-deps.sh installs them).
set -euo pipefail

IM=${IM:-convert-im6.q16}
PYTHON=${PYTHON:-python3}
FONT_LATIN=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
FONT_CJK=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc

# A single thread keeps the output the same from run to run.
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

out_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
command -v "$IM" >/dev/null || { echo "missing $IM (run scripts/install-deps.sh)" >&2; exit 1; }
command -v "$PYTHON" >/dev/null || { echo "missing $PYTHON" >&2; exit 1; }
for font in "$FONT_LATIN" "$FONT_CJK"; do
  [ -f "$font" ] || { echo "missing font $font (run scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shrink BIG.png SIZE OUT.rgba: scales a 4x drawing down and turns its soft edges into a hard mask.
shrink() {
  "$IM" "$1" -filter Triangle -resize "$2x$2" -channel A -threshold 50% +channel -depth 8 "rgba:$3"
}

# ---------------------------------------------------------------------------------------------
# Program icon: a large red S, a blue あ with a white rim over its lower right part.
"$IM" -size 256x256 xc:none \
  \( -size 400x400 xc:none -font "$FONT_LATIN" -pointsize 300 -gravity NorthWest \
     -fill '#E41B1B' -stroke '#A80000' -strokewidth 6 -annotate +20+20 S \
     -trim +repage -resize '196x250!' \) -geometry +3+3 -composite \
  \( -size 256x256 xc:none -font "$FONT_CJK" -pointsize 134 -gravity NorthWest \
     -fill white -stroke white -strokewidth 24 -annotate +120+94 'あ' \
     -fill '#1448E0' -stroke '#1040D0' -strokewidth 5 -annotate +120+94 'あ' \) -composite \
  "$work/icon.png"
# The small sizes get a heavier あ so that it still reads as a character.
"$IM" -size 256x256 xc:none \
  \( -size 400x400 xc:none -font "$FONT_LATIN" -pointsize 300 -gravity NorthWest \
     -fill '#E41B1B' -stroke '#A80000' -strokewidth 8 -annotate +20+20 S \
     -trim +repage -resize '196x250!' \) -geometry +3+3 -composite \
  \( -size 256x256 xc:none -font "$FONT_CJK" -pointsize 134 -gravity NorthWest \
     -fill white -stroke white -strokewidth 30 -annotate +120+94 'あ' \
     -fill '#1448E0' -stroke '#1448E0' -strokewidth 12 -annotate +120+94 'あ' \) -composite \
  "$work/icon-small.png"
shrink "$work/icon.png" 64 "$work/icon64.rgba"
shrink "$work/icon.png" 48 "$work/icon48.rgba"
shrink "$work/icon-small.png" 32 "$work/icon32.rgba"
shrink "$work/icon-small.png" 16 "$work/icon16.rgba"

# ---------------------------------------------------------------------------------------------
# Main pointer: a sharpened pencil tip seen from the side, tip at the top-left corner. The cone is
# cut into wedges from the tip to the curved base, shaded light in the middle like a round body;
# the front part is the orange lead, the rest the yellow wood.
cone_mvg=$("$PYTHON" - <<'PY'
import math

tip = (3.0, 3.0)
centre, half_width, base_depth = (192.0, 192.0), 56.0, 18.0
across = (math.sqrt(0.5), -math.sqrt(0.5))
along = (math.sqrt(0.5), math.sqrt(0.5))
wood = ["#E8A000", "#F8C020", "#FFD840", "#FFEA80", "#FFF4B0", "#FFE060", "#F0C030"]
lead = ["#C84000", "#E05800", "#F07000", "#FF8C20", "#FFA040", "#F88018", "#E86400"]
lead_length = 0.38


def base_point(s):
    depth = base_depth * math.sqrt(max(0.0, 1.0 - s * s))
    return (centre[0] + half_width * s * across[0] + depth * along[0],
            centre[1] + half_width * s * across[1] + depth * along[1])


def towards(p, q, t):
    return (p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t)


def polygon(points):
    return "polygon " + " ".join("%.1f,%.1f" % p for p in points)


lines = []
count = len(wood)
for k in range(count):
    s0, s1 = -1 + 2 * k / count, -1 + 2 * (k + 1) / count
    arc = [base_point(s0 + (s1 - s0) * j / 4) for j in range(5)]
    lines.append("fill '%s' %s" % (wood[k], polygon([tip] + arc)))
    edge = [towards(tip, arc[0], lead_length), towards(tip, arc[2], lead_length + 0.05),
            towards(tip, arc[-1], lead_length)]
    lines.append("fill '%s' %s" % (lead[k], polygon([tip] + edge)))
outline = [tip] + [base_point(-1 + 2 * j / 28) for j in range(29)]
lines.append("fill none stroke '#7A3000' stroke-width 7 stroke-linejoin round " + polygon(outline))
print("\n".join(lines))
PY
)
"$IM" -size 256x256 xc:none -draw "$cone_mvg" "$work/pointer.png"
shrink "$work/pointer.png" 64 "$work/pointer64.rgba"
shrink "$work/pointer.png" 32 "$work/pointer32.rgba"

# ---------------------------------------------------------------------------------------------
# Arrow pointer: the classic arrow, pixel for pixel (B black, W white, . transparent).
cat >"$work/arrow.xpm" <<'XPM'
/* XPM */
static char *arrow[] = {
"32 32 3 1",
". c None",
"B c #000000",
"W c #FFFFFF",
"B...............................",
"BB..............................",
"BWB.............................",
"BWWB............................",
"BWWWB...........................",
"BWWWWB..........................",
"BWWWWWB.........................",
"BWWWWWWB........................",
"BWWWWWWWB.......................",
"BWWWWWWWWB......................",
"BWWWWWWWWWB.....................",
"BWWWWWWBBBBB....................",
"BWWWBWWB........................",
"BWWBBWWB........................",
"BWB..BWWB.......................",
"BB...BWWB.......................",
"B.....BWWB......................",
"......BWWB......................",
".......BB.......................",
"................................",
"................................",
"................................",
"................................",
"................................",
"................................",
"................................",
"................................",
"................................",
"................................",
"................................",
"................................",
"................................"};
XPM
"$IM" "$work/arrow.xpm" -depth 8 "rgba:$work/arrow32.rgba"

# ---------------------------------------------------------------------------------------------
# Hand pointer: a white cartoon glove with a blue sleeve, drawn upright and turned so that the
# index finger points up and to the left; the fingertip ends near the top-left corner.
"$IM" -size 128x128 xc:none -stroke black -strokewidth 4 -fill white \
  -draw "roundrectangle 34,50 98,100 16,16" \
  -draw "roundrectangle 58,44 80,72 10,10" \
  -draw "roundrectangle 76,48 96,76 10,10" \
  -draw "roundrectangle 86,60 104,86 9,9" \
  -draw "roundrectangle 36,2 60,74 12,12" \
  -draw "roundrectangle 14,60 46,80 10,10" \
  -stroke '#606060' -strokewidth 3 \
  -draw "line 50,60 50,76" -draw "line 62,76 62,90" -draw "line 74,76 74,90" \
  -stroke black -strokewidth 4 -fill white -draw "polygon 38,94 96,94 104,110 30,110" \
  -fill '#2050C8' -draw "polygon 30,108 104,108 108,127 26,127" \
  -background none -rotate -28 -trim +repage -gravity NorthWest -extent 128x128 \
  "$work/hand.png"
shrink "$work/hand.png" 32 "$work/hand32.rgba"

# ---------------------------------------------------------------------------------------------
# Face pointer: a smiling yellow face with a small blue cap whose peak points left.
"$IM" -size 128x128 xc:none -stroke black -strokewidth 5 \
  -fill '#FFD800' -draw "circle 64,74 64,124" \
  -stroke none -fill black \
  -draw "ellipse 47,70 6,9 0,360" -draw "ellipse 81,70 6,9 0,360" \
  -fill none -stroke black -strokewidth 6 -draw "path 'M 38,88 Q 64,116 90,88'" \
  -stroke black -strokewidth 4 \
  -fill '#1840C0' -draw "roundrectangle 10,40 62,52 6,6" \
  -fill '#2458E0' -draw "path 'M 30,48 A 34,30 0 0,1 98,48 Z'" \
  -fill '#2458E0' -draw "circle 64,16 64,22" \
  "$work/face.png"
shrink "$work/face.png" 32 "$work/face32.rgba"

# ---------------------------------------------------------------------------------------------
# Vendor logo: "Sogou" in coloured letters followed by 搜狗 in red, on white.
letters=(S o g o u)
colours=('#1E5CD6' '#E8371F' '#F5A300' '#1E5CD6' '#2DA343')
letter_args=()
for i in "${!letters[@]}"; do
  letter_args+=(\( -fill "${colours[$i]}" "label:${letters[$i]}" \))
done
"$IM" -background white -font "$FONT_LATIN" -pointsize 26 "${letter_args[@]}" +append +repage \
  "$work/sogou-word.png"
"$IM" -background white -font "$FONT_CJK" -pointsize 22 -fill '#E41B1B' \
  -stroke '#E41B1B' -strokewidth 0.6 label:'搜狗' +repage \
  "$work/sogou-zh.png"
"$IM" -size 150x45 xc:white \
  "$work/sogou-word.png" -gravity West -geometry +3-1 -composite \
  "$work/sogou-zh.png" -gravity East -geometry +3+0 -composite \
  +repage -strip -type Palette -compress None "BMP3:$work/sogou-logo-plain.bmp"
# Run-length encoded (RLE8), which GDI draws as stored, with the cheapest mix of
# runs and literal stretches per row and a colour table of the colours used only.
"$PYTHON" - "$work/sogou-logo-plain.bmp" "$out_dir/sogou-logo.bmp" <<'PY'
import struct, sys
source, target = sys.argv[1], sys.argv[2]
data = open(source, "rb").read()
off_bits = struct.unpack_from("<I", data, 10)[0]
header_size, width, height, _, bits, compression, _ = struct.unpack_from("<IiiHHII", data, 14)
assert bits == 8 and compression == 0 and height > 0, "expected an uncompressed bottom-up 8-bit bitmap"
colours = struct.unpack_from("<I", data, 14 + 32)[0] or 256
table = data[14 + header_size:14 + header_size + 4 * colours]
stride = (width + 3) & ~3
rows = [data[off_bits + y * stride:off_bits + y * stride + width] for y in range(height)]
order = []  # the colours the pixels use, in the order of first use
for row in rows:
    for index in row:
        if index not in order:
            order.append(index)
remap = {old: new for new, old in enumerate(order)}
palette = b"".join(table[4 * old:4 * old + 4] for old in order)


def encode(row):
    # best[i]: the cheapest encoding of row[:i] as (bytes, start of its last piece, kind).
    best = [(0, 0, "")] + [None] * len(row)
    for i in range(1, len(row) + 1):
        j = i - 1
        while j >= 0 and i - j <= 255 and row[j] == row[i - 1]:  # a run: count, colour
            if best[i] is None or best[j][0] + 2 < best[i][0]:
                best[i] = (best[j][0] + 2, j, "run")
            j -= 1
        for j in range(max(0, i - 255), i - 2):  # a literal stretch: 0, n, n colours, padded
            length = i - j
            cost = best[j][0] + 2 + length + (length & 1)
            if cost < best[i][0]:
                best[i] = (cost, j, "literal")
    pieces = []
    i = len(row)
    while i > 0:
        _, j, kind = best[i]
        chunk = bytes(row[j:i])
        if kind == "run":
            pieces.append(bytes([len(chunk), chunk[0]]))
        else:
            pieces.append(bytes([0, len(chunk)]) + chunk + (b"\0" if len(chunk) & 1 else b""))
        i = j
    return b"".join(reversed(pieces))


pixels = b"".join(encode([remap[index] for index in row]) + (b"\0\1" if y == height - 1 else b"\0\0")
                  for y, row in enumerate(rows))
info = bytearray(data[14:14 + header_size])
struct.pack_into("<I", info, 16, 1)  # BI_RLE8
struct.pack_into("<I", info, 20, len(pixels))
struct.pack_into("<II", info, 32, len(order), len(order))
body = bytes(info) + palette + pixels
open(target, "wb").write(b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + len(info) + len(palette)) + body)
PY

# ---------------------------------------------------------------------------------------------
# ICO writer: each entry is an uncompressed BMP (height doubled for the AND mask). Pixels with
# alpha 0 are transparent (AND bit set, colour black); all others are opaque.
"$PYTHON" - "$work" "$out_dir" <<'PY'
import os
import struct
import sys

work, out_dir = sys.argv[1], sys.argv[2]


def read_rgba(name, size):
    with open(os.path.join(work, name), "rb") as f:
        data = f.read()
    if len(data) != size * size * 4:
        sys.exit("%s: expected %d bytes, got %d" % (name, size * size * 4, len(data)))
    return [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]


def and_mask(pixels, size):
    row_bytes = (size + 31) // 32 * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(row_bytes)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return bytes(mask)


def entry_24(pixels, size):
    row_bytes = (size * 3 + 3) // 4 * 4
    colour = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixels[y * size + x]
            row += bytes((b, g, r)) if a else b"\0\0\0"
        colour += row + bytes(row_bytes - len(row))
    return 24, 0, b"", bytes(colour)


def entry_4(pixels, size):
    palette = sorted({p[:3] for p in pixels if p[3]})
    if len(palette) > 15:
        sys.exit("too many colours for a 16-colour icon: %d" % len(palette))
    palette = [(0, 0, 0)] + palette  # index 0 is used under the transparent pixels
    palette += [(0, 0, 0)] * (16 - len(palette))
    index = {c: i for i, c in enumerate(palette) if i}
    row_bytes = (size * 4 + 31) // 32 * 4
    colour = bytearray()
    for y in reversed(range(size)):
        row = bytearray(row_bytes)
        for x in range(size):
            r, g, b, a = pixels[y * size + x]
            i = index[(r, g, b)] if a else 0
            row[x // 2] |= i << (4 if x % 2 == 0 else 0)
        colour += row
    quads = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return 4, 16, quads, bytes(colour)


def write_ico(name, entries):
    images = []
    for rgba_name, size, bits in entries:
        pixels = read_rgba(rgba_name, size)
        bit_count, colours, palette, colour = (entry_4 if bits == 4 else entry_24)(pixels, size)
        mask = and_mask(pixels, size)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0,
                             len(colour) + len(mask), 0, 0, colours, 0)
        images.append((size, bit_count, colours, header + palette + colour + mask))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    body = b""
    for size, bit_count, colours, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours % 256, 0, 1,
                                 bit_count, len(image), offset)
        offset += len(image)
        body += image
    with open(os.path.join(out_dir, name), "wb") as f:
        f.write(directory + body)


write_ico("kanaroute.ico", [("icon64.rgba", 64, 24), ("icon48.rgba", 48, 24),
                            ("icon32.rgba", 32, 24), ("icon16.rgba", 16, 24)])
write_ico("pointer.ico", [("pointer64.rgba", 64, 24), ("pointer32.rgba", 32, 24)])
write_ico("arrow-pointer.ico", [("arrow32.rgba", 32, 4)])
write_ico("hand-pointer.ico", [("hand32.rgba", 32, 24)])
write_ico("face-pointer.ico", [("face32.rgba", 32, 24)])
PY

echo "Pictures written to $out_dir"
