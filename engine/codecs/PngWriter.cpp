#include "engine/codecs/Codecs.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <png.h>

#include "engine/codecs/Deflate.h"
#include "engine/codecs/Failure.h"
#include "engine/codecs/OpaqueRows.h"

namespace engine::codecs {
namespace {

// Cut letters over a pattern have a handful of colours: those images become
// indexed PNGs, far smaller than truecolour rows.
struct Indexed {
    std::vector<image::Rgb> palette; // ARGB, transparent entries first
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
        return (image::alpha(out.palette[a]) < 255) > (image::alpha(out.palette[b]) < 255);
    });
    std::array<uchar, 256> newIndex{};
    std::vector<image::Rgb> sorted(out.palette.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newIndex[static_cast<size_t>(order[i])] = static_cast<uchar>(i);
        sorted[i] = out.palette[static_cast<size_t>(order[i])];
    }
    out.palette = std::move(sorted);
    out.remap = newIndex;
}

// A picture's rows as colours: Argb32 ones as they come, the others made
// opaque (grey as grey, Rgb32 as it stands).
class ColourRows {
  public:
    explicit ColourRows(const image::Rows& picture) : m_picture(picture), m_opaque(picture) {}
    const image::Rgb* row(int y) {
        return m_picture.format == image::Format::Argb32
                   ? reinterpret_cast<const image::Rgb*>(m_picture.row(y))
                   : m_opaque.row(y);
    }

  private:
    const image::Rows& m_picture;
    OpaqueRows m_opaque;
};

