#include "Gdi.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include <QImage>

namespace gdi {
namespace {

struct Bitmap {
    std::unique_ptr<QImage> image;
    HDC selectedInto = 0;
};

struct Context {
    QImage* surface = nullptr;
    HBITMAP selected = 0; // 0: the default bitmap or a widget's surface
    bool memory = false;
};

struct Registry {
    std::unordered_map<std::uint32_t, Context> contexts;
    std::unordered_map<std::uint32_t, Bitmap> bitmaps;
    QImage defaultBitmap{1, 1, QImage::Format_RGB32};
    std::uint32_t next = 0x100;
    int live = 0;

    Registry() { defaultBitmap.fill(0xFF000000u); }
    std::uint32_t newHandle() { return next++; }
};

Registry& registry() {
    static Registry r;
    return r;
}

Context* context(HDC dc) {
    auto& contexts = registry().contexts;
    auto it = contexts.find(dc);
    return it == contexts.end() ? nullptr : &it->second;
}

// Moves a copy's start on one axis so neither the destination nor the source
// position is negative, and cuts its length to what both surfaces hold.
void clipAxis(std::int64_t& dst, std::int64_t& src, std::int64_t& length, std::int64_t dstSize,
              std::int64_t srcSize) {
    const std::int64_t shift = std::max({std::int64_t{0}, -dst, -src});
    dst += shift;
    src += shift;
    length -= shift;
    length = std::min({length, dstSize - dst, srcSize - src});
}

template <typename Op>
void combine(QImage& dst, int dx, int dy, const QImage& src, int sx, int sy, int w, int h, Op op) {
    for (int row = 0; row < h; ++row) {
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(sy + row)) + sx;
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(dy + row)) + dx;
        for (int col = 0; col < w; ++col)
            d[col] = 0xFF000000u | (op(d[col], s[col]) & 0x00FFFFFFu);
    }
}

} // namespace

HDC CreateCompatibleDC(HDC reference) {
    if (reference != 0 && !context(reference))
        return 0;
    Registry& r = registry();
    HDC dc = r.newHandle();
    r.contexts[dc] = Context{&r.defaultBitmap, 0, true};
    ++r.live;
    return dc;
}

HBITMAP CreateCompatibleBitmap(HDC reference, std::int32_t width, std::int32_t height) {
    if (!context(reference) || width <= 0 || height <= 0)
        return 0;
    auto image = std::make_unique<QImage>(width, height, QImage::Format_RGB32);
    if (image->isNull())
        return 0;
    image->fill(0xFF000000u);
    Registry& r = registry();
    HBITMAP bmp = r.newHandle();
    r.bitmaps[bmp] = Bitmap{std::move(image), 0};
    ++r.live;
    return bmp;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    Registry& r = registry();
    Context* c = context(dc);
    auto it = r.bitmaps.find(object);
    if (!c || !c->memory || it == r.bitmaps.end() || it->second.selectedInto != 0)
        return 0;
    HGDIOBJ previous = c->selected;
    if (previous != 0)
        r.bitmaps[previous].selectedInto = 0;
    c->selected = object;
    c->surface = it->second.image.get();
    it->second.selectedInto = dc;
    return previous;
}

bool DeleteDC(HDC dc) {
    Registry& r = registry();
    Context* c = context(dc);
    if (!c || !c->memory)
        return false;
    if (c->selected != 0)
        r.bitmaps[c->selected].selectedInto = 0;
    r.contexts.erase(dc);
    --r.live;
    return true;
}

bool DeleteObject(HGDIOBJ object) {
    Registry& r = registry();
    auto it = r.bitmaps.find(object);
    if (it == r.bitmaps.end() || it->second.selectedInto != 0)
        return false;
    r.bitmaps.erase(it);
    --r.live;
    return true;
}

bool BitBlt(HDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            HDC src, std::int32_t srcX, std::int32_t srcY, std::uint32_t rop) {
    QImage* d = SurfaceOf(dst);
    QImage* s = SurfaceOf(src);
    if (!d || !s || d->isNull() || s->isNull())
        return false;
    // Clip against both surfaces in 64 bits so no position can overflow.
    std::int64_t x0 = x, y0 = y, sx0 = srcX, sy0 = srcY, w = width, h = height;
    clipAxis(x0, sx0, w, d->width(), s->width());
    clipAxis(y0, sy0, h, d->height(), s->height());
    if (w <= 0 || h <= 0)
        return true;
    // A copy within one surface reads from a snapshot, so overlaps are safe.
    QImage snapshot;
    const QImage* from = s;
    if (s == d) {
        snapshot = s->copy(static_cast<int>(sx0), static_cast<int>(sy0), static_cast<int>(w),
                           static_cast<int>(h));
        from = &snapshot;
        sx0 = sy0 = 0;
    }
    const int dx = static_cast<int>(x0), dy = static_cast<int>(y0);
    const int fx = static_cast<int>(sx0), fy = static_cast<int>(sy0);
    const int cw = static_cast<int>(w), ch = static_cast<int>(h);
    switch (rop) {
    case SRCCOPY:
        combine(*d, dx, dy, *from, fx, fy, cw, ch, [](QRgb, QRgb b) { return b; });
        return true;
    case SRCAND:
        combine(*d, dx, dy, *from, fx, fy, cw, ch, [](QRgb a, QRgb b) { return a & b; });
        return true;
    case SRCINVERT:
        combine(*d, dx, dy, *from, fx, fy, cw, ch, [](QRgb a, QRgb b) { return a ^ b; });
        return true;
    default:
        return false;
    }
}

int LiveObjectCount() {
    return registry().live;
}

HDC RegisterSurface(QImage* image) {
    Registry& r = registry();
    HDC dc = r.newHandle();
    r.contexts[dc] = Context{image, 0, false};
    return dc;
}

void UnregisterSurface(HDC dc) {
    registry().contexts.erase(dc);
}

QImage* SurfaceOf(HDC dc) {
    Context* c = context(dc);
    return c ? c->surface : nullptr;
}

} // namespace gdi
