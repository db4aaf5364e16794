#!/usr/bin/env bash
# Draws the application icon: an RTTY tone (mark and space, one wave changing pitch) on a rounded
# square, rendered at each size the Windows shell asks for, into one .ico.
#   make-icon.sh OUT.ico
# The output is committed beside the resource file; run this again after changing the drawing.
set -euo pipefail
out=${1:?output .ico}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

draw() {  # draw SIZE: one PNG of the icon at SIZE x SIZE pixels
  local size=$1
  awk -v s="$size" 'BEGIN {
    r = s / 16                                   # one sixteenth of the side
    line = (s <= 24) ? 1.6 : s / 16              # the wave stays visible at 16 px
    printf "fill #1d4f7c stroke none roundrectangle %.2f,%.2f %.2f,%.2f %.2f,%.2f\n", 0.5, 0.5, s - 1.5, s - 1.5, 3 * r, 3 * r
    printf "fill none stroke #ffffff stroke-width %.2f stroke-linecap round stroke-linejoin round polyline", line
    n = 64
    for (i = 0; i <= n; i++) {
      x = 2.5 * r + (s - 5 * r) * i / n
      f = (i < n / 2) ? 1.5 : 2.5                 # mark, then space: a higher tone
      y = s * 0.46 - 3.2 * r * sin(2 * 3.14159265 * f * i / n)
      printf " %.2f,%.2f", x, y
    }
    printf "\n"
    printf "fill #f2b134 stroke none rectangle %.2f,%.2f %.2f,%.2f\n", 2.5 * r, s * 0.78, s * 0.5 - r / 2, s * 0.78 + 1.6 * r
    printf "fill #9fc3e6 stroke none rectangle %.2f,%.2f %.2f,%.2f\n", s * 0.5 + r / 2, s * 0.78, s - 2.5 * r, s * 0.78 + 1.6 * r
  }' >"$work/draw-$size.mvg"
  convert -size "${size}x${size}" xc:none -draw "$(cat "$work/draw-$size.mvg")" \
    -colors 64 -define png:color-type=3 -define png:compression-level=9 \
    -define png:exclude-chunks=date,time +set date:create +set date:modify "$work/icon-$size.png"
}

sizes=(16 20 24 32 40 48 256)
for size in "${sizes[@]}"; do draw "$size"; done
# One .ico of PNG-compressed entries (Windows reads them from Vista on), which keeps the exe small.
python3 - "$out" "$work" "${sizes[@]}" <<'PACK'
import struct, sys
out, work, sizes = sys.argv[1], sys.argv[2], [int(s) for s in sys.argv[3:]]
images = [open(f"{work}/icon-{s}.png", "rb").read() for s in sizes]
header = struct.pack("<HHH", 0, 1, len(images))
offset = len(header) + 16 * len(images)
entries = b""
for size, png in zip(sizes, images):
    entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(png), offset)
    offset += len(png)
with open(out, "wb") as f:
    f.write(header + entries + b"".join(images))
PACK
echo "$out: $(identify "$out" | awk '{print $3}' | paste -sd' ')"
