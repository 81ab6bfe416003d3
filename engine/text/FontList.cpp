#include "engine/text/FontList.h"

#include <algorithm>
#include <future>
#include <mutex>
#include <optional>
#include <set>

#include <QCollator>
#include <QLocale>
#include <QStringList>

#include "engine/text/SystemFonts.h"

namespace engine::text {
namespace {

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
        p.families = std::async(std::launch::async, systemFamilies);
}

std::vector<FontFamily> enumFontFamilies() {
    Prepared& p = prepared();
    const std::lock_guard<std::mutex> hold(p.lock);
    if (p.families && p.families->valid())
        return p.families->get();
    return systemFamilies();
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
