#pragma once

#include <functional>
#include <variant>

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>

#include "engine/image/Image.h"
#include "engine/image/Rows.h"

namespace engine::cut {
struct Drawing;
}

// Every picture the program reads and every file it writes. Readers choose
// the format by content; writers take any layout. Each call returns false when
// it fails; writers then say why in the user's language through `why`.
namespace engine::codecs {

// How much of a picture of the given size, from its top-left corner, is ever
// shown; an invalid size for all of it. Where it is given, a PNG that is not
// interlaced and a JPEG are decoded only that far and come cut to it (at least
// a pixel each way): what the file holds after it is not read.
using ShownPart = std::function<QSize(QSize)>;

// A BMP, ICO (or CUR), JPEG, GIF or PNG picture from its bytes: the first
// frame of an animation, the largest image of an icon. Anything else is
// refused, as are pictures with no pixels, sides above 32,767, more than
// 256 MiB of pixels, and files beyond the limits on their work; `why` then
// says which, in the user's language.
bool decodePicture(QByteArrayView data, image::Image& picture, QString* why = nullptr,
                   const ShownPart& shown = {});

// The same for a file, read whole up to the largest file a picture can need.
bool loadPicture(const QString& fileName, image::Image& picture, QString* why = nullptr);

// A pattern picture as the pattern holder takes it. A name ending in ".png"
// (any case) must start with the PNG signature, and its header's size is
// checked before any pixel is decoded. Any other name is read by its content.
// False, with `picture` untouched and `why` saying why, when it cannot be used.
bool loadPattern(const QString& fileName, image::Image& picture, QString* why = nullptr,
                 const ShownPart& shown = {});

// 24-bit Windows bitmap, bottom-up; transparency laid over black.
bool encodeBmp(const image::Image& picture, QByteArray& out, QString* why = nullptr);

// `rate` 1..100, a higher rate giving a smaller file; `progressive` a
// progressive JPEG. Full colour resolution, transparency laid over black.
bool encodeJpeg(const image::Image& picture, int rate, bool progressive, QByteArray& out,
                QString* why = nullptr);

// Starts, once, the threads that compress a large PNG's rows beside the
// writing thread. Called early where PNGs are to be written, it has them
// running when the first is: a thread started only then may first run
// milliseconds later, the work done without it.
void startCompressorThreads();

// `level` 1 fastest, 0 balanced, 2 smallest. Pictures of at most 256 colours
// give an indexed PNG of the smallest bit depth that holds them, the colours
// in the order the rows first meet them; transparency (Argb32) is kept.
bool encodePng(const image::Image& picture, int level, QByteArray& out, QString* why = nullptr);

// The same writers over rows made as they are written: no whole image is
// held beside the file (the PNG writer may ask for each row twice).
bool encodeBmp(const image::Rows& picture, QByteArray& out, QString* why = nullptr);
bool encodeJpeg(const image::Rows& picture, int rate, bool progressive, QByteArray& out,
                QString* why = nullptr);
bool encodePng(const image::Rows& picture, int level, QByteArray& out, QString* why = nullptr);

enum class ImageFormat { Bmp, Jpeg, Png };

struct EncodeOptions {
    int jpegRate;
    bool progressive;
    int pngLevel;
};

// The picture as a file of that format, with the options that format takes:
// the one way the window and velmora-cut write their images.
bool encode(const image::Image& picture, ImageFormat format, const EncodeOptions& options,
            QByteArray& out, QString* why = nullptr);
bool encode(const image::Rows& picture, ImageFormat format, const EncodeOptions& options,
            QByteArray& out, QString* why = nullptr);

enum class VectorFormat { Svg, Pdf };

// What a save or an output name asks for: pixels in a picture format, or the
// letters as shapes.
using OutputFormat = std::variant<ImageFormat, VectorFormat>;

// PNG, SVG and PDF hold a transparent ground; BMP and JPEG do not.
bool holdsTransparency(const OutputFormat& format);

// The cut letters of a drawing as SVG 1.1 or PDF 1.4, the page exactly the
// image's size at 96 dots per inch: the letters' outlines in one path filled
// with the pattern, which is embedded once as a PNG of that `pngLevel` and
// tiled from the top-left corner; glyphs without an outline as masks of that
// fill; the ground one rectangle under them, unless transparent. No fonts are
// embedded, and the same drawing gives the same bytes.
bool encodeVector(const cut::Drawing& drawing, VectorFormat format, int pngLevel, QByteArray& out,
                  QString* why = nullptr);

} // namespace engine::codecs
