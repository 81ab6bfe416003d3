#include "GlyphEngine.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include <QRegularExpression>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include <hb-ft.h>
#include <hb.h>

#include "engine/files/NativeName.h"
#include "engine/files/ReadFile.h"
#include "engine/text/FontList.h"

#ifdef VELMORA_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace engine::text {
namespace {

struct Face {
    FT_Face ft = nullptr;
    hb_font_t* hb = nullptr;
    bool bold = false;   // the face's own weight is bold
    bool italic = false; // the face's own letters slant
};

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        FT_Init_FreeType(&l);
        return l;
    }();
    return lib;
}

// Faces stay open for the life of the process; each is opened once.
Face* openFace(const QByteArray& path, int index) {
    static auto* faces = new std::map<std::pair<QByteArray, int>, std::unique_ptr<Face>>;
    auto& slot = (*faces)[{path, index}];
    if (!slot) {
        auto face = std::make_unique<Face>();
        if (!library() || FT_New_Face(library(), path.constData(), index, &face->ft) != 0)
            return nullptr;
        face->bold = face->ft->style_flags & FT_STYLE_FLAG_BOLD;
        face->italic = face->ft->style_flags & FT_STYLE_FLAG_ITALIC;
        face->hb = hb_ft_font_create_referenced(face->ft);
        // Advances as the hinted, one-bit glyphs are drawn: whole pixels.
        hb_ft_font_set_load_flags(face->hb, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO);
        slot = std::move(face);
    }
    return slot.get();
}

// Sizes are set at each use: one face serves every size.
void setSize(Face* face, double pointSize) {
    FT_Set_Char_Size(face->ft, 0, static_cast<FT_F26Dot6>(std::lround(pointSize * 64)), 96, 96);
    hb_ft_font_changed(face->hb);
}

struct Match {
    Face* face = nullptr;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    bool named = false; // the face is the file, the family or a classic face's stand-in
};

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

Face* faceOf(FcPattern* font) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
        return nullptr;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    // Whether the face is bold or italic comes from the face itself: fontconfig
    // reports the weight and slant it was asked for when it makes them up.
    return openFace(QByteArray(reinterpret_cast<const char*>(file)), index);
}

// The installed face of that family, or with `anyFamily` whatever fontconfig
// offers in its place.
Face* findFace(const QString& family, bool bold, bool italic, bool anyFamily) {
    FcPattern* wanted = patternFor(family, bold, italic);
    FcResult result;
    FcPattern* font = FcFontMatch(nullptr, wanted, &result);
    Face* face = font && (anyFamily || hasFamily(font, family)) ? faceOf(font) : nullptr;
    if (font)
        FcPatternDestroy(font);
    FcPatternDestroy(wanted);
    return face;
}

// A face that has the character, in fontconfig's order of preference.
Face* fallbackFace(const FontSpec& spec, char32_t c) {
    static std::map<std::tuple<QString, bool, bool, char32_t>, Face*> known;
    const auto key = std::make_tuple(spec.family, spec.bold, spec.italic, c);
    if (auto it = known.find(key); it != known.end())
        return it->second;
    Face* found = nullptr;
    FcPattern* wanted = patternFor(spec.family, spec.bold, spec.italic);
    FcResult result;
    if (FcFontSet* set = FcFontSort(nullptr, wanted, FcFalse, nullptr, &result)) {
        for (int i = 0; i < set->nfont && !found; ++i) {
            FcCharSet* chars = nullptr;
            if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &chars) == FcResultMatch &&
                FcCharSetHasChar(chars, c))
                found = faceOf(set->fonts[i]);
        }
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(wanted);
    known[key] = found;
    return found;
}
#else
Face* findFace(const QString&, bool, bool, bool) {
    return nullptr;
}
Face* fallbackFace(const FontSpec&, char32_t) {
    return nullptr;
}
#endif

// "@" + a family name draws that family's letters turned for vertical writing,
// as the Windows vertical-writing faces do.
bool isVertical(const FontSpec& spec) {
    return spec.family.startsWith(u'@') && !files::isRegularFile(spec.family);
}

FontSpec plain(FontSpec spec) {
    spec.family.remove(0, 1);
    return spec;
}

// Characters a vertical face turns: the East Asian Wide and Fullwidth ranges,
// which hold the kana, ideographs, CJK punctuation and full-width forms.
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

// The family itself, the faces that stand in for a classic Windows face, and
// at last whatever the font system offers.
Match match(const FontSpec& spec) {
    if (isVertical(spec))
        return match(plain(spec));
    static std::map<std::tuple<QString, bool, bool>, Match> known;
    const auto key = std::make_tuple(spec.family, spec.bold, spec.italic);
    if (auto it = known.find(key); it != known.end())
        return it->second;
    Face* face = nullptr;
    if (files::isRegularFile(spec.family))
        face = openFace(files::encodeNativeName(spec.family), 0);
    QStringList candidates{spec.family};
    candidates += classicFaceSubstitutes(spec.family);
    for (const QString& name : candidates)
        if (!face)
            face = findFace(name, spec.bold, spec.italic, false);
    const bool named = face != nullptr;
    if (!face)
        face = findFace(spec.family, spec.bold, spec.italic, true);
    Match m{face, face && spec.bold && !face->bold, face && spec.italic && !face->italic, named};
    known[key] = m;
    return m;
}