// The picture's colours and each pixel's index, or false past 256 colours.
// Fully transparent pixels are all one colour.
bool indexColours(const image::Rows& picture, ColourRows& colours, bool alpha, Indexed& out) {
    constexpr size_t Slots = 1024; // open addressing, at most a quarter full
    std::array<image::Rgb, Slots> keys{};
    std::array<int, Slots> values;
    values.fill(-1);
    const int w = picture.width, h = picture.height;
    out.pixels =
        std::make_unique_for_overwrite<uchar[]>(static_cast<size_t>(w) * static_cast<size_t>(h));
    image::Rgb last = 0;
    int lastIndex = -1;
    uchar* dst = out.pixels.get();
    for (int y = 0; y < h; ++y) {
        const image::Rgb* row = colours.row(y);
        for (int x = 0; x < w; ++x) {
            image::Rgb c = alpha ? row[x] : row[x] | 0xFF000000u;
            if (image::alpha(c) == 0)
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

// Whether the rows left can add nothing to the palette: every entry of the
// table has been met, and black, which indexes past the table show, too (they
// are then given its place).
bool settled(const std::vector<image::Rgb>& table, size_t metInTable,
             const std::vector<image::Rgb>& palette, std::array<int, 256>& met) {
    if (metInTable < std::min<size_t>(table.size(), 256))
        return false;
    const auto black = std::find(palette.begin(), palette.end(), 0xFF000000u);
    if (table.size() < 256 && black == palette.end())
        return false;
    for (size_t i = table.size(); i < 256; ++i)
        met[i] = static_cast<int>(black - palette.begin());
    return true;
}

// An indexed picture's own colours, those its pixels use, in the order the
// rows first meet them: the same palette as the picture's colours would give.
void tableColours(const image::Rows& picture, Indexed& out) {
    const std::vector<image::Rgb>& table = picture.colorTable;
    std::array<int, 256> met;
    met.fill(-1);
    const int w = picture.width;
    const size_t inTable = std::min<size_t>(table.size(), 256);
    size_t metInTable = 0;
    for (int y = 0; y < picture.height && !settled(table, metInTable, out.palette, met); ++y) {
        const uchar* row = picture.row(y);
        for (int x = 0; x < w; ++x) {
            // Runs of one index, the ground's above all, pass eight at a time.
            if (const quint64 run = 0x0101010101010101ull * row[x]; x + 8 <= w) {
                quint64 next;
                std::memcpy(&next, row + x, 8);
                if (next == run && met[row[x]] >= 0) {
                    x += 7;
                    continue;
                }
            }
            const uchar i = row[x];
            if (met[i] >= 0)
                continue;
            image::Rgb c = i < table.size() ? table[i] : 0xFF000000u;
            if (image::alpha(c) == 0)
                c = 0;
            const auto known = std::find(out.palette.begin(), out.palette.end(), c);
            met[i] = static_cast<int>(known - out.palette.begin());
            metInTable += i < inTable;
            if (known == out.palette.end())
                out.palette.push_back(c);
        }
    }
    transparentFirst(out);
    std::array<uchar, 256> remap{};
    for (size_t i = 0; i < 256; ++i)
        remap[i] = met[i] < 0 ? 0 : out.remap[static_cast<size_t>(met[i])];
    out.remap = remap;
}

int bitDepthFor(size_t colours) {
    return colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
}

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void pngFlush(png_structp) {}

// What each level asks of the compressors, chosen by measurement so that every
// level is no larger than what general image tools write (zlib 7 with filters
// chosen row by row). Indexed rows compress best unfiltered; truecolour rows
// as the picture shows (see unfilteredIsSmaller); all through libdeflate,
// which compresses better than zlib at a fraction of its time. Truecolour
// pictures too large to hold filtered beside themselves stream through libpng's
// zlib instead.
struct Settings {
    int indexedLevel;    // libdeflate, indexed rows
    int truecolourLevel; // libdeflate, truecolour rows filtered
    int unfilteredLevel; // libdeflate, truecolour rows as they are
    int zlibLevel;       // truecolour rows streamed
    int filters;
};

Settings settingsFor(int level, bool indexed) {
    const int filters = indexed ? PNG_FILTER_NONE : PNG_ALL_FILTERS;
    switch (level) {
    case 1:
        return {7, 6, 2, 7, filters};
    case 2:
        return {11, 12, 12, 9, filters};
    default:
        return {9, 8, 6, 8, filters};
    }
}

// Filtered truecolour rows are held whole for libdeflate up to this size.
constexpr size_t MaxHeldRows = size_t(48) << 20;

// The band of rows that decides whether truecolour rows are filtered: about
// this many bytes, compressed at this level.
constexpr size_t SampleBytes = size_t(8) << 10;
constexpr int SampleLevel = 2;

// What the file holds, prepared before libpng runs; everything libpng may see
// change after setjmp lives here, on the heap.
struct Plan {
    explicit Plan(const image::Rows& rows) : picture(rows), colours(rows) {}
    const image::Rows& picture;
    ColourRows colours;
    Indexed indexed;
    bool useIndex = false;
    bool alpha = false;
    int depth = 8;
    Settings settings{};
    std::vector<png_byte> row;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
};

// Indexes packed from the high bits down, `Depth` bits each.
template <int Depth>
void pack(const uchar* in, int w, const std::array<uchar, 256>& remap, png_byte* row) {
    constexpr int PerByte = 8 / Depth;
    for (int x = 0; x < w; x += PerByte, ++row) {
        unsigned byte = 0;
        for (int k = 0; k < PerByte; ++k)
            byte = (byte << Depth) | (x + k < w ? remap[in[x + k]] : 0u);
        *row = static_cast<png_byte>(byte);
    }
}

void fillRow(Plan& plan, int y) {
    const int w = plan.picture.width;
    png_byte* row = plan.row.data();
    if (plan.useIndex) {
        const auto& remap = plan.indexed.remap;
        const uchar* in = plan.indexed.pixels ? plan.indexed.pixels.get() +
                                                    static_cast<size_t>(y) * static_cast<size_t>(w)
                                              : plan.picture.row(y);
        if (plan.depth == 8) {
            for (int x = 0; x < w; ++x)
                row[x] = remap[in[x]];
            return;
        }
        switch (plan.depth) {
        case 4:
            return pack<4>(in, w, remap, row);
        case 2:
            return pack<2>(in, w, remap, row);
        default:
            return pack<1>(in, w, remap, row);
        }
    }
    const image::Rgb* in = plan.colours.row(y);
    for (int x = 0; x < w; ++x) {
        *row++ = static_cast<png_byte>(image::red(in[x]));
        *row++ = static_cast<png_byte>(image::green(in[x]));
        *row++ = static_cast<png_byte>(image::blue(in[x]));
        if (plan.alpha)
            *row++ = static_cast<png_byte>(image::alpha(in[x]));
    }
}

// The guess each PNG filter makes of a byte from the bytes left of, above and
// above-left of it; Paeth's without branches, so that rows go many bytes at a time.
template <int Filter> int guess(int left, int up, int upLeft) {
    if constexpr (Filter == 1)
        return left;
    else if constexpr (Filter == 2)
        return up;
    else if constexpr (Filter == 3)
        return (left + up) >> 1;
    else if constexpr (Filter == 4) {
        const int pa = std::abs(up - upLeft), pb = std::abs(left - upLeft);
        const int pc = std::abs(left + up - 2 * upLeft);
        const int upOrUpLeft = pb <= pc ? up : upLeft;
        return pa <= pb && pa <= pc ? left : upOrUpLeft;
    }
    return 0;
}

// A filtered byte's magnitude read as signed, which PNG's filter choice sums.
inline std::uint32_t magnitude(int v) {
    return static_cast<std::uint32_t>(std::abs(static_cast<signed char>(static_cast<png_byte>(v))));
}

// The five filters' sums over a row in one pass, each byte and its neighbours
// read once. The first pixel has nothing to its left.
std::array<std::uint32_t, 5> filterSums(const png_byte* row, const png_byte* above, size_t n,
                                        size_t bpp) {
    std::uint32_t none = 0, sub = 0, up = 0, average = 0, paeth = 0;
    const auto add = [&](int x, int left, int b, int upLeft) {
        none += magnitude(x);
        sub += magnitude(x - guess<1>(left, b, upLeft));
        up += magnitude(x - guess<2>(left, b, upLeft));
        average += magnitude(x - guess<3>(left, b, upLeft));
        paeth += magnitude(x - guess<4>(left, b, upLeft));
    };
    const size_t head = std::min(bpp, n);
    for (size_t i = 0; i < head; ++i)
        add(row[i], 0, above[i], 0);
    for (size_t i = head; i < n; ++i)
        add(row[i], row[i - bpp], above[i], above[i - bpp]);
    return {none, sub, up, average, paeth};
}

// A row's bytes behind one filter.
template <int Filter>
void filterBytes(const png_byte* row, const png_byte* above, size_t n, size_t bpp, png_byte* out) {
    const size_t head = std::min(bpp, n);
    for (size_t i = 0; i < head; ++i)
        out[i] = static_cast<png_byte>(row[i] - guess<Filter>(0, above[i], 0));
    for (size_t i = head; i < n; ++i)
        out[i] =
            static_cast<png_byte>(row[i] - guess<Filter>(row[i - bpp], above[i], above[i - bpp]));
}

// One truecolour row behind the filter that leaves the smallest sum, the first
// such in PNG's order: the choice libpng makes. The first row's "above" is zeros.
void filterRow(const png_byte* row, const png_byte* above, size_t n, size_t bpp, png_byte* out) {
    const std::array<std::uint32_t, 5> sums = filterSums(row, above, n, bpp);
    const auto chosen = static_cast<int>(std::min_element(sums.begin(), sums.end()) - sums.begin());
    out[0] = static_cast<png_byte>(chosen);
    constexpr void (*store[5])(const png_byte*, const png_byte*, size_t, size_t, png_byte*) = {
        filterBytes<0>, filterBytes<1>, filterBytes<2>, filterBytes<3>, filterBytes<4>};
    store[chosen](row, above, n, bpp, out + 1);
}

// Rows first to first + count - 1 into `out`, each behind its filter byte: as
// they are, or filtered one by one against the row above (zeros above the
// first row). Every byte is written here once: none is cleared first.
void rowsInto(Plan& plan, size_t rowBytes, int first, int count, bool filtered, png_byte* out) {
    std::vector<png_byte> above;
    if (filtered) {
        above.resize(rowBytes);
        if (first > 0) {
            fillRow(plan, first - 1);
            above = plan.row;
        }
    }
    for (int y = first; y < first + count; ++y, out += rowBytes + 1) {
        fillRow(plan, y);
        if (!filtered) {
            out[0] = 0; // no filter
            std::memcpy(out + 1, plan.row.data(), rowBytes);
            continue;
        }
        filterRow(plan.row.data(), above.data(), rowBytes, plan.alpha ? 4 : 3, out);
        above.swap(plan.row);
    }
}

// A band of rows from the middle of the picture, as rowsInto() gives them.
QByteArray sampleRows(Plan& plan, size_t rowBytes, bool filtered) {
    const int h = plan.picture.height;
    const int count = std::clamp(static_cast<int>(SampleBytes / (rowBytes + 1)), 1, h);
    QByteArray band(static_cast<qsizetype>((rowBytes + 1) * size_t(count)), Qt::Uninitialized);
    rowsInto(plan, rowBytes, (h - count) / 2, count, filtered,
             reinterpret_cast<png_byte*>(band.data()));
    return band;
}

// A small pattern tiled across the picture repeats exactly, a tile's width
// apart, wherever the letters show it: deflate finds those repeats in the
// pixels as they are, while filters break them at every edge of a letter, and
// such pictures come out about half the size unfiltered. A photo wider than
// the picture has no such repeats and is smaller filtered. A band of rows from
// the middle, compressed both ways at a fast level, decides for the picture.
bool unfilteredIsSmaller(Plan& plan, size_t rowBytes) {
    const auto size = [&](bool filtered) {
        const QByteArray band = sampleRows(plan, rowBytes, filtered);
        return zlibCompress(band.constData(), static_cast<size_t>(band.size()), rowBytes + 1,
                            SampleLevel)
            .size();
    };
    return size(false) < size(true);
}

// Every row behind its filter byte: indexed rows unfiltered, truecolour rows
// unfiltered or filtered one by one.
std::unique_ptr<png_byte[]> filteredRows(Plan& plan, size_t rowBytes, bool filtered) {
    const int h = plan.picture.height;
    auto raw = std::make_unique_for_overwrite<png_byte[]>((rowBytes + 1) * size_t(h));
    rowsInto(plan, rowBytes, 0, h, filtered, raw.get());
    return raw;
}

// The rows as one zlib stream; empty when they cannot be compressed.
QByteArray deflatedRows(Plan& plan, size_t rowBytes) {
    const size_t rawBytes = (rowBytes + 1) * size_t(plan.picture.height);
    const bool filtered = !plan.useIndex && !unfilteredIsSmaller(plan, rowBytes);
    const std::unique_ptr<png_byte[]> raw = filteredRows(plan, rowBytes, filtered);
    const int level = plan.useIndex ? plan.settings.indexedLevel
                      : filtered    ? plan.settings.truecolourLevel
                                    : plan.settings.unfilteredLevel;
    return zlibCompress(raw.get(), rawBytes, rowBytes + 1, level);
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
    png_set_IHDR(png, info, static_cast<png_uint_32>(plan.picture.width),
                 static_cast<png_uint_32>(plan.picture.height), plan.depth, type,
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
    const size_t rowBytes = (plan.row.size() * size_t(plan.depth) + 7) / 8;
    if (plan.useIndex || (rowBytes + 1) * size_t(plan.picture.height) <= MaxHeldRows) {
        const QByteArray idat = deflatedRows(plan, rowBytes);
        if (idat.isEmpty())
            png_error(png, "cannot compress");
        png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"),
                        reinterpret_cast<png_const_bytep>(idat.constData()),
                        static_cast<size_t>(idat.size()));
        png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    } else {
        for (int y = 0; y < plan.picture.height; ++y) {
            fillRow(plan, y);
            png_write_row(png, plan.row.data());
        }
        png_write_end(png, info);
    }
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool encodePng(const image::Image& picture, int level, QByteArray& out, QString* why) {
    return encodePng(image::rowsOf(picture), level, out, why);
}

bool encodePng(const image::Rows& source, int level, QByteArray& out, QString* why) {
    if (!settings::PngLevel.contains(level))
        return failOutOfRange(why, QT_TRANSLATE_NOOP("codecs", "the PNG level"), level,
                              settings::PngLevel);
    if (source.width <= 0 || source.height <= 0)
        return fail(why, QT_TRANSLATE_NOOP("codecs", "there is no image to write"));
    auto plan = std::make_unique<Plan>(source);
    plan->alpha = source.format == image::Format::Argb32 ||
                  (source.format == image::Format::Indexed8 &&
                   std::any_of(source.colorTable.begin(), source.colorTable.end(),
                               [](image::Rgb c) { return image::alpha(c) < 255; }));
    if (source.format == image::Format::Indexed8) {
        tableColours(source, plan->indexed);
        plan->useIndex = true;
    } else {
        plan->useIndex = indexColours(source, plan->colours, plan->alpha, plan->indexed);
    }
    if (plan->useIndex) {
        plan->depth = bitDepthFor(plan->indexed.palette.size());
        for (image::Rgb c : plan->indexed.palette) {
            plan->palette.push_back({static_cast<png_byte>(image::red(c)),
                                     static_cast<png_byte>(image::green(c)),
                                     static_cast<png_byte>(image::blue(c))});
            if (image::alpha(c) < 255)
                plan->alphas.push_back(static_cast<png_byte>(image::alpha(c)));
        }
    }
    const int channels = plan->useIndex ? 1 : plan->alpha ? 4 : 3;
    plan->row.resize(static_cast<size_t>(source.width) * static_cast<size_t>(channels));
    plan->settings = settingsFor(level, plan->useIndex);
    if (!write(*plan, out))
        return fail(why, QT_TRANSLATE_NOOP("codecs", "the image could not be encoded as PNG"));
    return true;
}

} // namespace engine::codecs
