#include "engine/text/Emoji.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace engine::text {
namespace {

#include "EmojiData.inc"

template <size_t N> bool within(const std::pair<char32_t, char32_t> (&ranges)[N], char32_t c) {
    const auto* after = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                                         [](char32_t v, const auto& r) { return v < r.first; });
    return after != std::begin(ranges) && c <= std::prev(after)->second;
}

constexpr char32_t TextSelector = 0xFE0E, EmojiSelector = 0xFE0F, Keycap = 0x20E3,
                   ZeroWidthJoiner = 0x200D;

bool holds(std::u32string_view cluster, char32_t c) {
    return cluster.find(c) != std::u32string_view::npos;
}

} // namespace

bool emojiPresentation(std::u32string_view cluster) {
    if (cluster.empty() || holds(cluster, TextSelector))
        return false;
    if (holds(cluster, EmojiSelector) || holds(cluster, Keycap))
        return true;
    if (holds(cluster, ZeroWidthJoiner) &&
        std::any_of(cluster.begin(), cluster.end(),
                    [](char32_t c) { return within(ExtendedPictographicRanges, c); }))
        return true;
    return within(EmojiPresentationRanges, cluster.front());
}

} // namespace engine::text
