#include "Faces.h"

namespace engine::text {

bool openFaceFile(FT_Library library, const QByteArray& path, int index, FT_Face& face,
                  QByteArray&) {
    return FT_New_Face(library, path.constData(), index, &face) == 0;
}

void releaseAtThreadEnd(void (*release)()) {
    struct AtEnd {
        void (*release)() = nullptr;
        ~AtEnd() {
            if (release)
                release();
        }
    };
    thread_local AtEnd atEnd;
    atEnd.release = release;
}

} // namespace engine::text