struct Placed {
    Face* face;
    unsigned glyph;
    FT_Pos x;         // 26.6 pixels from the line's start
    FT_Pos y;         // 26.6 pixels above the baseline; turned: the glyph's top
    FT_Pos width = 0; // turned: the glyph's horizontal advance
    bool turned = false;
};

struct Line {
    std::vector<Placed> glyphs;
    FT_Pos advance = 0; // 26.6
    int ascent = 0;
    int descent = 0;
};

// A turned glyph's place in its column: the top of its cell in glyph space and
// the cell's height, from the font's vertical metrics, else the line's.
std::pair<FT_Pos, FT_Pos> verticalCell(Face* face, unsigned glyph, const Line& line) {
    const FT_Pos lineTop = FT_Pos(line.ascent) * 64,
                 lineHeight = FT_Pos(line.ascent + line.descent) * 64;
    if (!FT_HAS_VERTICAL(face->ft) ||
        FT_Load_Glyph(face->ft, glyph,
                      FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO | FT_LOAD_VERTICAL_LAYOUT) != 0)
        return {lineTop, lineHeight};
    const FT_Glyph_Metrics& metrics = face->ft->glyph->metrics;
    return {metrics.horiBearingY + metrics.vertBearingY, metrics.vertAdvance};
}

// Each character goes to the first face that has it; runs of one face are
// shaped together. A vertical face turns its full-width characters, which
// take their vertical forms first.
Line layout(const QString& text, const FontSpec& requested, int extraAdvance) {
    Line line;
    const bool vertical = isVertical(requested);
    const FontSpec spec = vertical ? plain(requested) : requested;
    const Match m = match(spec);
    // No picture is that tall: give the height it would take, which the callers
    // refuse, rather than ask FreeType for a size it cannot make.
    const double ppem = spec.pointSize * 96.0 / 72.0;
    if (!(ppem <= 32767)) {
        line.ascent = static_cast<int>(std::min(std::ceil(ppem), 1e9));
        return line;
    }
    if (!m.face)
        return line;
    setSize(m.face, spec.pointSize);
    const FT_Size_Metrics& metrics = m.face->ft->size->metrics;
    line.ascent = static_cast<int>((metrics.ascender + 63) >> 6);
    line.descent = static_cast<int>((-metrics.descender + 63) >> 6);

    const QList<uint> chars = text.toUcs4();
    const auto n = static_cast<size_t>(chars.size());
    std::vector<Face*> faceOf(n, m.face);
    std::vector<bool> turned(n, false);
    for (size_t i = 0; i < n; ++i) {
        turned[i] = vertical && isFullWidth(chars[static_cast<qsizetype>(i)]);
        if (FT_Get_Char_Index(m.face->ft, chars[static_cast<qsizetype>(i)]) != 0 ||
            chars[static_cast<qsizetype>(i)] < 0x20)
            continue;
        if (Face* other = fallbackFace(spec, chars[static_cast<qsizetype>(i)]))
            faceOf[i] = other;
    }
    static const hb_feature_t verticalForms[] = {
        {HB_TAG('v', 'e', 'r', 't'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('v', 'r', 't', '2'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    };
    hb_buffer_t* buffer = hb_buffer_create();
    for (size_t start = 0; start < n;) {
        Face* face = faceOf[start];
        const bool turn = turned[start];
        size_t end = start + 1;
        while (end < n && faceOf[end] == face && turned[end] == turn)
            ++end;
        setSize(face, spec.pointSize);
        hb_buffer_clear_contents(buffer);
        hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(chars.constData()),
                            static_cast<int>(n), static_cast<unsigned>(start),
                            static_cast<int>(end - start));
        hb_buffer_guess_segment_properties(buffer);
        hb_shape(face->hb, buffer, turn ? verticalForms : nullptr, turn ? 2 : 0);
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
        for (unsigned g = 0; g < count; ++g) {
            if (turn) {
                const auto [top, height] = verticalCell(face, info[g].codepoint, line);
                line.glyphs.push_back(
                    {face, info[g].codepoint, line.advance, top, pos[g].x_advance, true});
                line.advance += height + FT_Pos(extraAdvance) * 64;
                continue;
            }
            line.glyphs.push_back(
                {face, info[g].codepoint, line.advance + pos[g].x_offset, pos[g].y_offset});
            line.advance += pos[g].x_advance + FT_Pos(extraAdvance) * 64;
        }
        start = end;
    }
    hb_buffer_destroy(buffer);
    return line;
}

// Coverage of a rendered glyph's pixel: one-bit bitmaps are all or nothing.
uchar sample(const FT_Bitmap& bitmap, int row, int col) {
    const unsigned char* in = bitmap.buffer + row * bitmap.pitch;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        return static_cast<uchar>(((in[col >> 3] >> (7 - (col & 7))) & 1) * 255);
    return in[col];
}

// Copies one rendered glyph into the grey cover, keeping the larger value.
void blit(image::Image& cover, const FT_Bitmap& bitmap, int left, int top) {
    const int width = cover.width(), height = cover.height();
    const int rows = static_cast<int>(bitmap.rows), cols = static_cast<int>(bitmap.width);
    const int from = std::max(0, -left), to = std::min(cols, width - left);
    for (int row = std::max(0, -top); row < rows && top + row < height; ++row) {
        uchar* out = cover.scanLine(top + row) + left;
        for (int col = from; col < to; ++col)
            out[col] = std::max(out[col], sample(bitmap, row, col));
    }
}

// The same for a glyph turned 90 degrees counter-clockwise: the bitmap's row r,
// column c lands on (left + r, bottom - c).
void blitTurned(image::Image& cover, const FT_Bitmap& bitmap, int left, int bottom) {
    for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
        const int x = left + row;
        if (x < 0 || x >= cover.width())
            continue;
        for (int col = 0; col < static_cast<int>(bitmap.width); ++col) {
            const int y = bottom - col;
            if (y < 0 || y >= cover.height())
                continue;
            uchar& out = cover.scanLine(y)[x];
            out = std::max(out, sample(bitmap, row, col));
        }
    }
}

} // namespace

