// The worst a pattern picture can ask of the loader: every format at the
// largest size it takes (8192 x 8192, 256 MiB of pixels), and the files that
// used to freeze the window. Each must load, or be refused, in about a second.
#include <benchmark/benchmark.h>

#include <cstring>

#include "engine/codecs/Codecs.h"
#include "engine/image/Limits.h"

namespace {

constexpr int Side = 8192;

void put16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF)).append(char(v >> 8));
}
void put32(QByteArray& b, quint32 v) {
    put16(b, quint16(v & 0xFFFF));
    put16(b, quint16(v >> 16));
}

using engine::image::Image;

Image bigImage() {
    Image image(Side, Side, engine::image::Format::Rgb32);
    for (int y = 0; y < Side; ++y) {
        auto* row = reinterpret_cast<engine::image::Rgb*>(image.scanLine(y));
        for (int x = 0; x < Side; ++x)
            row[x] = engine::image::rgb(x / 32, y / 32, (x ^ y) & 0xFF);
    }
    return image;
}

QByteArray bmpHeader(int bits, quint32 compression, quint32 dataSize, int colours) {
    QByteArray b("BM");
    const quint32 offset = 54 + 4 * colours;
    put32(b, offset + dataSize);
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, Side);
    put32(b, Side);
    put16(b, 1);
    put16(b, quint16(bits));
    put32(b, compression);
    for (int i = 0; i < 5; ++i)
        put32(b, 0);
    for (int i = 0; i < colours; ++i)
        put32(b, quint32(i * 0x010203));
    return b;
}

QByteArray bmp24() {
    QByteArray b = bmpHeader(24, 0, Side * Side * 3, 0);
    b.append(QByteArray(qsizetype(Side) * Side * 3, '\x5a'));
    return b;
}

// Ends at once: every pixel is left to palette entry 0.
QByteArray bmpRleEmpty() {
    return bmpHeader(8, 1, 2, 256).append("\0\1", 2);
}

// A progressive JPEG whose last scan is repeated up to `scans` scans.
QByteArray jpegWithScans(const Image& image, int scans) {
    QByteArray jpeg;
    engine::codecs::encodeJpeg(image, 21, true, jpeg);
    int count = 0;
    qsizetype last = -1;
    for (qsizetype i = 0; (i = jpeg.indexOf("\xFF\xDA", i)) >= 0; i += 2, ++count)
        last = i;
    const QByteArray scan = jpeg.mid(last, jpeg.size() - 2 - last);
    jpeg.chop(2);
    for (; count < scans; ++count)
        jpeg.append(scan);
    return jpeg.append("\xFF\xD9");
}

QByteArray png(const Image& image) {
    QByteArray data;
    engine::codecs::encodePng(image, 1, data);
    return data;
}

// An icon whose every entry points at the same big PNG.
QByteArray iconOfOnePng(const QByteArray& png, int entries) {
    QByteArray b;
    put16(b, 0);
    put16(b, 1);
    put16(b, quint16(entries));
    for (int i = 0; i < entries; ++i) {
        b.append(4, '\0');
        put16(b, 1);
        put16(b, 32);
        put32(b, quint32(png.size()));
        put32(b, quint32(6 + 16 * entries));
    }
    return b.append(png);
}

// A one-colour GIF of 9-bit codes, a clear code every 254: as large as the
// LZW data of such a picture gets.
QByteArray bigGif() {
    QByteArray b("GIF89a");
    put16(b, Side);
    put16(b, Side);
    b.append("\x80\0\0", 3); // global palette of 2 colours
    b.append("\xff\0\0\0\0\xff", 6);
    b.append(',');
    put32(b, 0);
    put16(b, Side);
    put16(b, Side);
    b.append('\0').append('\x08'); // no local palette; 8-bit literals
    QByteArray codes;
    quint32 acc = 0;
    int bits = 0;
    const auto writeCode = [&](quint32 code) {
        acc |= code << bits;
        bits += 9;
        while (bits >= 8) {
            codes.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    const qint64 pixels = qint64(Side) * Side;
    for (qint64 i = 0; i < pixels; ++i) {
        if (i % 254 == 0)
            writeCode(256);
        writeCode(1);
    }
    writeCode(257);
    if (bits)
        codes.append(char(acc));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const qsizetype n = std::min<qsizetype>(255, codes.size() - at);
        b.append(char(n)).append(codes.mid(at, n));
    }
    return b.append('\0').append(';');
}

const Image& image() {
    static const Image big = bigImage();
    return big;
}
const QByteArray& bigPng() {
    static const QByteArray data = png(image());
    return data;
}

// The file is made before the timing starts, so only cases that run pay for it.
void decodeCase(benchmark::State& state, QByteArray (*make)(), bool loads) {
    const QByteArray file = make();
    for (auto _ : state) {
        Image picture;
        if (engine::codecs::decodePicture(file, picture) != loads)
            state.SkipWithError("unexpected outcome");
        benchmark::DoNotOptimize(picture);
    }
    state.counters["MB"] = double(file.size()) / 1e6;
}

void registerAll() {
    const struct {
        const char* name;
        QByteArray (*make)();
        bool loads;
    } cases[] = {
        {"BMP 24-bit", bmp24, true},
        {"BMP RLE8 ending at once", bmpRleEmpty, true},
        {"PNG", [] { return bigPng(); }, true},
        {"JPEG progressive, scan limit",
         [] {
             return jpegWithScans(image(),
                                  int(engine::image::MaxJpegScanPixels / (qint64(Side) * Side)));
         },
         true},
        {"JPEG progressive, 2000 scans", [] { return jpegWithScans(image(), 2000); }, false},
        {"ICO, entries at the limit, one PNG",
         [] { return iconOfOnePng(bigPng(), engine::image::MaxIconEntries); }, true},
        {"GIF", bigGif, true},
    };
    for (const auto& c : cases)
        benchmark::RegisterBenchmark((std::string("Picture8192/") + c.name).c_str(), decodeCase,
                                     c.make, c.loads)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(3)
            ->ReportAggregatesOnly();
}

const int registered = (registerAll(), 0);

} // namespace
