#include "Shaping.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <QTextBoundaryFinder>
#include <fribidi.h>

#include <ft2build.h>
#include FT_ADVANCES_H

#include "engine/text/Emoji.h"

namespace engine::text {
namespace {

// A tab is a space; other C0 and C1 controls and DEL are dropped.
QString drawable(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t')
            out += u' ';
        else if (u >= 0x20 && !(u >= 0x7F && u <= 0x9F))
            out += c;
    }
    return out;
}

// One stretch of text shaped as a whole.
struct Item {
    qsizetype start; // UTF-16 offsets in the text
    qsizetype end;
    Face* face;
    hb_script_t script;
    bool rtl;
    bool turned;
};

// Each character's script, a common or inherited one (spaces, digits, marks)
// taking its neighbours', so that they stay in the run they sit in.
std::vector<hb_script_t> scriptsOf(const std::u32string& chars) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<hb_script_t> scripts(chars.size());
    hb_script_t last = HB_SCRIPT_UNKNOWN;
    for (size_t i = 0; i < chars.size(); ++i) {
        const hb_script_t s = hb_unicode_script(unicode, chars[i]);
        const bool weak =
            s == HB_SCRIPT_COMMON || s == HB_SCRIPT_INHERITED || s == HB_SCRIPT_UNKNOWN;
        scripts[i] = weak ? last : s;
        if (!weak)
            last = s;
    }
    // Those before the first real script take it.
    const auto first = std::find_if(scripts.begin(), scripts.end(),
                                    [](hb_script_t s) { return s != HB_SCRIPT_UNKNOWN; });
    std::fill(scripts.begin(), first, first == scripts.end() ? HB_SCRIPT_LATIN : *first);
    return scripts;
}

// The face of each grapheme cluster (a base and its marks, an emoji sequence
// joined by ZWJ): a colour emoji face for a cluster meant as emoji, though
// the line's face may have a text glyph for it; else the line's face where it
// has the whole cluster, else a fallback face that does; every character of
// the cluster takes it.
std::vector<Face*> facesOf(const QString& text, const std::vector<qsizetype>& utf16At,
                           const std::u32string& chars, const FontSpec& spec, Face* primary) {
    std::vector<Face*> faces(chars.size(), primary);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    size_t i = 0;
    for (qsizetype end = clusters.toNextBoundary(); end > 0; end = clusters.toNextBoundary()) {
        size_t j = i;
        while (j < chars.size() && utf16At[j] < end)
            ++j;
        const std::u32string_view cluster(chars.data() + i, j - i);
        Face* emoji = emojiPresentation(cluster) && !primary->color ? emojiFace(cluster) : nullptr;
        if (emoji)
            std::fill(faces.begin() + long(i), faces.begin() + long(j), emoji);
        else if (!hasAll(primary, cluster))
            if (Face* other = fallbackFace(spec, cluster))
                std::fill(faces.begin() + long(i), faces.begin() + long(j), other);
        i = j;
    }
    return faces;
}

// A turned glyph's place in its column: the top of its cell in glyph space and
// the cell's height, from the font's vertical metrics, else the line's.
std::pair<FT_Pos, FT_Pos> verticalCell(Face* face, unsigned glyph, double scale, const Line& line) {
    const FT_Pos lineTop = FT_Pos(line.ascent) * 64,
                 lineHeight = FT_Pos(line.ascent + line.descent) * 64;
    if (!FT_HAS_VERTICAL(face->ft) ||
        FT_Load_Glyph(face->ft, glyph,
                      FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO | FT_LOAD_VERTICAL_LAYOUT) != 0)
        return {lineTop, lineHeight};
    const FT_Glyph_Metrics& metrics = face->ft->glyph->metrics;
    return {FT_Pos(std::lround((metrics.horiBearingY + metrics.vertBearingY) * scale)),
            FT_Pos(std::lround(metrics.vertAdvance * scale))};
}

