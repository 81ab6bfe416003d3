#include "ImageLib.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <memory>
#include <vector>

#include <png.h>
#include <zlib.h>

namespace imagelib {
namespace {

// Cut letters over a pattern have a handful of colours: those images become
// indexed PNGs, far smaller than truecolour rows.
struct Indexed {
    std::vector<QRgb> palette; // ARGB, transparent entries first
    // Each pixel's index in the order colours were met: counted from an RGB
    // picture into `pixels`, or an indexed picture's own bytes. `remap` turns
    // them into palette positions as the rows are written.
    std::unique_ptr<uchar[]> pixels;
    std::array<uchar, 256> remap{};
};

// tRNS lists alpha for the first entries only: transparent ones go first.
void transparentFirst(Indexed& out) {
    std::vector<int> order(out.palette.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return (qAlpha(out.palette[a]) < 255) > (qAlpha(out.palette[b]) < 255);
    });
    std::array<uchar, 256> newIndex{};
    std::vector<QRgb> sorted(out.palette.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newIndex[static_cast<size_t>(order[i])] = static_cast<uchar>(i);
        sorted[i] = out.palette[static_cast<size_t>(order[i])];
    }
    out.palette = std::move(sorted);
    out.remap = newIndex;
}

// The picture's colours and each pixel's index, or false past 256 colours.
// Fully transparent pixels are all one colour.
bool indexColours(const QImage& image, bool alpha, Indexed& out) {
    constexpr size_t Slots = 1024; // open addressing, at most a quarter full
    std::array<QRgb, Slots> keys{};
    std::array<int, Slots> values;
    values.fill(-1);
    const int w = image.width(), h = image.height();
    out.pixels =
        std::make_unique_for_overwrite<uchar[]>(static_cast<size_t>(w) * static_cast<size_t>(h));
    QRgb last = 0;
    int lastIndex = -1;
    uchar* dst = out.pixels.get();
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb c = alpha ? row[x] : row[x] | 0xFF000000u;
            if (qAlpha(c) == 0)
                c = 0;
            if (c != last || lastIndex < 0) {
                size_t slot = (c * 2654435761u) >> 22;
                while (values[slot] >= 0 && keys[slot] != c)
                    slot = (slot + 1) % Slots;
                if (values[slot] < 0) {
                    if (out.palette.size() == 256)
                        return false;
                    keys[slot] = c;
                    values[slot] = static_cast<int>(out.palette.size());
                    out.palette.push_back(c);
                }
                last = c;
                lastIndex = values[slot];
            }
            *dst++ = static_cast<uchar>(lastIndex);
        }
    }
    transparentFirst(out);
    return true;
}

// An indexed picture's own colours, those its pixels use.
void tableColours(const QImage& image, Indexed& out) {
    const QList<QRgb> table = image.colorTable();
    std::array<bool, 256> used{};
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            used[row[x]] = true;
    }
    std::array<uchar, 256> met{};
    for (int i = 0; i < 256; ++i) {
        if (!used[static_cast<size_t>(i)])
            continue;
        QRgb c = i < table.size() ? table[i] : 0xFF000000u;
        if (qAlpha(c) == 0)
            c = 0;
        const auto known = std::find(out.palette.begin(), out.palette.end(), c);
        met[static_cast<size_t>(i)] = static_cast<uchar>(known - out.palette.begin());
        if (known == out.palette.end())
            out.palette.push_back(c);
    }
    transparentFirst(out);
    for (auto& r : met)
        r = out.remap[r];
    out.remap = met;
}

int bitDepthFor(size_t colours) {
    return colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
}

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void pngFlush(png_structp) {}

// What each level asks of zlib and the row filters. Indexed rows compress best
// unfiltered, and deflate is fast on them up to level 6 (level 5 already
// matches general image tools); truecolour rows gain from filters chosen row
// by row.
struct Settings {
    int zlibLevel;
    int filters;
};

Settings settingsFor(int level, bool indexed) {
    switch (level) {
    case 1:
        return {indexed ? 5 : 1, indexed ? PNG_FILTER_NONE : PNG_FILTER_SUB};
    case 2:
        return {9, indexed ? PNG_FILTER_NONE : PNG_ALL_FILTERS};
    default:
        return {6, indexed ? PNG_FILTER_NONE : PNG_ALL_FILTERS};
    }
}

