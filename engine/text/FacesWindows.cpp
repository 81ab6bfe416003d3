#include "Faces.h"

#include "engine/files/NativeName.h"
#include "engine/files/ReadFile.h"

namespace engine::text {

// FreeType opens files by their names in the ANSI code page: read by the whole
// name instead.
bool openFaceFile(FT_Library library, const QByteArray& path, int index, FT_Face& face,
                  QByteArray& bytes) {
    constexpr qint64 MaxFontFileBytes = 1LL << 30;
    return files::readWholeFile(files::decodeNativeName(path), MaxFontFileBytes, bytes) &&
           FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.constData()),
                              static_cast<FT_Long>(bytes.size()), index, &face) == 0;
}

// MinGW may free a thread's storage before it runs the thread's destructors: a
// thread's faces go by releaseThreadFaces() instead, or with the process.
void releaseAtThreadEnd(void (*)()) {}

} // namespace engine::text
