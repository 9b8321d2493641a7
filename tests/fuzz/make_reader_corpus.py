#!/usr/bin/env python3
"""Writes the seed corpus of the two reader fuzz targets: small valid layout and arrangement
files (corpus/layout) and clipboard bitmap blocks of every kind the block reader takes
(corpus/clipboard). Run by make_corpus.sh; needs nothing but Python.
    tests/fuzz/make_reader_corpus.py      (rewrites tests/fuzz/corpus/{layout,clipboard}/)"""
import json
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def save(folder, name, data):
    path = os.path.join(HERE, 'corpus', folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), 'wb') as f:
        f.write(data.encode() if isinstance(data, str) else bytes(data))


for folder in ('layout', 'clipboard'):
    shutil.rmtree(os.path.join(HERE, 'corpus', folder), ignore_errors=True)

# ---- layouts: one written by hand with the fewest fields, the README's merge layout, and
# arrangements as the program writes them (a text source with its font, every setting).
save('layout', 'minimal.json', '{"sources": [{"file": "a.bmp"}]}\n')
save('layout', 'merge.json', json.dumps({
    "sources": [
        {"file": "a.jpg", "posX": 0, "posY": 0, "scaleX": 1024, "scaleY": 1024, "rotation": 0,
         "mirrored": False, "topLevel": -1, "bottomLevel": -1, "biasWeight": 50, "fadeEdge": False},
        {"file": "b.png", "posX": 200, "posY": 40}],
    "mergeType": "brightest", "thresholdFuzziness": 4, "backgroundColour": "#000000",
    "marginX": 0, "marginY": 0, "marginColour": "#000000", "targetContrast": 16,
    "targetBrightness": 128}, indent=2) + '\n')
font = {"height": -54, "width": 0, "escapement": 0, "orientation": 0, "weight": 700, "italic": 1,
        "underline": 0, "strikeOut": 0, "charSet": 0, "outPrecision": 0, "clipPrecision": 0,
        "quality": 0, "pitchAndFamily": 0, "faceName": "DejaVu Sans"}
save('layout', 'arrangement.tessary.json', json.dumps({
    "format": "tessary-arrangement", "version": 1,
    "sources": [
        {"posX": -7, "posY": 12, "scaleX": 1100.5, "scaleY": 987.25, "rotation": 33.333333333333336,
         "mirrored": True, "topLevel": 2, "bottomLevel": -1, "fadeEdge": True, "file": "below/a.bmp",
         "biasWeight": 37.5},
        {"posX": 31, "posY": 0, "scaleX": 1024.0, "scaleY": 1024.0, "rotation": 0.0, "mirrored": False,
         "topLevel": -1, "bottomLevel": 1, "fadeEdge": False,
         "text": {"text": "Tessary\r\n\"quoted\" \u00e9\r\n", "font": font, "colour": "#FF0000",
                  "backColour": "#000050", "transparentBackground": True},
         "biasWeight": 62.5},
        {"file": "/elsewhere/c.tif", "posX": 5, "posY": 5, "scaleX": 2048.0, "scaleY": 512.0,
         "rotation": -90.0, "mirrored": False, "topLevel": -1, "bottomLevel": -1, "fadeEdge": False}],
    "mergeType": 3, "thresholdFuzziness": 55, "backgroundColour": "#010203", "marginX": 7,
    "marginY": 500, "marginColour": "#FA8000", "targetContrast": 0, "targetBrightness": 255},
    indent=2, ensure_ascii=False) + '\n')
save('layout', 'text-lf.tessary.json', json.dumps({
    "sources": [{"text": {"text": "one\ntwo\n", "font": {"faceName": "DejaVu Serif", "height": -30}}},
                {"file": "pasted-source2.png", "rotation": 12.5}],
    "mergeType": "least colored"}) + '\n')


# ---- clipboard blocks: a 40-byte header (or a longer one), bit-field masks where the header
# has none, the colour table, rows bottom-up (top-down for a negative height).
def block(w, h, bits, compression=0, used=0, masks=None, header=40, entries=None):
    stride = (w * bits + 31) // 32 * 4
    rows = bytes((x * 37 + y * 11) & 0xFF for y in range(abs(h)) for x in range(stride))
    table = b''.join(struct.pack('<BBBB', (i * 53) & 0xFF, (i * 91) & 0xFF, (255 - i * 17) & 0xFF, 0)
                     for i in range(entries if entries is not None else (used or (1 << bits if bits <= 8 else 0))))
    head = struct.pack('<IiiHHIIiiII', header, w, h, 1, bits, compression, len(rows), 2835, 2835, used, 0)
    extra = b''
    if masks:
        fields = struct.pack('<III', *masks)
        if header >= 52:
            extra = fields + bytes(header - 52)
        else:
            extra = bytes(header - 40) + fields
    else:
        extra = bytes(header - 40)
    return head + extra + table + rows


save('clipboard', 'mono.dib', block(13, 3, 1))
save('clipboard', 'palette4.dib', block(7, 3, 4))
save('clipboard', 'palette4-five.dib', block(7, 3, 4, used=5))
save('clipboard', 'palette8.dib', block(5, 3, 8))
save('clipboard', 'palette8-top-down.dib', block(5, -3, 8, used=3))
save('clipboard', 'rgb555.dib', block(3, 2, 16))
save('clipboard', 'rgb565-fields.dib', block(3, 2, 16, compression=3, masks=(0xF800, 0x07E0, 0x001F)))
save('clipboard', 'rgb565-v3-header.dib', block(3, 2, 16, compression=3, masks=(0xF800, 0x07E0, 0x001F), header=56))
save('clipboard', 'rgb24.dib', block(5, 3, 24))
save('clipboard', 'rgb24-top-down.dib', block(5, -3, 24))
save('clipboard', 'rgb32.dib', block(3, 2, 32))
save('clipboard', 'rgb32-fields.dib', block(3, 2, 32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF)))
save('clipboard', 'argb32-v5-header.dib', block(3, 2, 32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF), header=124))