// FreeType hands advances over as 16.16 pixels: an advance of 32,768 pixels or
// more wraps round to a small or negative one. At large sizes every glyph is
// checked, since a font's own maximum advance may understate its widest glyph.
bool wrapsAdvances(const Face* face, double ppem) {
    const FT_Face ft = face->ft;
    return FT_IS_SCALABLE(ft) && ft->units_per_EM > 0 && ppem >= 1024;
}

// The shaped advance, or where it may have wrapped round the glyph's own advance
// at this size, in 26.6: a line that wide is refused, never drawn.
FT_Pos trueAdvance(Face* face, unsigned glyph, double ppem, FT_Pos shaped) {
    FT_Fixed units = 0;
    if (FT_Get_Advance(face->ft, glyph, FT_LOAD_NO_SCALE, &units) != 0)
        return shaped;
    const double pixels = units * ppem / face->ft->units_per_EM;
    return pixels >= 32767 ? FT_Pos(std::llround(pixels * 64)) : shaped;
}

// Shapes one item and appends its glyphs, left to right as they show.
void shape(const QString& text, const Item& item, double pointSize, int extraAdvance,
           hb_buffer_t* buffer, Line& line) {
    static const hb_feature_t verticalForms[] = {
        {HB_TAG('v', 'e', 'r', 't'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('v', 'r', 't', '2'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    };
    const double scale = setSize(item.face, pointSize);
    hb_buffer_clear_contents(buffer);
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text.utf16()),
                        static_cast<int>(text.size()), static_cast<unsigned>(item.start),
                        static_cast<int>(item.end - item.start));
    hb_buffer_set_direction(buffer, item.rtl ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, item.script);
    hb_buffer_set_language(buffer, hb_language_get_default());
    hb_shape(item.face->hb, buffer, item.turned ? verticalForms : nullptr, item.turned ? 2 : 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    const auto scaled = [scale](hb_position_t v) { return FT_Pos(std::lround(v * scale)); };
    const double ppem = pointSize * 96.0 / 72.0;
    const bool mayWrap = wrapsAdvances(item.face, ppem);
    for (unsigned g = 0; g < count; ++g) {
        // Letter spacing (emboldening's widening) goes after a whole cluster,
        // so that marks stay on their bases.
        const bool clusterEnds = g + 1 == count || info[g + 1].cluster != info[g].cluster;
        const FT_Pos extra = clusterEnds ? FT_Pos(extraAdvance) * 64 : 0;
        if (item.turned) {
            const auto [top, height] = verticalCell(item.face, info[g].codepoint, scale, line);
            const FT_Pos across = scaled(pos[g].x_advance);
            line.glyphs.push_back(
                {item.face, info[g].codepoint, scale, line.advance, top,
                 mayWrap ? trueAdvance(item.face, info[g].codepoint, ppem, across) : across, true});
            line.advance += height + extra;
            continue;
        }
        line.glyphs.push_back({item.face, info[g].codepoint, scale,
                               line.advance + scaled(pos[g].x_offset), scaled(pos[g].y_offset)});
        line.advance += (mayWrap ? trueAdvance(item.face, info[g].codepoint, ppem,
                                               scaled(pos[g].x_advance))
                                 : scaled(pos[g].x_advance)) +
                        extra;
    }
}

// The items of one run of a direction, in reading order: a new item wherever
// the face, the script or the turning changes.
std::vector<Item> itemsOf(qsizetype from, qsizetype to, bool rtl,
                          const std::vector<qsizetype>& utf16At, const std::vector<Face*>& faces,
                          const std::vector<hb_script_t>& scripts,
                          const std::vector<bool>& turned) {
    std::vector<Item> items;
    for (size_t i = 0; i < utf16At.size(); ++i) {
        if (utf16At[i] < from || utf16At[i] >= to)
            continue;
        const qsizetype end = i + 1 < utf16At.size() ? utf16At[i + 1] : to;
        if (!items.empty() && items.back().face == faces[i] && items.back().script == scripts[i] &&
            items.back().turned == turned[i]) {
            items.back().end = end;
            continue;
        }
        items.push_back({utf16At[i], end, faces[i], scripts[i], rtl, turned[i]});
    }
    return items;
}

// A stretch of characters [start, end) at one embedding level.
struct Run {
    size_t start = 0, end = 0;
    int level = 0;
};

// The runs of the line in the order they show, left to right, by the Unicode
// bidirectional algorithm; the paragraph takes the direction of its first strong
// character, left to right where there is none.
std::vector<Run> visualRuns(const std::u32string& chars) {
    const auto n = static_cast<FriBidiStrIndex>(chars.size());
    std::vector<FriBidiCharType> types(chars.size());
    std::vector<FriBidiBracketType> brackets(chars.size());
    std::vector<FriBidiLevel> levels(chars.size(), 0);
    const auto* text = reinterpret_cast<const FriBidiChar*>(chars.data());
    fribidi_get_bidi_types(text, n, types.data());
    fribidi_get_bracket_types(text, n, types.data(), brackets.data());
    FriBidiParType direction = FRIBIDI_PAR_ON;
    if (n > 0 && fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &direction,
                                                      levels.data()) == 0)
        std::fill(levels.begin(), levels.end(), 0); // out of memory: left to right
    std::vector<Run> runs;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (runs.empty() || runs.back().level != levels[i])
            runs.push_back({i, i, levels[i]});
        runs.back().end = i + 1;
    }
    // From the highest level down to the lowest odd one, each sequence of runs at
    // that level or above turns round.
    int highest = 0, lowestOdd = FRIBIDI_BIDI_MAX_RESOLVED_LEVELS;
    for (const Run& r : runs) {
        highest = std::max(highest, r.level);
        if (r.level % 2 == 1)
            lowestOdd = std::min(lowestOdd, r.level);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level)
        for (auto it = runs.begin(); it != runs.end();) {
            if (it->level < level) {
                ++it;
                continue;
            }
            auto end = std::find_if(it, runs.end(), [level](const Run& r) { return r.level < level; });
            std::reverse(it, end);
            it = end;
        }
    return runs;
}

} // namespace

