#include "engine/text/FontList.h"

#include <algorithm>
#include <future>
#include <mutex>
#include <optional>
#include <set>

#include <QCollator>
#include <QLocale>
#include <QStringList>

#ifdef VELMORA_FONTCONFIG
#include <clocale>
#include <locale.h>

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>
#endif

namespace engine::text {
namespace {

#ifdef VELMORA_FONTCONFIG
struct FcName {
    QString primary; // the family name the font system matches first
    QString shown;   // Japanese name if the family has one, else the primary
};

// Picks the Japanese family name of a fontconfig pattern where there is one.
FcName namesOf(FcPattern* pattern) {
    FcName names;
    FcChar8* value = nullptr;
    for (int k = 0; FcPatternGetString(pattern, FC_FAMILY, k, &value) == FcResultMatch; ++k) {
        const QString family = QString::fromUtf8(reinterpret_cast<const char*>(value));
        if (k == 0)
            names.primary = names.shown = family;
        FcChar8* lang = nullptr;
        if (FcPatternGetString(pattern, FC_FAMILYLANG, k, &lang) == FcResultMatch &&
            QByteArray(reinterpret_cast<const char*>(lang)).startsWith("ja")) {
            names.shown = family;
            break;
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
#endif

std::vector<FontFamily> listFamilies() {
    std::vector<FontFamily> families;
    std::set<QString> seen;
#ifdef VELMORA_FONTCONFIG
    forEachPattern([&](FcPattern* pattern) {
        FcName names = namesOf(pattern);
        if (names.primary.isEmpty() || !seen.insert(names.primary).second)
            return;
        FcBool outline = FcFalse;
        FcPatternGetBool(pattern, FC_OUTLINE, 0, &outline);
        families.push_back(
            {names.shown, outline == FcTrue, outline == FcTrue && hasVerticalForms(pattern)});
    });
#endif
    return families;
}

struct Prepared {
    std::mutex lock;
    std::optional<std::future<std::vector<FontFamily>>> families;
};

Prepared& prepared() {
    static Prepared only;
    return only;
}

} // namespace

void prepareFontFamilies() {
    Prepared& p = prepared();
    const std::lock_guard<std::mutex> hold(p.lock);
    if (!p.families)
        p.families = std::async(std::launch::async, [] {
#ifdef VELMORA_FONTCONFIG
            // fontconfig reads numbers in its configuration by the C library's
            // locale, which the application object sets meanwhile: this thread
            // reads them in the C locale of its own.
            const locale_t c = ::newlocale(LC_ALL_MASK, "C", nullptr);
            const locale_t before = c ? ::uselocale(c) : nullptr;
            std::vector<FontFamily> families = listFamilies();
            if (c) {
                ::uselocale(before);
                ::freelocale(c);
            }
            return families;
#else
            return listFamilies();
#endif
        });
}

std::vector<FontFamily> enumFontFamilies() {
    Prepared& p = prepared();
    const std::lock_guard<std::mutex> hold(p.lock);
    if (p.families && p.families->valid())
        return p.families->get();
    return listFamilies();
}

QString displayName(const QString& family) {
#ifdef VELMORA_FONTCONFIG
    QString shown = family;
    forEachPattern([&](FcPattern* pattern) {
        FcName names = namesOf(pattern);
        if (names.primary == family)
            shown = names.shown;
    });
    return shown;
#else
    return family;
#endif
}

QStringList listedFaces(const std::vector<FontFamily>& families) {
    std::vector<const FontFamily*> outline;
    for (const FontFamily& family : families)
        if (family.outline)
            outline.push_back(&family);
    // The C locale would order by code point; the neutral collation stands in for it.
    const QLocale locale =
        QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
    QCollator collator(locale);
    collator.setNumericMode(true);
    std::stable_sort(outline.begin(), outline.end(),
                     [&collator](const FontFamily* a, const FontFamily* b) {
                         return collator.compare(a->name, b->name) < 0;
                     });
    QStringList names;
    for (const FontFamily* family : outline) {
        names.append(family->name);
        if (family->vertical)
            names.append(u'@' + family->name);
    }
    return names;
}

QStringList classicFaceSubstitutes(const QString& name) {
    static const QStringList proportionalGothic{"IPAPGothic", "TakaoPGothic", "VL PGothic",
                                                "Noto Sans CJK JP", "IPAGothic"};
    static const QStringList gothic{"IPAGothic", "TakaoGothic", "VL Gothic",
                                    "Noto Sans Mono CJK JP", "IPAPGothic"};
    static const QStringList proportionalMincho{"IPAPMincho", "TakaoPMincho", "Noto Serif CJK JP",
                                                "IPAMincho"};
    static const QStringList mincho{"IPAMincho", "TakaoMincho", "Noto Serif CJK JP", "IPAPMincho"};
    static const struct {
        const char16_t* name;
        const QStringList& substitutes;
    } faces[] = {
        {u"ＭＳ Ｐゴシック", proportionalGothic},
        {u"MS PGothic", proportionalGothic},
        {u"ＭＳ ゴシック", gothic},
        {u"MS Gothic", gothic},
        {u"ＭＳ Ｐ明朝", proportionalMincho},
        {u"MS PMincho", proportionalMincho},
        {u"ＭＳ 明朝", mincho},
        {u"MS Mincho", mincho},
    };
    for (const auto& face : faces)
        if (name.compare(QString::fromUtf16(face.name), Qt::CaseInsensitive) == 0)
            return face.substitutes;
    return {};
}

} // namespace engine::text
