#include "Drawing.h"

#include "engine/text/TextDrawing.h"

namespace engine::cut {

bool draw(const Request& request, Drawing& out) {
    const text::Letters letters(request.text, request.font, request.smooth);
    out = Drawing();
    out.size = letters.size();
    if (!textSizeAllowed(out.size.width(), out.size.height()))
        return false;
    out.ground = image::rgbOf(request.ground);
    out.transparent = request.transparent;
    if (out.size.isEmpty())
        return true;
    out.letters = letters.shapes();
    // As render() takes it: only the part the image shows, opaque.
    if (request.pattern && request.pattern->width() > 0 && request.pattern->height() > 0)
        out.pattern = holderPattern(request.pattern->copied(out.size.width(), out.size.height()));
    return true;
}

} // namespace engine::cut