Line layout(const QString& requestedText, const FontSpec& spec, int extraAdvance) {
    Line line;
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
    // A bitmap-only face's metrics are its strike's: scaled to the size asked.
    const double scale = setSize(m.face, spec.pointSize);
    const FT_Size_Metrics& metrics = m.face->ft->size->metrics;
    line.ascent = static_cast<int>(std::ceil(metrics.ascender * scale / 64));
    line.descent = static_cast<int>(std::ceil(-metrics.descender * scale / 64));

    const QString text = drawable(requestedText);
    std::u32string chars;
    std::vector<qsizetype> utf16At; // where each character starts in the text
    for (qsizetype i = 0; i < text.size(); ++i) {
        utf16At.push_back(i);
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        chars += c;
    }
    const std::vector<Face*> faces = facesOf(text, utf16At, chars, spec, m.face);
    const std::vector<hb_script_t> scripts = scriptsOf(chars);
    std::vector<bool> turned(chars.size());
    for (size_t i = 0; i < chars.size(); ++i)
        turned[i] = spec.vertical && isFullWidth(chars[i]);

    hb_buffer_t* buffer = hb_buffer_create();
    for (const Run& run : visualRuns(chars)) {
        const bool rtl = run.level % 2 == 1;
        const qsizetype to = run.end < utf16At.size() ? utf16At[run.end] : text.size();
        std::vector<Item> items =
            itemsOf(utf16At[run.start], to, rtl, utf16At, faces, scripts, turned);
        // A right-to-left run shows its items from its end.
        if (rtl)
            std::reverse(items.begin(), items.end());
        for (const Item& item : items)
            shape(text, item, spec.pointSize, extraAdvance, buffer, line);
    }
    hb_buffer_destroy(buffer);
    return line;
}

} // namespace engine::text