// What the file holds, prepared before libpng runs; everything libpng may see
// change after setjmp lives here, on the heap.
struct Plan {
    QImage image;
    Indexed indexed;
    bool useIndex = false;
    bool alpha = false;
    int depth = 8;
    Settings settings{};
    std::vector<png_byte> row;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
};

void fillRow(Plan& plan, int y) {
    const int w = plan.image.width();
    png_byte* row = plan.row.data();
    if (plan.useIndex) {
        const auto& remap = plan.indexed.remap;
        const uchar* in = plan.indexed.pixels ? plan.indexed.pixels.get() +
                                                    static_cast<size_t>(y) * static_cast<size_t>(w)
                                              : plan.image.constScanLine(y);
        if (plan.depth == 8) {
            for (int x = 0; x < w; ++x)
                row[x] = remap[in[x]];
            return;
        }
        // Indexes packed from the high bits down; depths 1, 2 and 4.
        const int depth = plan.depth;
        const int perByteLog = depth == 1 ? 3 : depth == 2 ? 2 : 1, last = (1 << perByteLog) - 1;
        std::fill(row, row + (w * depth + 7) / 8, png_byte{0});
        for (int x = 0; x < w; ++x)
            row[x >> perByteLog] |=
                static_cast<png_byte>(remap[in[x]] << ((last - (x & last)) * depth));
        return;
    }
    const auto* in = reinterpret_cast<const QRgb*>(plan.image.constScanLine(y));
    for (int x = 0; x < w; ++x) {
        *row++ = static_cast<png_byte>(qRed(in[x]));
        *row++ = static_cast<png_byte>(qGreen(in[x]));
        *row++ = static_cast<png_byte>(qBlue(in[x]));
        if (plan.alpha)
            *row++ = static_cast<png_byte>(qAlpha(in[x]));
    }
}

bool write(Plan& plan, QByteArray& out) {
    out.clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    const int type = plan.useIndex ? PNG_COLOR_TYPE_PALETTE
                     : plan.alpha  ? PNG_COLOR_TYPE_RGB_ALPHA
                                   : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, static_cast<png_uint_32>(plan.image.width()),
                 static_cast<png_uint_32>(plan.image.height()), plan.depth, type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (plan.useIndex) {
        png_set_PLTE(png, info, plan.palette.data(), static_cast<int>(plan.palette.size()));
        if (!plan.alphas.empty())
            png_set_tRNS(png, info, plan.alphas.data(), static_cast<int>(plan.alphas.size()),
                         nullptr);
    }
    png_set_compression_level(png, plan.settings.zlibLevel);
    png_set_compression_mem_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, plan.settings.filters);
    png_write_info(png, info);
    for (int y = 0; y < plan.image.height(); ++y) {
        fillRow(plan, y);
        png_write_row(png, plan.row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool EncodePng(const QImage& source, int level, QByteArray& out) {
    if (level < 0 || level > 2 || source.isNull())
        return false;
    auto plan = std::make_unique<Plan>();
    plan->alpha = source.hasAlphaChannel();
    if (source.format() == QImage::Format_Indexed8) {
        plan->image = source;
        tableColours(source, plan->indexed);
        plan->useIndex = true;
    } else {
        plan->image =
            source.convertToFormat(plan->alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        plan->useIndex = indexColours(plan->image, plan->alpha, plan->indexed);
    }
    if (plan->useIndex) {
        plan->depth = bitDepthFor(plan->indexed.palette.size());
        for (QRgb c : plan->indexed.palette) {
            plan->palette.push_back({static_cast<png_byte>(qRed(c)),
                                     static_cast<png_byte>(qGreen(c)),
                                     static_cast<png_byte>(qBlue(c))});
            if (qAlpha(c) < 255)
                plan->alphas.push_back(static_cast<png_byte>(qAlpha(c)));
        }
    }
    const int channels = plan->useIndex ? 1 : plan->alpha ? 4 : 3;
    plan->row.resize(static_cast<size_t>(plan->image.width()) * static_cast<size_t>(channels));
    plan->settings = settingsFor(level, plan->useIndex);
    return write(*plan, out);
}

} // namespace imagelib