void shutdown() {
#ifdef VELMORA_FONTCONFIG
    FcFini();
#endif
}

bool looksLikeFontFile(const QString& name) {
    static const QRegularExpression fontFile(
        QStringLiteral("\\.(ttf|otf|ttc|otc|pfa|pfb|pcf|woff2?)$"),
        QRegularExpression::CaseInsensitiveOption);
    return name.contains(u'/') || fontFile.match(name).hasMatch() || files::isRegularFile(name);
}

bool isInstalled(const FontSpec& font) {
    return match(font).named;
}

bool isFontFile(const QString& path) {
    return openFace(files::encodeNativeName(path), 0) != nullptr;
}

QString faceName(const FontSpec& font) {
    const Match m = match(font);
    if (!m.face || !m.face->ft->family_name)
        return QString();
    const QString family = displayName(QString::fromUtf8(m.face->ft->family_name));
    return isVertical(font) ? u'@' + family : family;
}

Resolved resolve(const FontSpec& font) {
    return {match(font).syntheticBold, font.pointSize * 96.0 / 72.0};
}

QSize measure(const QString& text, const FontSpec& font, int extraAdvance) {
    const Line line = layout(text, font, extraAdvance);
    return QSize(static_cast<int>((line.advance + 32) >> 6), line.ascent + line.descent);
}

int draw(image::Image& cover, int x, int y, const QString& text, const FontSpec& font, bool smooth,
         int extraAdvance) {
    const Line line = layout(text, font, extraAdvance);
    const Match m = match(font);
    const FT_Int32 load = smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
    const FT_Render_Mode mode = smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
    const Face* sized = nullptr;
    for (const Placed& g : line.glyphs) {
        FT_Face ft = g.face->ft;
        if (g.face != sized) // a size is set once for each run of one face
            setSize(g.face, font.pointSize);
        sized = g.face;
        const bool oblique = m.syntheticItalic && !g.face->italic;
        if (FT_Load_Glyph(ft, g.glyph,
                          FT_LOAD_DEFAULT | load | (oblique ? FT_LOAD_NO_BITMAP : 0)) != 0)
            continue;
        // Slanted after hinting, as FreeType's own oblique does: a slant set
        // before loading changes how some fonts' hints shape the strokes.
        if (oblique)
            FT_GlyphSlot_Oblique(ft->glyph);
        if (FT_Render_Glyph(ft->glyph, mode) != 0)
            continue;
        const FT_GlyphSlot slot = ft->glyph;
        if (g.turned) {
            // The glyph's top at its cell's left, its middle across the line's.
            const FT_Pos middle = FT_Pos(line.ascent + line.descent) * 32 + g.width / 2;
            blitTurned(cover, slot->bitmap,
                       x + static_cast<int>((g.x + g.y + 32) >> 6) - slot->bitmap_top,
                       y + static_cast<int>((middle + 32) >> 6) - slot->bitmap_left - 1);
            continue;
        }
        blit(cover, slot->bitmap, x + static_cast<int>((g.x + 32) >> 6) + slot->bitmap_left,
             y + line.ascent - static_cast<int>((g.y + 32) >> 6) - slot->bitmap_top);
    }
    return line.ascent + line.descent;
}

} // namespace engine::text
