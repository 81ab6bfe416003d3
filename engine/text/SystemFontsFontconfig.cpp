#include "engine/text/SystemFonts.h"

#include <atomic>
#include <clocale>
#include <optional>
#include <set>

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>
#include <QStringList>
#include <locale.h>

#include "engine/text/FaceCache.h"
#include "engine/text/GlyphEngine.h"

// The font system of Linux and the other Unix systems: fontconfig.
namespace engine::text {
namespace {

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

struct FcName {
    QString primary; // the family name fontconfig lists first, which its language decides
    QString shown;   // Japanese name if the family has one, else the primary
    QStringList all; // every name of the family, in any language
};

// Picks the Japanese family name of a fontconfig pattern where there is one.
FcName namesOf(FcPattern* pattern) {
    FcName names;
    FcChar8* value = nullptr;
    bool japanese = false;
    for (int k = 0; FcPatternGetString(pattern, FC_FAMILY, k, &value) == FcResultMatch; ++k) {
        const QString family = QString::fromUtf8(reinterpret_cast<const char*>(value));
        names.all.append(family);
        if (k == 0)
            names.primary = names.shown = family;
        FcChar8* lang = nullptr;
        if (!japanese && FcPatternGetString(pattern, FC_FAMILYLANG, k, &lang) == FcResultMatch &&
            QByteArray(reinterpret_cast<const char*>(lang)).startsWith("ja")) {
            names.shown = family;
            japanese = true;
        }
    }
    return names;
}

template <typename Visit> void forEachPattern(Visit visit) {
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_OUTLINE, FC_FILE, FC_INDEX, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    if (set) {
        for (int i = 0; i < set->nfont; ++i)
            visit(set->fonts[i]);
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
}

// Whether the font's substitutions hold vertical forms (OpenType vert or vrt2).
bool hasVerticalForms(FcPattern* pattern) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch)
        return false;
    FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
    hb_blob_t* blob = hb_blob_create_from_file(reinterpret_cast<const char*>(file));
    hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(index));
    bool found = false;
    hb_tag_t tags[64];
    unsigned count = 64;
    for (unsigned start = 0; !found && count == 64; start += count) {
        count = 64;
        hb_ot_layout_table_get_feature_tags(face, HB_OT_TAG_GSUB, start, &count, tags);
        for (unsigned i = 0; i < count; ++i)
            found = found || tags[i] == HB_TAG('v', 'e', 'r', 't') ||
                    tags[i] == HB_TAG('v', 'r', 't', '2');
    }
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return found;
}
std::vector<FontFamily> listFamilies() {
    std::vector<FontFamily> families;
    std::set<QString> seen;
    forEachPattern([&](FcPattern* pattern) {
        FcName names = namesOf(pattern);
        if (names.primary.isEmpty() || !seen.insert(names.primary).second)
            return;
        FcBool outline = FcFalse;
        FcPatternGetBool(pattern, FC_OUTLINE, 0, &outline);
        families.push_back(
            {names.shown, outline == FcTrue, outline == FcTrue && hasVerticalForms(pattern)});
    });
    return families;
}

} // namespace

// As fontconfig answered before while nothing it depends on has changed, else
// fontconfig's answer now.
Face* systemFace(const QString& family, bool bold, bool italic, bool anyFamily) {
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

Face* systemFallback(const FontSpec& spec, std::u32string_view cluster) {
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

Face* systemEmojiFace(std::u32string_view cluster) {
    // Colour fonts in the order fontconfig prefers them for emoji.
    FcPattern* wanted = FcPatternCreate();
    FcPatternAddString(wanted, FC_FAMILY, reinterpret_cast<const FcChar8*>("emoji"));
    FcPatternAddBool(wanted, FC_COLOR, FcTrue);
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result;
    Face* found = nullptr;
    if (FcFontSet* set = FcFontSort(nullptr, wanted, FcFalse, nullptr, &result)) {
        for (int i = 0; i < set->nfont && !found; ++i) {
            FcBool color = FcFalse;
            if (FcPatternGetBool(set->fonts[i], FC_COLOR, 0, &color) == FcResultMatch && color)
                if (Face* face = faceOf(fileOf(set->fonts[i])); face && hasAll(face, cluster))
                    found = face;
        }
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(wanted);
    return found;
}

std::vector<FontFamily> systemFamilies() {
    // fontconfig reads numbers in its configuration by the C library's locale,
    // which an application object may set meanwhile: the families are read in
    // the C locale of this thread's own.
    const locale_t c = ::newlocale(LC_ALL_MASK, "C", nullptr);
    const locale_t before = c ? ::uselocale(c) : nullptr;
    std::vector<FontFamily> families = listFamilies();
    if (c) {
        ::uselocale(before);
        ::freelocale(c);
    }
    return families;
}

// fontconfig lists a family's names in its language's order (under a Japanese
// LANG the Japanese one first), while FreeType names a face in English: any of
// the family's names finds the one the list shows, a family's first name first.
QString displayName(const QString& family) {
    QString primary, other;
    forEachPattern([&](FcPattern* pattern) {
        const FcName names = namesOf(pattern);
        if (primary.isEmpty() && names.primary == family)
            primary = names.shown;
        else if (other.isEmpty() && names.all.contains(family, Qt::CaseInsensitive))
            other = names.shown;
    });
    return !primary.isEmpty() ? primary : !other.isEmpty() ? other : family;
}

void rememberFaceLookups() {
    remembering = true;
}

void shutdown() {
    FcFini();
}

} // namespace engine::text
