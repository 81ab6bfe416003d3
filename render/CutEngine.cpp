#include "CutEngine.h"

#include <QPainter>

#include "TilePlan.h"
#include "basGrphc.h"
#include "platform/PictureLimits.h"
#include "platform/TextDrawing.h"

namespace cutengine {
namespace {

// A surface the gdi layer can reach for the length of one rendering.
class Surface {
  public:
    explicit Surface(QImage image)
        : m_image(std::move(image)), m_dc(gdi::RegisterSurface(&m_image)) {}
    ~Surface() { gdi::UnregisterSurface(m_dc); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    gdi::HDC dc() const { return m_dc; }
    QImage& image() { return m_image; }

  private:
    QImage m_image;
    gdi::HDC m_dc;
};

void tile(gdi::HDC work, std::int32_t W, std::int32_t H, gdi::HDC pattern, std::int32_t PW,
          std::int32_t PH) {
    for (const TileCopy& copy : PlanTiles(W, H, PW, PH))
        gdi::BitBlt(work, copy.x, copy.y, copy.width, copy.height, pattern, 0, 0, gdi::SRCCOPY);
}

QImage filled(int W, int H, QRgb color) {
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// The tiled pattern over a black W x H surface, as the window's work surface holds it.
QImage tiled(const QImage& picture, int W, int H) {
    Surface pattern(HolderPattern(picture));
    Surface tiles(filled(W, H, 0xFF000000u));
    tile(tiles.dc(), W, H, pattern.dc(), pattern.image().width(), pattern.image().height());
    return tiles.image();
}

// The window's (P AND M1) XOR M2 with pure masks: the pattern where the letters
// are, the ground elsewhere. Smooth edges blend the two by the glyphs' coverage;
// with a transparent ground the coverage is the alpha.
QImage compose(const Letters& l, const QImage& cover, QImage tiles) {
    const int W = tiles.width(), H = tiles.height();
    const QRgb ground = platform::toRgb32(l.ground);
    QImage out = l.transparent ? QImage(W, H, QImage::Format_ARGB32) : std::move(tiles);
    for (int y = 0; y < H; ++y) {
        const uchar* c = cover.constScanLine(y);
        const auto* p = reinterpret_cast<const QRgb*>(l.transparent ? tiles.constScanLine(y)
                                                                    : out.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const int a = c[x];
            if (l.transparent)
                o[x] = a ? (p[x] & 0xFFFFFFu) | QRgb(a) << 24 : 0u;
            else if (a == 0)
                o[x] = ground;
            else if (a < 255) {
                const auto mix = [a](int fg, int bg) {
                    return (fg * a + bg * (255 - a) + 127) / 255;
                };
                o[x] = qRgb(mix(qRed(p[x]), qRed(ground)), mix(qGreen(p[x]), qGreen(ground)),
                            mix(qBlue(p[x]), qBlue(ground)));
            }
        }
    }
    return out;
}

// A pattern of at most 255 colours as indexes, or a null image.
QImage indexedPattern(const QImage& pattern) {
    QList<QRgb> table;
    QImage indexed(pattern.size(), QImage::Format_Indexed8);
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < pattern.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(pattern.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < pattern.width(); ++x) {
            if (lastIndex < 0 || in[x] != last) {
                last = in[x];
                lastIndex = static_cast<int>(table.indexOf(last));
                if (lastIndex < 0) {
                    if (table.size() == 255)
                        return QImage();
                    lastIndex = static_cast<int>(table.size());
                    table.append(last);
                }
            }
            out[x] = static_cast<uchar>(lastIndex);
        }
    }
    indexed.setColorTable(table);
    return indexed;
}

// Hard edges over a pattern of few colours: the same pixels as compose()
// gives, as colour indexes, a quarter of the memory and no colour counting
// when the image is written as PNG.
QImage composeIndexed(const Letters& l, const QImage& cover, const QImage& pattern) {
    const int W = cover.width(), H = cover.height();
    const int PW = pattern.width(), PH = pattern.height();
    // Letters over an empty pattern are black.
    QList<QRgb> table = PW && PH ? pattern.colorTable() : QList<QRgb>{0xFF000000u};
    const auto ground = static_cast<uchar>(table.size());
    table.append(l.transparent ? 0u : platform::toRgb32(l.ground));
    QImage out(W, H, QImage::Format_Indexed8);
    out.setColorTable(table);
    for (int y = 0; y < H; ++y) {
        const uchar* c = cover.constScanLine(y);
        const uchar* p = PW && PH ? pattern.constScanLine(y % PH) : nullptr;
        uchar* o = out.scanLine(y);
        for (int x = 0, px = 0; x < W; ++x, px = px + 1 == PW ? 0 : px + 1)
            o[x] = !c[x] ? ground : p ? p[px] : 0;
    }
    return out;
}

} // namespace

QFont MakeFont(const QString& face, double pointSize, bool bold, bool italic) {
    QFont font;
    font.setFamily(face);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QString SizeRefusal(std::int64_t W, std::int64_t H) {
    // The same bounds as for pattern pictures; an empty text is no refusal.
    if (W <= platform::MaxPictureSide && H <= platform::MaxPictureSide &&
        W * H * 4 <= platform::MaxPictureBytes)
        return QString();
    return QStringLiteral("文字の画像が大きすぎます（%1 × %2 ピクセル）。\r\n"
                          "文字を短くするか、サイズを小さくしてください。")
        .arg(W)
        .arg(H);
}

QImage HolderPattern(const QImage& picture) {
    QImage pattern = filled(picture.width(), picture.height(), platform::toRgb32(0x80000005u));
    if (!pattern.isNull()) {
        QPainter p(&pattern);
        p.drawImage(0, 0, picture);
    }
    return pattern;
}

bool Render(const Letters& letters, QImage& image, QSize& size) {
    size = textdrawing::measureText(letters.text, letters.font);
    if (!SizeRefusal(size.width(), size.height()).isEmpty())
        return false;
    if (size.isEmpty()) {
        image = QImage();
        return true;
    }
    const QImage cover = letters.smooth ? textdrawing::coverage(letters.text, letters.font, size)
                                        : textdrawing::mask(letters.text, letters.font, size);
    if (!letters.smooth) {
        if (const QImage pattern = indexedPattern(HolderPattern(letters.pattern));
            !pattern.isNull() || letters.pattern.isNull()) {
            image = composeIndexed(letters, cover, pattern);
            return true;
        }
    }
    image = compose(letters, cover, tiled(letters.pattern, size.width(), size.height()));
    return true;
}

void CutPattern(gdi::HDC board, std::int32_t W, std::int32_t H, gdi::HDC pattern, std::int32_t PW,
                std::int32_t PH, gdi::HDC mask) {
    gdi::HDC workDC = 0;
    gdi::HBITMAP workBitmap = 0;
    CreateWorkBitmap(board, W, H, workDC, workBitmap);
    tile(workDC, W, H, pattern, PW, PH);
    gdi::BitBlt(workDC, 0, 0, W, H, mask, 0, 0, gdi::SRCAND);
    gdi::BitBlt(board, 0, 0, W, H, workDC, 0, 0, gdi::SRCCOPY);
    DeleteWorkBitmap(workDC, workBitmap);
}

} // namespace cutengine
