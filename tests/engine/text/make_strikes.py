"""Makes a colour font of one glyph (U+2B50) with a bitmap strike for each
ppem:shape argument, from Noto Color Emoji. Each strike's picture is opaque
where its shape says (full, left or top half), so that the strike a size
drew with shows in the drawn letters' ink.

    make_strikes.py NotoColorEmoji.ttf out.ttf 20:full 40:left 80:top
"""
import copy
import struct
import sys
import zlib

from fontTools import subset
from fontTools.ttLib import TTFont


def png(side, shape):
    def opaque(x, y):
        return {"full": True, "left": x < side // 2, "top": y < side // 2}[shape]
    rows = b"".join(b"\0" + b"".join(bytes((0, 0, 0, 255 if opaque(x, y) else 0))
                                     for x in range(side)) for y in range(side))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows))
            + chunk(b"IEND", b""))


source, out = sys.argv[1], sys.argv[2]
font = TTFont(source)
keep = subset.Subsetter(subset.Options(notdef_outline=False))
keep.populate(unicodes=[0x2B50])
keep.subset(font)
cblc, cbdt = font["CBLC"], font["CBDT"]
base, glyphs = cblc.strikes[0], cbdt.strikeData[0]
cblc.strikes, cbdt.strikeData = [], []
for ppem, shape in (argument.split(":") for argument in sys.argv[3:]):
    ppem = int(ppem)
    strike, data = copy.deepcopy(base), copy.deepcopy(glyphs)
    strike.bitmapSizeTable.ppemX = strike.bitmapSizeTable.ppemY = ppem
    for glyph in data.values():
        glyph.ensureDecompiled()
        metrics = glyph.metrics
        metrics.BearingY = round(metrics.BearingY * ppem / base.bitmapSizeTable.ppemY)
        metrics.width = metrics.height = metrics.Advance = ppem
        metrics.BearingX = 0
        glyph.imageData = png(ppem, shape)
    cblc.strikes.append(strike)
    cbdt.strikeData.append(data)
font.save(out)
