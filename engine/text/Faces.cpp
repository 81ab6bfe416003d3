#include "Faces.h"

#include <atomic>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include <QStringList>
#include <hb-ft.h>

#include "engine/files/NativeName.h"
#include "engine/files/ReadFile.h"
#include "engine/text/FontList.h"

#ifdef VELMORA_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include "engine/text/FaceCache.h"
#endif

namespace engine::text {
namespace {

// Joiners, variation selectors and the like draw nothing on their own: a face
// need not have them for a cluster.
bool drawsNothing(char32_t c) {
    return (c >= 0x200B && c <= 0x200F) || (c >= 0x2060 && c <= 0x2064) ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0000 && c <= 0xE0FFF);
}

// Each thread has its own FreeType library and faces, which FreeType and
// HarfBuzz do not share between threads; they go with the thread.
struct Faces {
    FT_Library library = nullptr;
    std::map<std::pair<QByteArray, int>, Face> open;
    Faces() { FT_Init_FreeType(&library); }
    ~Faces() {
        for (auto& [key, face] : open) {
            hb_font_destroy(face.hb);
            FT_Done_Face(face.ft);
        }
        FT_Done_FreeType(library);
    }
};

Faces& faces() {
    thread_local Faces own;
    return own;
}

} // namespace

Face* openFace(const QByteArray& path, int index) {
    Faces& all = faces();
    if (auto it = all.open.find({path, index}); it != all.open.end())
        return &it->second;
    Face face;
    if (!all.library || FT_New_Face(all.library, path.constData(), index, &face.ft) != 0)
        return nullptr;
    face.bold = face.ft->style_flags & FT_STYLE_FLAG_BOLD;
    face.italic = face.ft->style_flags & FT_STYLE_FLAG_ITALIC;
    face.color = FT_HAS_COLOR(face.ft);
    face.hb = hb_ft_font_create_referenced(face.ft);
    // Advances as the hinted, one-bit glyphs are drawn: whole pixels.
    hb_ft_font_set_load_flags(face.hb, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO);
    return &all.open.emplace(std::make_pair(path, index), face).first->second;
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

namespace {

#ifdef VELMORA_FONTCONFIG
FcPattern* patternFor(const QString& family, bool bold, bool italic) {
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(p, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    return p;
}

bool hasFamily(FcPattern* font, const QString& family) {
    FcChar8* name = nullptr;
    for (int k = 0; FcPatternGetString(font, FC_FAMILY, k, &name) == FcResultMatch; ++k)
        if (family.compare(QString::fromUtf8(reinterpret_cast<const char*>(name)),
                           Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

FaceFile fileOf(FcPattern* font) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
        return {};
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    return {QByteArray(reinterpret_cast<const char*>(file)), index};
}

// Whether the face is bold or italic comes from the face itself: fontconfig
// reports the weight and slant it was asked for when it makes them up.
Face* faceOf(const FaceFile& file) {
    return file.path.isEmpty() ? nullptr : openFace(file.path, file.index);
}

std::atomic<bool> remembering{false};

// The installed face of that family, or with `anyFamily` whatever fontconfig
// offers in its place: as fontconfig answered before while nothing it depends
// on has changed, else fontconfig's answer now.
Face* findFace(const QString& family, bool bold, bool italic, bool anyFamily) {
    const FaceQuery query{family, bold, italic, anyFamily};
    const bool remember = remembering;
    if (const std::optional<FaceFile> known =
            remember ? rememberedFace(query) : std::nullopt) {
        if (known->path.isEmpty())
            return nullptr;
        if (Face* face = faceOf(*known))
            return face;
    }
    FcPattern* wanted = patternFor(family, bold, italic);
    FcResult result;
    FcPattern* font = FcFontMatch(nullptr, wanted, &result);
    const FaceFile file =
        font && (anyFamily || hasFamily(font, family)) ? fileOf(font) : FaceFile{};
    if (font)
        FcPatternDestroy(font);
    FcPatternDestroy(wanted);
    if (remember)
        rememberFace(query, file);
    return faceOf(file);
}

// The first font of the sorted set whose characters include those of the
// cluster that draw.
Face* firstWith(FcFontSet* set, std::u32string_view cluster) {
    for (int i = 0; i < set->nfont; ++i) {
        FcCharSet* chars = nullptr;
        if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &chars) != FcResultMatch)
            continue;
        bool all = true;
        for (char32_t c : cluster)
            all = all && (drawsNothing(c) || FcCharSetHasChar(chars, c));
        if (all)
            return faceOf(fileOf(set->fonts[i]));
    }
    return nullptr;
}

Face* searchFallback(const FontSpec& spec, std::u32string_view cluster) {
    Face* found = nullptr;
    FcPattern* wanted = patternFor(spec.family, spec.bold, spec.italic);
    FcResult result;
    if (FcFontSet* set = FcFontSort(nullptr, wanted, FcFalse, nullptr, &result)) {
        found = firstWith(set, cluster);
        if (!found && cluster.size() > 1)
            found = firstWith(set, cluster.substr(0, 1));
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(wanted);
    return found;
}
#else
Face* findFace(const QString&, bool, bool, bool) {
    return nullptr;
}
Face* searchFallback(const FontSpec&, std::u32string_view) {
    return nullptr;
}
#endif

} // namespace

void rememberFaceLookups() {
#ifdef VELMORA_FONTCONFIG
    remembering = true;
#endif
}

bool hasAll(const Face* face, std::u32string_view cluster) {
    for (char32_t c : cluster)
        if (!drawsNothing(c) && FT_Get_Char_Index(face->ft, c) == 0)
            return false;
    return true;
}

// Chosen per face, style and cluster; each cluster is searched for once a thread.
Face* fallbackFace(const FontSpec& spec, std::u32string_view cluster) {
    thread_local std::map<std::tuple<QString, bool, bool, std::u32string>, Face*> known;
    const auto key = std::make_tuple(spec.family, spec.bold, spec.italic, std::u32string(cluster));
    if (auto it = known.find(key); it != known.end())
        return it->second;
    return known[key] = searchFallback(spec, cluster);
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
    thread_local std::map<std::tuple<QString, QString, bool, bool>, Match> known;
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
                face = findFace(name, spec.bold, spec.italic, false);
    }
    const bool named = face != nullptr;
    if (!face)
        face = findFace(spec.family, spec.bold, spec.italic, true);
    Match m{face, face && spec.bold && !face->bold, face && spec.italic && !face->italic, named};
    known[key] = m;
    return m;
}

} // namespace engine::text
