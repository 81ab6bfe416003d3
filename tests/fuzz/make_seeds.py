#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus: all of
them, or those named (picture and png come together), e.g. `make_seeds.py text`.

Bitmaps, icons and the hostile files are built byte by byte here; PNG, GIF and
JPEG files come from ImageMagick 6 (convert-im6.q16). Run it again only to
change the seeds: the files it wrote are kept in the repository, and so is
every reproducer the fuzzers found.
"""
import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")
CONVERT = "convert-im6.q16"

W, H = 13, 7  # odd sizes: every row of every depth needs padding


def put(target, name, data):
    with open(os.path.join(CORPUS, target, name), "wb") as f:
        f.write(data)


def colour(x, y):
    return (x * 19) % 256, (y * 37) % 256, ((x + y) * 11) % 256


def pack_rows(rows, bits):
    """Packs rows of palette indexes or (r, g, b[, a]) tuples, padded to 4 bytes."""
    out = b""
    for row in rows:
        if bits <= 8:
            acc, n, data = 0, 0, bytearray()
            for v in row:
                acc = (acc << bits) | v
                n += bits
                if n == 8:
                    data.append(acc)
                    acc, n = 0, 0
            if n:
                data.append(acc << (8 - n))
        elif bits == 16:
            data = b"".join(struct.pack("<H", (r >> 3) << 11 | (g >> 2) << 5 | b >> 3)
                            for r, g, b in row)
        elif bits == 24:
            data = b"".join(bytes((b, g, r)) for r, g, b in row)
        else:
            data = b"".join(bytes((p[2], p[1], p[0], p[3] if len(p) > 3 else 0)) for p in row)
        out += bytes(data) + b"\0" * (-len(data) % 4)
    return out


def bmp(info, palette, pixels):
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def info40(w, h, bits, compression=0, colors=0, size=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, compression, size, 2835, 2835, colors, 0)


def palette_of(n):
    """Entry 0 is not black, so pixels left at it are told from zeroed memory."""
    return b"".join(bytes(((i * 7 + 90) % 256, (i * 41 + 20) % 256, i * 89 % 256, 0))
                    for i in range(n))


def index_rows(bits, w=W, h=H):
    return [[(x + 3 * y) % (1 << bits) for x in range(w)] for y in range(h)][::-1]


def rgb_rows(w=W, h=H):
    return [[colour(x, y) for x in range(w)] for y in range(h)][::-1]


def bitmaps():
    for bits in (1, 2, 4, 8):
        put("picture", f"bmp-{bits}bit.bmp",
            bmp(info40(W, H, bits), palette_of(1 << bits), pack_rows(index_rows(bits), bits)))
    put("picture", "bmp-24bit.bmp", bmp(info40(W, H, 24), b"", pack_rows(rgb_rows(), 24)))
    put("picture", "bmp-32bit.bmp", bmp(info40(W, H, 32), b"", pack_rows(rgb_rows(), 32)))
    put("picture", "bmp-16bit-555.bmp", bmp(info40(W, H, 16), b"", pack_rows(rgb_rows(), 16)))
    # Bit fields after a short header (565), and in a V5 header with alpha.
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    put("picture", "bmp-16bit-565-bitfields.bmp",
        bmp(info40(W, H, 16, 3), masks, pack_rows(rgb_rows(), 16)))
    v5 = struct.pack("<IiiHHIIiiII", 124, W, H, 1, 32, 3, 0, 2835, 2835, 0, 0)
    v5 += struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000) + b"sRGB" + b"\0" * 64
    alpha_rows = [[colour(x, y) + ((x * 20) % 256,) for x in range(W)] for y in range(H)][::-1]
    put("picture", "bmp-32bit-v5-alpha.bmp", bmp(v5, b"", pack_rows(alpha_rows, 32)))
    # Top-down: negative height, first row first.
    put("picture", "bmp-topdown-24bit.bmp",
        bmp(info40(W, -H, 24), b"", pack_rows(rgb_rows()[::-1], 24)))
    # OS/2 1.x: 12-byte header, 3-byte palette entries.
    core = struct.pack("<IHHHH", 12, W, H, 1, 8)
    pal3 = b"".join(bytes((i, 255 - i, i * 3 % 256)) for i in range(256))
    put("picture", "bmp-os2-8bit.bmp", bmp(core, pal3, pack_rows(index_rows(8), 8)))
    # RLE8 and RLE4: runs, absolute runs, end of line, delta and end of bitmap.
    rle8 = bytes([3, 1, 0, 4, 2, 3, 4, 5, 2, 6, 0, 0,   # row 0
                  0, 2, 2, 1, 5, 7, 0, 0,               # delta to (2, 2)
                  13, 9, 0, 1])                         # row 3 full, end
    put("picture", "bmp-rle8.bmp", bmp(info40(W, H, 8, 1, 16), palette_of(16), rle8))
    rle4 = bytes([5, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 3, 1, 4, 0xAB, 0, 1])
    put("picture", "bmp-rle4.bmp", bmp(info40(W, H, 4, 2, 16), palette_of(16), rle4))
    # A colour count beyond what 4 bits can index: the palette still has 16.
    put("picture", "bmp-4bit-300-colours.bmp",
        bmp(info40(W, H, 4, colors=300), palette_of(16), pack_rows(index_rows(4), 4)))
    # A writer's mistake: the pixel offset names the end of the info header,
    # where the palette starts; the pixels follow the palette.
    into_palette = bytearray(bmp(info40(W, H, 8), palette_of(256), pack_rows(index_rows(8), 8)))
    into_palette[10:14] = struct.pack("<I", 14 + 40)
    put("picture", "bmp-offset-into-palette.bmp", bytes(into_palette))


def icon_dib(w, h, bits, rows, mask_rows, palette=b""):
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, 0, 0, 0, 0, 0)
    return info + palette + pack_rows(rows, bits) + pack_rows(mask_rows, 1)


def icon(entries, copies=1):
    """entries: (width, height, bits, data); with copies, every entry repeated
    in the directory, all pointing at the same data."""
    head = struct.pack("<HHH", 0, 1, len(entries) * copies)
    offset = 6 + 16 * len(entries) * copies
    directory, blobs = b"", b""
    for w, h, bits, data in entries:
        directory += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, bits, len(data),
                                 offset + len(blobs)) * copies
        blobs += data
    return head + directory + blobs


def icons(png_data):
    mask = [[1 if x < 4 else 0 for x in range(16)] for _ in range(16)]
    small = icon_dib(16, 16, 4, index_rows(4, 16, 16), mask, palette_of(16))
    rgba = [[colour(x, y) + (255 if y > 8 else 0,) for x in range(32)] for y in range(32)]
    wide = icon_dib(32, 32, 32, rgba, [[0] * 32 for _ in range(32)])
    eight = icon_dib(24, 24, 8, index_rows(8, 24, 24), [[x % 2 for x in range(24)]] * 24,
                     palette_of(256))
    put("picture", "ico-single-32bit.ico", icon([(32, 32, 32, wide)]))
    # Hard-edged transparency from the mask alone, and equal sizes of two depths
    # (the deeper wins); a cursor is an icon of type 2.
    put("picture", "ico-4bit-mask.ico", icon([(16, 16, 4, small)]))
    deep16 = icon_dib(16, 16, 32, [[colour(x, y) + (255,) for x in range(16)] for y in range(16)],
                      [[0] * 16 for _ in range(16)])
    put("picture", "ico-equal-sizes.ico", icon([(16, 16, 4, small), (16, 16, 32, deep16)]))
    twin = icon_dib(16, 16, 4, index_rows(4, 16, 16)[::-1], mask, palette_of(16))
    put("picture", "ico-equal-twins.ico", icon([(16, 16, 4, small), (16, 16, 4, twin)]))
    cursor = bytearray(icon([(16, 16, 4, small)]))
    cursor[2:4] = struct.pack("<H", 2)
    put("picture", "cur-4bit.cur", bytes(cursor))
    # The directory's length covers the header alone; the bitmap is whole in the file.
    short = bytearray(icon([(16, 16, 4, small)]))
    short[14:18] = struct.pack("<I", 40)
    put("picture", "ico-entry-length-short.ico", bytes(short))
    put("picture", "ico-multi-size.ico",
        icon([(16, 16, 4, small), (24, 24, 8, eight), (32, 32, 32, wide)]))
    put("picture", "ico-png-entry.ico", icon([(16, 16, 4, small), (48, 40, 32, png_data)]))
    # A bitmap's header counts its mask rows in its height: 32 x 32 is smaller
    # than the PNG's 48 x 40.
    put("picture", "ico-bitmap-vs-png.ico", icon([(32, 32, 32, wide), (48, 40, 32, png_data)]))
    # Hostile: many entries pointing at one image, and more than the cap allows.
    put("picture", "ico-40-entries-one-png.ico", icon([(48, 40, 32, png_data)], 40))
    put("picture", "ico-300-entries.ico", icon([(16, 16, 4, small)], 300))


def magick(args, suffix, prefix=""):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out" + suffix)
        subprocess.run([CONVERT] + args + [prefix + out], check=True)
        with open(out, "rb") as f:
            return f.read()


def imagemagick_files():
    base = ["-size", "48x40", "gradient:red-blue", "-fill", "yellow", "-draw",
            "rectangle 5,5 20,14", "-fill", "green", "-draw", "circle 30,25 36,30"]
    pngs = {
        "png-rgb.png": magick(base + [], ".png", "PNG24:"),
        "png-rgba.png": magick(base + ["-alpha", "set", "-channel", "A", "-fx", "i/w",
                                       "+channel"], ".png", "PNG32:"),
        "png-palette.png": magick(base + ["-colors", "8", ], ".png", "PNG8:"),
        "png-grey.png": magick(base + ["-colorspace", "Gray", "-depth", "8"], ".png"),
        "png-16bit.png": magick(base + ["-depth", "16", ], ".png", "PNG48:"),
        "png-interlaced.png": magick(base + ["-interlace", "PNG"], ".png"),
    }
    # One copy each, in png/: the picture target replays png/ as well.
    for name, data in pngs.items():
        put("png", name, data)
    put("picture", "gif-static.gif", magick(base + ["-colors", "16"], ".gif"))
    put("picture", "gif-animated.gif",
        magick(["-delay", "10"] + base + ["(", "-size", "48x40", "xc:navy", ")",
                                          "-colors", "16"], ".gif"))
    # Hostile: one pixel, then 100 KB of nothing but LZW clear codes, each of
    # which costs giflib a whole table wipe.
    bits = [(4 >> b) & 1 for b in range(3)] * (100 * 1024 * 8 // 3)
    flood = bytes(sum(bits[i + j] << j for j in range(8)) for i in range(0, len(bits) - 7, 8))
    blocks = b"".join(bytes([len(flood[i:i + 255])]) + flood[i:i + 255]
                      for i in range(0, len(flood), 255))
    put("picture", "gif-clear-code-flood.gif",
        b"GIF89a" + struct.pack("<HHBBB", 1, 1, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff"
        + b"," + struct.pack("<HHHHB", 0, 0, 1, 1, 0) + b"\x02" + blocks + b"\0;")
    put("picture", "gif-interlaced-transparent.gif",
        magick(base + ["-transparent", "yellow", "-colors", "16", "-interlace", "GIF"], ".gif"))
    put("picture", "gif-frame-inside-screen.gif",
        magick(base + ["-colors", "16", "-repage", "64x48+8+4"], ".gif"))
    put("picture", "jpeg-baseline.jpg", magick(base + ["-quality", "80"], ".jpg"))
    progressive = magick(base + ["-interlace", "Plane", "-quality", "80"], ".jpg")
    put("picture", "jpeg-progressive.jpg", progressive)
    put("picture", "jpeg-grey.jpg", magick(base + ["-colorspace", "Gray"], ".jpg"))
    put("picture", "jpeg-cmyk.jpg", magick(base + ["-colorspace", "CMYK"], ".jpg"))
    # Hostile: the last scan repeated until the file has 300 scans.
    last = progressive.rfind(b"\xff\xda")
    scan = progressive[last:-2]
    put("picture", "jpeg-300-scans.jpg", progressive[:-2] + scan * 290 + b"\xff\xd9")
    return pngs["png-rgba.png"]


def hostile_bitmaps():
    # Ends early: two pixels, then end of bitmap; and skips pixels with a delta.
    # Full palettes: whatever a stray byte of memory indexes has its own colour.
    put("picture", "bmp-rle8-ends-early.bmp",
        bmp(info40(16, 16, 8, 1), palette_of(256), bytes([2, 1, 0, 1])))
    put("picture", "bmp-rle4-delta.bmp",
        bmp(info40(16, 16, 4, 2), palette_of(16), bytes([0, 2, 5, 5, 4, 0x11, 0, 1])))
    core = struct.pack("<IHHHH", 12, 16, 16, 1, 8)
    put("picture", "bmp-os2-cut-short.bmp",
        bmp(core, bytes(3 * 256), bytes(range(40))))
    # Sides whose row arithmetic overflows 32 bits in a 54-byte file.
    put("picture", "bmp-overflowing-header.bmp",
        bmp(struct.pack("<IiiHHIIiiII", 40, 0x7FFFFFFF, -0x7FFFFFFF, 1, 32, 0, 0, 0, 0, 0, 0),
            b"", b""))


def profiles():
    first_start = (b"[Data]\r\nMongon=Sample\r\nBackColor=0\r\n[Font]\r\n"
                   b"Name=\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e\r\n"
                   b"Size=10\r\nItalic=0\r\nTick=0\r\n[JPEG]\r\nRate=50\r\nPrgrs=0\r\n"
                   b"[PNG]\r\nRate=1\r\n")
    # First byte: which key; then the value up to a NUL; then the file.
    put("profile", "first-start.bin", b"\x00new text\x00" + first_start)
    put("profile", "cr-only.bin", b"\x00x\x00" + first_start.replace(b"\r\n", b"\r"))
    put("profile", "mixed-ends-no-last-break.bin",
        b"\x02\x95\x5c\x00[Font]\nName=a\r\n;note\r[Other]\nk=v")
    put("profile", "line-break-in-value.bin", b"\x00a\r\n[Font]\x00" + first_start)
    put("profile", "duplicate-sections.bin",
        b"\x0bv\x00[\x95\x5c]\r\n\x83\x5c=1\r\n[DATA]\r\nMONGON=2\r\n[data]\r\nmongon=3\r\n")
    put("profile", "only-options.bin", b"\x09\x00[Options]\r\nGIF=0\r\n")
    put("profile", "quoted-and-blank.bin", b"\x00 q \x00[Data]\r\n  Mongon = \"quoted\" \r\n")


def texts():
    # First byte: the size; second: face (low 3 bits), bold 8, italic 16, smooth 32;
    # then the text as UTF-8, whatever its bytes.
    def text(name, size, style, body):
        put("text", name, bytes([size, style]) + body)
    text("latin.bin", 20, 3, "Sample ffi".encode())
    text("japanese-bold-italic.bin", 30, 0 | 8 | 16, "切り文字のサンプル".encode())
    text("vertical.bin", 24, 1, "縦書きー「」ｱA7".encode())
    text("bidi-controls.bin", 18, 3,
         "a\u202eabc\u202c \u2067\u05e9\u05dc\u05d5\u05dd\u2069 \u200f!".encode())
    text("arabic-marks.bin", 36, 4 | 32, "\u0628\u0650\u0633\u0652\u0645\u0650 \u0627\u0644\u0644\u0651\u0647".encode())
    text("combining-stack.bin", 40, 0, "e\u0301\u0302\u0303\u0304\u0323 A\u030a".encode())
    text("joiners-emoji.bin", 24, 5,
         "\U0001F468\u200d\U0001F469\u200d\U0001F467 \U0001F44D\U0001F3FD \U0001F1EF\U0001F1F5 #\ufe0f\u20e3".encode())
    text("unassigned-and-private.bin", 16, 6,
         "\u0378\U000E0100x\uE000\U0010FFFD\uFFFE".encode())
    text("controls-and-tab.bin", 12, 3, b"a\tb\x00c\x1b\r\nd\x7f")
    text("broken-utf8.bin", 20, 2, b"\xc3\x28 \xe2\x82 \xf0\x9f\x91 \xed\xa0\x80 \xff")
    text("huge-size.bin", 255, 0, "字".encode())
    text("empty.bin", 10, 0, b"")


def main():
    import sys
    wanted = sys.argv[1:] or ["picture", "png", "profile", "text"]
    for target in wanted:
        os.makedirs(os.path.join(CORPUS, target), exist_ok=True)
    if "picture" in wanted or "png" in wanted:
        bitmaps()
        png_data = imagemagick_files()
        icons(png_data)
        hostile_bitmaps()
    if "profile" in wanted:
        profiles()
    if "text" in wanted:
        texts()


if __name__ == "__main__":
    main()
