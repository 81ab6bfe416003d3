#include "Decoders.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

#include "engine/image/Limits.h"

namespace engine::codecs {
namespace {

// The file's bytes not yet read.
struct Source {
    QByteArrayView rest;
};

int readBytes(GifFileType* gif, GifByteType* data, int length) {
    auto* source = static_cast<Source*>(gif->UserData);
    const int n = static_cast<int>(std::min<qsizetype>(length, source->rest.size()));
    std::memcpy(data, source->rest.data(), static_cast<size_t>(n));
    source->rest = source->rest.sliced(n);
    return n;
}

struct CloseGif {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using Gif = std::unique_ptr<GifFileType, CloseGif>;

// The transparent colour a graphics control extension names, or -1. Other
// extensions (comments, application data) are passed over.
bool readExtension(GifFileType* gif, int& transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock control;
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            transparent = control.TransparentColor;
    }
    while (block)
        if (DGifGetExtensionNext(gif, &block) != GIF_OK)
            return false;
    return true;
}

// The rows in the order an interlaced frame stores them: every 8th from 0,
// every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < height; y += step)
            rows.push_back(y);
    return rows;
}

// The first frame's indexes turned into colours on the transparent screen.
bool readFrame(GifFileType* gif, int transparent, image::Image& screen) {
    if (DGifGetImageDesc(gif) != GIF_OK)
        return false;
    const GifImageDesc& d = gif->Image;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map || d.Width <= 0 || d.Height <= 0 || d.Left < 0 || d.Top < 0 ||
        std::int64_t(d.Left) + d.Width > screen.width() ||
        std::int64_t(d.Top) + d.Height > screen.height())
        return false;
    std::vector<GifPixelType> line(static_cast<size_t>(d.Width));
    for (const int y : rowOrder(d.Height, d.Interlace)) {
        if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK)
            return false;
        auto* out = reinterpret_cast<image::Rgb*>(screen.scanLine(d.Top + y)) + d.Left;
        for (int x = 0; x < d.Width; ++x) {
            const int i = line[static_cast<size_t>(x)];
            if (i == transparent)
                continue;
            const GifColorType c = i < map->ColorCount ? map->Colors[i] : GifColorType{0, 0, 0};
            out[x] = image::rgb(c.Red, c.Green, c.Blue);
        }
    }
    return true;
}

} // namespace

bool decodeGif(QByteArrayView file, image::Image& picture) {
    Source source{file};
    int error = 0;
    const Gif gif(DGifOpen(&source, readBytes, &error));
    if (!gif || !image::pictureSizeAllowed(gif->SWidth, gif->SHeight))
        return false;
    // Starts all transparent: what the frame does not cover stays so.
    image::Image screen(gif->SWidth, gif->SHeight, image::Format::Argb32);
    if (screen.isNull())
        return false;
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) != GIF_OK)
            return false;
        if (record == EXTENSION_RECORD_TYPE) {
            if (!readExtension(gif.get(), transparent))
                return false;
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            if (!readFrame(gif.get(), transparent, screen))
                return false;
            picture = std::move(screen);
            return true;
        } else {
            return false; // the end, or nonsense, before any frame
        }
    }
}

} // namespace engine::codecs
