#!/usr/bin/env bash
# Writes the seed corpus of the fuzz targets: small valid files of the kinds each decoder reads,
# made from one 16 x 12 picture with ImageMagick (apt-get install imagemagick), and the few kinds
# ImageMagick does not write (top-down and RLE4 BMP, 16-bit TGA, 1-bit PCX planes) by hand below;
# then files with an orientation or a colour profile from tests/image/fixtures, the EXIF seeds,
# and the layout and clipboard seeds (make_reader_corpus.py).
#   tests/fuzz/make_corpus.sh      (rewrites tests/fuzz/corpus/<target>/)
set -euo pipefail
cd "$(dirname "$0")"
rm -rf corpus/{bmp,jpeg,png,tiff,tga,pcx}
mkdir -p corpus/{bmp,jpeg,png,tiff,tga,pcx}
IM=/usr/bin/convert

pic=(-size 16x12 xc:black -channel R -fx 'i/w' -channel G -fx 'j/h' -channel B -fx '0.8-(i+j)/(w+h)'
     +channel -alpha off -depth 8)
alpha=("${pic[@]}" -alpha set -channel A -fx 'i/w' +channel)
grey=("${pic[@]}" -colorspace Gray)
mono=("${pic[@]}" -threshold 50% -type bilevel)

$IM "${pic[@]}" -type TrueColor bmp3:corpus/bmp/rgb24.bmp
$IM "${pic[@]}" -colors 200 -type Palette -compress None bmp3:corpus/bmp/palette8.bmp
$IM "${pic[@]}" -colors 200 -type Palette -compress RLE bmp3:corpus/bmp/rle8.bmp
$IM "${pic[@]}" -colors 16 -depth 4 -type Palette bmp3:corpus/bmp/palette4.bmp
$IM "${mono[@]}" bmp3:corpus/bmp/mono.bmp
$IM "${pic[@]}" -colors 16 -type Palette bmp2:corpus/bmp/os2-core.bmp
$IM "${alpha[@]}" bmp:corpus/bmp/argb32-v5.bmp
$IM "${pic[@]}" -define bmp:subtype=RGB565 bmp:corpus/bmp/rgb565-v5.bmp
$IM "${pic[@]}" -define bmp:subtype=RGB555 bmp3:corpus/bmp/rgb555-bitfields.bmp

$IM "${pic[@]}" -quality 90 corpus/jpeg/baseline.jpg
$IM "${pic[@]}" -interlace JPEG corpus/jpeg/progressive.jpg
$IM "${grey[@]}" corpus/jpeg/grey.jpg
$IM "${pic[@]}" -colorspace CMYK corpus/jpeg/cmyk.jpg
$IM "${pic[@]}" -sampling-factor 1x1 -define jpeg:restart-interval=1 corpus/jpeg/444-restarts.jpg
$IM "${pic[@]}" -density 300 -units PixelsPerInch corpus/jpeg/300dpi.jpg

$IM "${pic[@]}" png24:corpus/png/rgb8.png
$IM "${pic[@]}" -depth 16 png48:corpus/png/rgb16.png
$IM "${alpha[@]}" png32:corpus/png/rgba8.png
$IM "${alpha[@]}" -depth 16 png64:corpus/png/rgba16.png
$IM "${grey[@]}" -define png:color-type=0 corpus/png/grey8.png
$IM "${grey[@]}" -depth 2 -define png:color-type=0 -define png:bit-depth=2 corpus/png/grey2.png
$IM "${grey[@]}" -alpha set -channel A -fx 'j/h' +channel -define png:color-type=4 corpus/png/grey-alpha.png
$IM "${mono[@]}" -define png:bit-depth=1 -define png:color-type=0 corpus/png/mono.png
$IM "${pic[@]}" -colors 200 png8:corpus/png/palette.png
$IM "${alpha[@]}" -colors 12 png8:corpus/png/palette-trns.png
$IM "${pic[@]}" -interlace PNG png24:corpus/png/interlaced.png
$IM "${pic[@]}" -fill '#00ff00' -draw 'point 3,3' -transparent '#00ff00' png24:corpus/png/rgb-trns.png
$IM "${pic[@]}" -density 120 -units PixelsPerCentimeter png24:corpus/png/phys.png

$IM "${pic[@]}" -compress None corpus/tiff/rgb-none.tif
$IM "${pic[@]}" -compress LZW -define tiff:predictor=2 corpus/tiff/rgb-lzw.tif
$IM "${pic[@]}" -compress JPEG corpus/tiff/rgb-jpeg.tif
$IM "${pic[@]}" -compress Zip corpus/tiff/rgb-deflate.tif
$IM "${pic[@]}" -compress RLE corpus/tiff/rgb-packbits.tif
# Compressed: the Debian libtiff (4.5.0) refuses uncompressed tiles read without a memory map.
$IM "${pic[@]}" -compress LZW -define tiff:tile-geometry=16x16 corpus/tiff/tiled-lzw.tif
$IM "${pic[@]}" -interlace Plane corpus/tiff/planar.tif
$IM "${alpha[@]}" corpus/tiff/rgba.tif
$IM "${grey[@]}" -depth 8 corpus/tiff/grey8.tif
$IM "${grey[@]}" -depth 16 corpus/tiff/grey16.tif
$IM "${mono[@]}" -compress Group4 corpus/tiff/mono-g4.tif
$IM "${mono[@]}" -compress Fax corpus/tiff/mono-g3.tif
$IM "${pic[@]}" -colors 200 -type Palette corpus/tiff/palette8.tif
$IM "${pic[@]}" -colors 12 -type Palette -depth 4 corpus/tiff/palette4.tif
$IM "${pic[@]}" -orient BottomRight corpus/tiff/orientation.tif

