#!/bin/sh
# Regenerates the PNGs (16 to 256 px) and scrivane.ico from scrivane.svg.
# Needs rsvg-convert (librsvg2-bin), ImageMagick's convert and python3.
#
# The ICO holds 16, 32, 48 and 64 px, each as 4-bit (16 colours), 24-bit and
# 32-bit bitmaps. ImageMagick 6 writes every true-colour ICO image as 32-bit, so
# the icon file itself is packed by the small Python part below; ImageMagick only
# hands it the pixels.
set -eu
cd "$(dirname "$0")"

sizes="16 32 48 64"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for s in $sizes; do
    rsvg-convert -w "$s" -h "$s" scrivane.svg -o "scrivane-$s.png"
    # Straight RGBA, and a 16-colour version in which the see-through part is black.
    convert "scrivane-$s.png" -depth 8 rgba:"$work/$s.rgba"
    convert "scrivane-$s.png" -channel A -threshold 50% +channel -background black -alpha remove \
        +dither -colors 16 -depth 8 rgb:"$work/$s.rgb16"
done

# Larger sizes for the desktop's icon theme only; the ICO stops at 64 px.
for s in 128 256; do
    rsvg-convert -w "$s" -h "$s" scrivane.svg -o "scrivane-$s.png"
done

# shellcheck disable=SC2086 # one argument per size
python3 - "$work" scrivane.ico $sizes <<'EOF'
import struct
import sys

work, out, sizes = sys.argv[1], sys.argv[2], [int(s) for s in sys.argv[3:]]


def mask_rows(alpha, size):
    # AND mask, 1 = see-through; rows padded to 32 bits, bottom row first.
    stride = (size + 31) // 32 * 4
    rows = []
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if alpha[y * size + x] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def bitmap(size, bpp, palette, pixel_rows, alpha):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, len(palette), 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + pal + pixel_rows + mask_rows(alpha, size)


def pad(row):
    return row + bytes(-len(row) % 4)


images = []
for s in sizes:
    rgba = open(f"{work}/{s}.rgba", "rb").read()
    px = [rgba[i : i + 4] for i in range(0, len(rgba), 4)]
    alpha = [p[3] for p in px]

    # 4-bit: the quantised colours; see-through pixels must point at black so
    # that the screen shows through unchanged.
    rgb = open(f"{work}/{s}.rgb16", "rb").read()
    q = [tuple(rgb[i : i + 3]) for i in range(0, len(rgb), 3)]
    q = [(0, 0, 0) if a < 128 else c for c, a in zip(q, alpha)]
    palette = sorted(set(q) | {(0, 0, 0)})
    if len(palette) > 16:
        sys.exit(f"{s} px: {len(palette)} colours after quantising, need at most 16")
    palette += [(0, 0, 0)] * (16 - len(palette))
    index = {c: i for i, c in reversed(list(enumerate(palette)))}
    rows = []
    for y in reversed(range(s)):
        nibbles = [index[q[y * s + x]] for x in range(s)]
        rows.append(pad(bytes(nibbles[x] << 4 | nibbles[x + 1] for x in range(0, s, 2))))
    images.append((s, 16, 4, bitmap(s, 4, palette, b"".join(rows), alpha)))

    # 24-bit: own colour where mostly opaque, black where the mask lets the screen through.
    rows = []
    for y in reversed(range(s)):
        row = bytearray()
        for x in range(s):
            r, g, b, a = px[y * s + x]
            row += bytes((b, g, r)) if a >= 128 else b"\0\0\0"
        rows.append(pad(bytes(row)))
    images.append((s, 0, 24, bitmap(s, 24, [], b"".join(rows), alpha)))

    # 32-bit: straight BGRA, the mask kept for old readers.
    rows = [b"".join(bytes((p[2], p[1], p[0], p[3])) for p in px[y * s : (y + 1) * s]) for y in reversed(range(s))]
    images.append((s, 0, 32, bitmap(s, 32, [], b"".join(rows), alpha)))

offset = 6 + 16 * len(images)
directory = b""
for s, colours, bpp, data in images:
    directory += struct.pack("<BBBBHHII", s % 256, s % 256, colours, 0, 1, bpp, len(data), offset)
    offset += len(data)
with open(out, "wb") as f:
    f.write(struct.pack("<HHH", 0, 1, len(images)) + directory + b"".join(d for *_, d in images))
EOF
