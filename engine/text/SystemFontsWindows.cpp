#include "engine/text/SystemFonts.h"

#include <set>

#include <QtEndian>
#include <windows.h>

#include "engine/text/GlyphEngine.h"

// The font system of Windows: GDI's family enumeration, which gives the
// families in the user's language and their vertical "@" twins, and GDI's font
// mapper, whose font FreeType then reads from memory.
namespace engine::text {
namespace {

// A memory device context of the thread's own, for asking GDI about fonts; it
// goes with the process (MinGW's thread_local destructors are not to be
// relied on).
HDC fontDc() {
    thread_local HDC own = nullptr;
    if (!own)
        own = CreateCompatibleDC(nullptr);
    return own;
}

// GetFontData takes a table's tag with its first letter in the lowest byte.
constexpr DWORD tableTag(const char (&tag)[5]) {
    return DWORD(tag[0]) | DWORD(tag[1]) << 8 | DWORD(tag[2]) << 16 | DWORD(tag[3]) << 24;
}

quint32 be32(const QByteArray& b, qint64 at) {
    return at >= 0 && at + 4 <= b.size() ? qFromBigEndian<quint32>(b.constData() + at) : 0;
}

quint16 be16(const QByteArray& b, qint64 at) {
    return at >= 0 && at + 2 <= b.size() ? qFromBigEndian<quint16>(b.constData() + at) : 0;
}

// Selects a font of that family and style into the thread's context for the
// time of `use(dc)`.
template <typename Use> auto withFont(const QString& family, bool bold, bool italic, Use use) {
    LOGFONTW lf{};
    lf.lfHeight = -256;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic;
    lf.lfCharSet = DEFAULT_CHARSET;
    family.left(LF_FACESIZE - 1).toWCharArray(lf.lfFaceName);
    const HDC dc = fontDc();
    const HFONT font = CreateFontIndirectW(&lf);
    const HGDIOBJ before = SelectObject(dc, font);
    auto result = use(dc);
    SelectObject(dc, before);
    DeleteObject(font);
    return result;
}

QByteArray tableOf(HDC dc, DWORD tag) {
    const DWORD size = GetFontData(dc, tag, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0)
        return {};
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    return GetFontData(dc, tag, 0, bytes.data(), size) == size ? bytes : QByteArray();
}

// Which face of a collection the selected font is: the one whose name table
// is the selected font's.
int indexInCollection(const QByteArray& collection, HDC dc) {
    const QByteArray names = tableOf(dc, tableTag("name"));
    const quint32 count = be32(collection, 8);
    for (quint32 i = 0; i < count && i < 4096; ++i) {
        const quint32 font = be32(collection, 12 + 4 * i);
        const quint32 tables = be16(collection, font + 4);
        for (quint32 t = 0; t < tables; ++t) {
            const qint64 record = font + 12 + 16 * qint64(t);
            if (be32(collection, record) == 0x6E616D65 && // 'name'
                collection.mid(be32(collection, record + 8), be32(collection, record + 12)) ==
                    names)
                return static_cast<int>(i);
        }
    }
    return 0;
}

struct FontData {
    QString family; // the family GDI chose
    QByteArray bytes;
    int index = 0;
};

FontData selectedFont(HDC dc) {
    FontData data;
    wchar_t family[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, family);
    data.family = QString::fromWCharArray(family);
    data.bytes = tableOf(dc, tableTag("ttcf"));
    if (!data.bytes.isEmpty())
        data.index = indexInCollection(data.bytes, dc);
    else
        data.bytes = tableOf(dc, 0);
    return data;
}

// Whether the family's font has each character of the cluster that draws,
// asked of GDI without reading the font; characters beyond U+FFFF GDI cannot
// be asked about, and count as there.
bool mayHave(const QString& family, bool bold, bool italic, std::u32string_view cluster) {
    std::wstring units;
    for (char32_t c : cluster)
        if (c <= 0xFFFF && !drawsNothing(c))
            units += static_cast<wchar_t>(c);
    if (units.empty())
        return true;
    return withFont(family, bold, italic, [&units](HDC dc) {
        std::vector<WORD> glyphs(units.size());
        if (GetGlyphIndicesW(dc, units.data(), static_cast<int>(units.size()), glyphs.data(),
                             GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
            return false;
        for (WORD g : glyphs)
            if (g == 0xFFFF)
                return false;
        return true;
    });
}

struct Found {
    QString name;
    bool outline = false;
};

int CALLBACK collect(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM to) {
    const auto* extended = reinterpret_cast<const NEWTEXTMETRICEXW*>(metrics);
    const bool outline = (type & TRUETYPE_FONTTYPE) != 0 ||
                         (extended->ntmTm.ntmFlags & (NTM_PS_OPENTYPE | NTM_TT_OPENTYPE)) != 0;
    reinterpret_cast<std::vector<Found>*>(to)->push_back(
        {QString::fromWCharArray(font->lfFaceName), outline});
    return 1;
}

} // namespace

// The glyph engine keeps the faces it matched: GDI is asked once a thread.
Face* systemFace(const QString& family, bool bold, bool italic, bool anyFamily) {
    const FontData data = withFont(family, bold, italic, selectedFont);
    // GDI's mapper always offers some font: another family counts only when asked for.
    if (data.bytes.isEmpty() ||
        (!anyFamily && data.family.compare(family, Qt::CaseInsensitive) != 0))
        return nullptr;
    return openFace("gdi:" + data.family.toUtf8() + (bold ? ":bold" : ":") +
                            (italic ? ":italic" : ":"),
                    data.index, data.bytes);
}

Face* systemFallback(const FontSpec& spec, std::u32string_view cluster) {
    QStringList candidates{spec.family,        u"Yu Gothic"_qs,   u"Meiryo"_qs,
                           u"MS Gothic"_qs,    u"Segoe UI"_qs,    u"Segoe UI Symbol"_qs,
                           u"Segoe UI Emoji"_qs, u"Microsoft YaHei"_qs, u"Malgun Gothic"_qs,
                           u"Nirmala UI"_qs,   u"Ebrima"_qs,      u"Tahoma"_qs};
    for (const FontFamily& family : systemFamilies())
        candidates.append(family.name); // colour bitmap faces hold emoji

    for (std::u32string_view part : {cluster, cluster.substr(0, 1)})
        for (const QString& name : candidates)
            if (mayHave(name, spec.bold, spec.italic, part))
                if (Face* face = systemFace(name, spec.bold, spec.italic, false);
                    face && hasAll(face, part))
                    return face;
    return nullptr;
}

Face* systemEmojiFace(std::u32string_view cluster) {
    QStringList candidates{u"Segoe UI Emoji"_qs};
    for (const FontFamily& family : systemFamilies())
        candidates.append(family.name);
    for (const QString& name : candidates)
        if (mayHave(name, false, false, cluster))
            if (Face* face = systemFace(name, false, false, false);
                face && face->color && hasAll(face, cluster))
                return face;
    return nullptr;
}

std::vector<FontFamily> systemFamilies() {
    std::vector<Found> found;
    const HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc, &all, collect, reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
    // GDI lists a family's vertical twin as a family of its own, "@" and the name.
    std::set<QString> vertical, seen;
    for (const Found& f : found)
        if (f.name.startsWith(u'@'))
            vertical.insert(f.name.mid(1));
    std::vector<FontFamily> families;
    for (const Found& f : found)
        if (!f.name.startsWith(u'@') && seen.insert(f.name).second)
            families.push_back({f.name, f.outline, f.outline && vertical.count(f.name) > 0});
    return families;
}

// The family's name in the user's language, as GDI's enumeration lists it:
// from the name table (Windows names, family) of the font GDI gives for it,
// where that font is the family's own; else the name as it is.
QString displayName(const QString& family) {
    const QByteArray names = withFont(family, false, false, [](HDC dc) {
        return tableOf(dc, tableTag("name"));
    });
    const quint32 count = be16(names, 2), strings = be16(names, 4);
    const LANGID language = GetUserDefaultUILanguage();
    bool own = false;
    QString shown;
    for (quint32 i = 0; i < count; ++i) {
        const qint64 record = 6 + 12 * qint64(i);
        if (be16(names, record) != 3 || be16(names, record + 6) != 1)
            continue;
        const QByteArray name =
            names.mid(strings + be16(names, record + 10), be16(names, record + 8));
        QString text;
        for (qsizetype k = 0; k + 1 < name.size(); k += 2)
            text += QChar(char16_t(quint8(name[k]) << 8 | quint8(name[k + 1])));
        own = own || text.compare(family, Qt::CaseInsensitive) == 0;
        if (be16(names, record + 4) == language)
            shown = text;
    }
    return own && !shown.isEmpty() ? shown : family;
}

void rememberFaceLookups() {}

void shutdown() {}

} // namespace engine::text
