#include "engine/codecs/Decoders.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include <QCoreApplication>

#include <gif_lib.h>

#include "engine/image/Limits.h"

namespace engine::codecs {
namespace {

// One colour for every value a pixel byte can hold.
using Palette = std::array<image::Rgb, 256>;

// giflib wipes its whole code table on every clear code, so data of nothing
// but clear codes costs it microseconds a byte. Real encoders stay under two
// bytes a pixel; more than this budget is refused.
constexpr qsizetype FrameBytesPerPixel = 3;
constexpr qsizetype FrameBytesSlack = 64 * 1024;

// The file's bytes not yet read, and how many of them giflib may still take
// (-1: no bound).
struct Source {
    QByteArrayView rest;
    qsizetype budget = -1;
};

// Short reads are how giflib learns the file (or the budget) has ended.
int readBytes(GifFileType* gif, GifByteType* data, int length) {
    auto* source = static_cast<Source*>(gif->UserData);
    qsizetype n = std::clamp<qsizetype>(length, 0, source->rest.size());
    if (source->budget >= 0) {
        n = std::min(n, source->budget);
        source->budget -= n;
    }
    if (n > 0)
        std::memcpy(data, source->rest.data(), static_cast<std::size_t>(n));
    source->rest = source->rest.sliced(n);
    return static_cast<int>(n);
}

struct CloseGif {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using Gif = std::unique_ptr<GifFileType, CloseGif>;

// Passes over one extension. A graphics control block gives the transparent
// index for the frame after it; a plain-text block uses up the one before it.
bool skipExtension(GifFileType* gif, int& transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK)
        return false;
    GraphicsControlBlock control;
    if (code == GRAPHICS_EXT_FUNC_CODE && block &&
        DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
        transparent = control.TransparentColor;
    else if (code == PLAINTEXT_EXT_FUNC_CODE)
        transparent = NO_TRANSPARENT_COLOR;
    while (block)
        if (DGifGetExtensionNext(gif, &block) != GIF_OK)
            return false;
    return true;
}

// Reads up to the first frame's descriptor, keeping the transparent index
// that applies to it. A file that ends before any frame has no picture.
bool findFirstFrame(GifFileType* gif, int& transparent) {
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return false;
        if (record == IMAGE_DESC_RECORD_TYPE)
            return DGifGetImageDesc(gif) == GIF_OK;
        if (record != EXTENSION_RECORD_TYPE || !skipExtension(gif, transparent))
            return false;
    }
}

bool frameFitsScreen(const GifImageDesc& frame, const GifFileType& gif) {
    return frame.Left >= 0 && frame.Top >= 0 &&
           image::pictureSizeAllowed(frame.Width, frame.Height) &&
           std::int64_t(frame.Left) + frame.Width <= gif.SWidth &&
           std::int64_t(frame.Top) + frame.Height <= gif.SHeight;
}

// Indexes the map does not reach read as opaque black, so a short map cannot
// lead a pixel past its end; the transparent index wins even there.
Palette makePalette(const ColorMapObject& map, int transparent) {
    Palette palette;
    palette.fill(image::rgb(0, 0, 0));
    const int count = std::clamp(map.ColorCount, 0, int(palette.size()));
    for (int i = 0; i < count; ++i)
        palette[std::size_t(i)] =
            image::rgb(map.Colors[i].Red, map.Colors[i].Green, map.Colors[i].Blue);
    if (transparent >= 0 && transparent < int(palette.size()))
        palette[std::size_t(transparent)] = 0;
    return palette;
}

// Row passes of a frame: first row and step. Interlaced frames store every
// 8th row from 0, every 8th from 4, every 4th from 2, then every 2nd from 1.
struct Pass {
    int first;
    int step;
};
constexpr Pass Interlaced[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
constexpr Pass TopToBottom[] = {{0, 1}};

// The frame's indexes turned into colours on the screen, row by row in the
// order the file stores them.
bool readFrame(GifFileType* gif, const Palette& palette, image::Image& screen) {
    const GifImageDesc& frame = gif->Image;
    const std::span<const Pass> passes =
        frame.Interlace ? std::span<const Pass>(Interlaced) : std::span<const Pass>(TopToBottom);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    for (const Pass& pass : passes)
        for (int y = pass.first; y < frame.Height; y += pass.step) {
            if (DGifGetLine(gif, line.data(), frame.Width) != GIF_OK)
                return false;
            auto* out = reinterpret_cast<image::Rgb*>(screen.scanLine(frame.Top + y)) + frame.Left;
            std::transform(line.begin(), line.end(), out,
                           [&palette](GifPixelType index) { return palette[index]; });
        }
    return true;
}

// giflib's reason: a read past the file's end is a file cut short.
bool refused(int error, const Source& source, QString* why) {
    const bool ended = source.rest.isEmpty() &&
                       (error == D_GIF_ERR_READ_FAILED || error == D_GIF_ERR_EOF_TOO_SOON ||
                        error == D_GIF_ERR_IMAGE_DEFECT);
    return ended ? refuseTruncated(why) : refuseDamaged(why);
}

} // namespace

// Only the first frame is decoded: it is the picture a still viewer shows,
// and the rest of an animation is never read.
bool decodeGif(QByteArrayView file, image::Image& picture, QString* why) {
    Source source{file};
    int error = 0;
    const Gif gif(DGifOpen(&source, readBytes, &error));
    if (!gif)
        return refused(error, source, why);
    if (!image::pictureSizeAllowed(gif->SWidth, gif->SHeight))
        return refuseSize(why, gif->SWidth, gif->SHeight);
    int transparent = NO_TRANSPARENT_COLOR;
    if (!findFirstFrame(gif.get(), transparent))
        return refused(gif->Error, source, why);
    if (!frameFitsScreen(gif->Image, *gif))
        return refuseDamaged(why);
    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    if (!map)
        return refuseDamaged(why);
    source.budget = FrameBytesPerPixel * gif->Image.Width * gif->Image.Height + FrameBytesSlack;
    // Starts all zero, so what the frame does not cover is transparent.
    image::Image screen(gif->SWidth, gif->SHeight, image::Format::Argb32);
    if (screen.isNull())
        return refuseDamaged(why);
    if (!readFrame(gif.get(), makePalette(*map, transparent), screen)) {
        if (source.budget == 0 && !source.rest.isEmpty())
            return refuseWork(why,
                              QT_TRANSLATE_NOOP("pictures", "the GIF's data is over %1 bytes, far "
                                                            "more than its pixels need"),
                              FrameBytesPerPixel * gif->Image.Width * gif->Image.Height +
                                  FrameBytesSlack);
        return refused(gif->Error, source, why);
    }
    picture = std::move(screen);
    return true;
}

} // namespace engine::codecs
