#include "Faces.h"

#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include <QStringList>
#include <hb-ft.h>

#include "engine/files/NativeName.h"
#include "engine/text/FontList.h"

#include "engine/text/SystemFonts.h"

namespace engine::text {

bool drawsNothing(char32_t c) {
    return (c >= 0x200B && c <= 0x200F) || (c >= 0x2060 && c <= 0x2064) ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0000 && c <= 0xE0FFF);
}

namespace {

// Each thread has its own FreeType library and faces, which FreeType and
// HarfBuzz do not share between threads, and its own choices of faces.
struct Faces {
    FT_Library library = nullptr;
    std::map<std::pair<QByteArray, int>, Face> open;
    std::map<std::tuple<QString, QString, bool, bool>, Match> matches;
    std::map<std::tuple<QString, bool, bool, std::u32string>, Face*> fallbacks;
    std::map<std::u32string, Face*> emoji;
    Faces() { FT_Init_FreeType(&library); }
    ~Faces() {
        for (auto& [key, face] : open) {
            hb_font_destroy(face.hb);
            FT_Done_Face(face.ft);
        }
        FT_Done_FreeType(library);
    }
};

Faces*& ownFaces() {
    thread_local Faces* own = nullptr;
    return own;
}

Faces& faces() {
    Faces*& own = ownFaces();
    if (!own) {
        own = new Faces;
        releaseAtThreadEnd(releaseThreadFaces);
    }
    return *own;
}

Face* opened(const QByteArray& key, int index, FT_Face ft, const QByteArray& bytes) {
    Face face;
    face.ft = ft;
    face.bytes = bytes;
    face.bold = ft->style_flags & FT_STYLE_FLAG_BOLD;
    face.italic = ft->style_flags & FT_STYLE_FLAG_ITALIC;
    face.color = FT_HAS_COLOR(ft);
    face.hb = hb_ft_font_create_referenced(ft);
    // Advances as the hinted, one-bit glyphs are drawn: whole pixels.
    hb_ft_font_set_load_flags(face.hb, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO);
    return &faces().open.emplace(std::make_pair(key, index), face).first->second;
}

} // namespace

void releaseThreadFaces() {
    Faces*& own = ownFaces();
    delete own;
    own = nullptr;
}

Face* openedFace(const QByteArray& key, int index) {
    Faces& all = faces();
    const auto it = all.open.find({key, index});
    return it == all.open.end() ? nullptr : &it->second;
}

Face* openFace(const QByteArray& key, int index, const QByteArray& bytes) {
    if (Face* face = openedFace(key, index))
        return face;
    FT_Face ft = nullptr;
    if (!faces().library ||
        FT_New_Memory_Face(faces().library, reinterpret_cast<const FT_Byte*>(bytes.constData()),
                           static_cast<FT_Long>(bytes.size()), index, &ft) != 0)
        return nullptr;
    return opened(key, index, ft, bytes);
}

Face* openFace(const QByteArray& path, int index) {
    if (Face* face = openedFace(path, index))
        return face;
    FT_Face ft = nullptr;
    QByteArray bytes;
    if (!faces().library || !openFaceFile(faces().library, path, index, ft, bytes))
        return nullptr;
    return opened(path, index, ft, bytes);
}

double setSize(Face* face, double pointSize) {
    FT_Face ft = face->ft;
    double scale = 1;
    if (!FT_IS_SCALABLE(ft) && ft->num_fixed_sizes > 0) {
        // The strike nearest above the size asked, else the largest.
        const double ppem = pointSize * 96.0 / 72.0;
        int best = 0;
        for (int i = 1; i < ft->num_fixed_sizes; ++i) {
            const double have = ft->available_sizes[i].y_ppem / 64.0,
                         chosen = ft->available_sizes[best].y_ppem / 64.0;
            if ((chosen < ppem && have > chosen) || (have >= ppem && have < chosen))
                best = i;
        }
        FT_Select_Size(ft, best);
        scale = ppem / (ft->available_sizes[best].y_ppem / 64.0);
    } else {
        FT_Set_Char_Size(ft, 0, static_cast<FT_F26Dot6>(std::lround(pointSize * 64)), 96, 96);
    }
    hb_ft_font_changed(face->hb);
    return scale;
}

bool hasAll(const Face* face, std::u32string_view cluster) {
    for (char32_t c : cluster)
        if (!drawsNothing(c) && FT_Get_Char_Index(face->ft, c) == 0)
            return false;
    return true;
}

// Chosen per face, style and cluster; each cluster is searched for once a thread.
Face* fallbackFace(const FontSpec& spec, std::u32string_view cluster) {
    auto& known = faces().fallbacks;
    const auto key = std::make_tuple(spec.family, spec.bold, spec.italic, std::u32string(cluster));
    if (auto it = known.find(key); it != known.end())
        return it->second;
    return known[key] = systemFallback(spec, cluster);
}

Face* emojiFace(std::u32string_view cluster) {
    auto& known = faces().emoji;
    const std::u32string key(cluster);
    if (auto it = known.find(key); it != known.end())
        return it->second;
    return known[key] = systemEmojiFace(cluster);
}

// The kana, ideographs, CJK punctuation and full-width forms.
bool isFullWidth(char32_t c) {
    static constexpr std::pair<char32_t, char32_t> ranges[] = {
        {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},
        {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},
        {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD},
        {0x30000, 0x3FFFD},
    };
    for (const auto& [first, last] : ranges)
        if (c >= first && c <= last)
            return true;
    return false;
}

Match match(const FontSpec& spec) {
    auto& known = faces().matches;
    const auto key = std::make_tuple(spec.family, spec.file, spec.bold, spec.italic);
    if (auto it = known.find(key); it != known.end())
        return it->second;
    Face* face = nullptr;
    if (!spec.file.isEmpty()) {
        face = openFace(files::encodeNativeName(spec.file), 0);
    } else {
        QStringList candidates{spec.family};
        candidates += classicFaceSubstitutes(spec.family);
        for (const QString& name : candidates)
            if (!face)
                face = systemFace(name, spec.bold, spec.italic, false);
    }
    const bool named = face != nullptr;
    if (!face)
        face = systemFace(spec.family, spec.bold, spec.italic, true);
    Match m{face, face && spec.bold && !face->bold, face && spec.italic && !face->italic, named};
    known[key] = m;
    return m;
}

} // namespace engine::text