$IM "${pic[@]}" -compress None corpus/tga/rgb24.tga
$IM "${pic[@]}" -compress RLE corpus/tga/rgb24-rle.tga
$IM "${alpha[@]}" -compress None corpus/tga/rgba32.tga
$IM "${alpha[@]}" -compress RLE corpus/tga/rgba32-rle.tga
$IM "${grey[@]}" -type Grayscale -compress None corpus/tga/grey.tga
$IM "${grey[@]}" -type Grayscale -compress RLE corpus/tga/grey-rle.tga
$IM "${pic[@]}" -colors 200 -type Palette -compress None corpus/tga/mapped.tga
$IM "${pic[@]}" -colors 200 -type Palette -compress RLE corpus/tga/mapped-rle.tga
$IM "${pic[@]}" -orient TopLeft -compress None corpus/tga/top-left.tga

$IM "${pic[@]}" -type TrueColor corpus/pcx/rgb24.pcx
$IM "${pic[@]}" -colors 200 -type Palette corpus/pcx/palette8.pcx
$IM "${alpha[@]}" -type TrueColorAlpha corpus/pcx/rgba.pcx

python3 - <<'PY'
import struct

def save(path, data):
    with open('corpus/' + path, 'wb') as f:
        f.write(bytes(data))

# BMP stored top row first: the 24-bit file with a negative height and its rows reversed.
bmp = open('corpus/bmp/rgb24.bmp', 'rb').read()
off, w, h = struct.unpack_from('<I', bmp, 10)[0], *struct.unpack_from('<ii', bmp, 18)
stride = (w * 3 + 3) // 4 * 4
rows = [bmp[off + r * stride: off + (r + 1) * stride] for r in range(h)]
save('bmp/top-down.bmp', bmp[:22] + struct.pack('<i', -h) + bmp[26:off] + b''.join(reversed(rows)))

# RLE4 BMP, 16 x 4: runs, an absolute run, a delta and the end marks.
table = b''.join(struct.pack('<BBBB', 16 * i, 255 - 16 * i, 8 * i, 0) for i in range(16))
stream = bytes([16, 0x12, 0, 0, 8, 0x34, 0, 4, 0x56, 0x78, 4, 0x9A, 0, 0, 0, 2, 2, 0, 6, 0xBC, 0, 0, 0, 1])
head = struct.pack('<IiiHHIIiiII', 40, 16, 4, 1, 4, 2, len(stream), 2835, 2835, 16, 0)
save('bmp/rle4.bmp', b'BM' + struct.pack('<IHHI', 14 + 40 + 64 + len(stream), 0, 0, 14 + 40 + 64) + head
     + table + stream)

# TGA of 16-bit pixels (5-5-5), 8 x 4, bottom-up.
pixels = b''.join(struct.pack('<H', (x * 4 << 10) | (y * 8 << 5) | (31 - x)) for y in range(4) for x in range(8))
save('tga/rgb15.tga', struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, 8, 4, 16, 0) + pixels)

# PCX headers: 16 x 4 pixels, `planes` planes of `bits` bits, line bytes as given.
def pcx(bits, planes, line, colourmap=b''):
    h = struct.pack('<BBBBHHHHHH', 10, 5, 1, bits, 0, 0, 15, 3, 72, 72)
    h += colourmap.ljust(48, b'\0') + struct.pack('<BBHH', 0, planes, line, 1)
    return h.ljust(128, b'\0')

def rle(data):
    out = bytearray()
    for b in data:
        out += bytes([0xC1, b]) if b >= 0xC0 else bytes([b])
    return out

mono = b''.join(rle(bytes([0xF0 >> y, 0x0F << y & 0xFF])) for y in range(4))
save('pcx/mono.pcx', pcx(1, 1, 2) + mono)
ega = bytes(c for i in range(16) for c in (i * 16, 255 - i * 16, i * 8))
planes = b''.join(rle(bytes([(0x55 << p | y) & 0xFF, 0xA5 ^ p])) for y in range(4) for p in range(4))
save('pcx/planes4.pcx', pcx(1, 4, 2, ega) + planes)
PY

# Orientation and colour profiles, from the fixtures made by tests/image/fixtures/make_fixtures.sh,
# and the EXIF block of one of them for fuzz_exif.
fixtures=../image/fixtures
cp "$fixtures/orient-6.jpg" corpus/jpeg/exif-orientation.jpg
cp "$fixtures/adobe.jpg" corpus/jpeg/icc-profile.jpg
cp "$fixtures/orient-6.png" corpus/png/exif-orientation.png
cp "$fixtures/prophoto.png" corpus/png/icc-profile.png
cp "$fixtures/orient-6.tif" corpus/tiff/orientation-6.tif
cp "$fixtures/adobe.tif" corpus/tiff/icc-profile.tif
rm -rf corpus/exif && mkdir -p corpus/exif
python3 - "$fixtures/orient-6.jpg" <<'PY'
import sys
d = open(sys.argv[1], 'rb').read()
i = d.find(b'Exif\0\0')
n = (d[i - 2] << 8 | d[i - 1]) - 2
open('corpus/exif/jpeg-app1.bin', 'wb').write(d[i:i + n])
open('corpus/exif/tiff-block.bin', 'wb').write(d[i + 6:i + n])
PY

python3 make_reader_corpus.py
