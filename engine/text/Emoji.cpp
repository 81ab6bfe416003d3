#include "engine/text/Emoji.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace engine::text {
namespace {

#include "EmojiData.inc"

// Each table is looked up by halves: its ranges must come in order.
template <size_t N> constexpr bool ordered(const std::pair<char32_t, char32_t> (&ranges)[N]) {
    return std::is_sorted(std::begin(ranges), std::end(ranges));
}
static_assert(ordered(EmojiPresentationRanges) && ordered(EmojiModifierRanges) &&
              ordered(ExtendedPictographicRanges));

template <size_t N> bool within(const std::pair<char32_t, char32_t> (&ranges)[N], char32_t c) {
    const auto* after = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                                         [](char32_t v, const auto& r) { return v < r.first; });
    return after != std::begin(ranges) && c <= std::prev(after)->second;
}

constexpr char32_t TextSelector = 0xFE0E, EmojiSelector = 0xFE0F, ZeroWidthJoiner = 0x200D;

bool pictograph(char32_t c) {
    return within(ExtendedPictographicRanges, c);
}

// A zero-width joiner between two pictographs (a ZWJ sequence).
bool joinsPictographs(std::u32string_view cluster) {
    for (size_t i = 1; i + 1 < cluster.size(); ++i)
        if (cluster[i] == ZeroWidthJoiner && pictograph(cluster[i + 1]) &&
            std::any_of(cluster.begin(), cluster.begin() + long(i), pictograph))
            return true;
    return false;
}

} // namespace

bool emojiPresentation(std::u32string_view cluster) {
    if (cluster.empty() || cluster.find(TextSelector) != std::u32string_view::npos)
        return false;
    // U+FE0F asks for it, a keycap sequence's too; a skin tone after its base.
    if (cluster.find(EmojiSelector) != std::u32string_view::npos || joinsPictographs(cluster) ||
        std::any_of(cluster.begin() + 1, cluster.end(),
                    [](char32_t c) { return within(EmojiModifierRanges, c); }))
        return true;
    return within(EmojiPresentationRanges, cluster.front());
}

} // namespace engine::text
