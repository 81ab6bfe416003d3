#pragma once

#include <string_view>

// Which form a grapheme cluster asks for, by Unicode's emoji rules (UTS #51).
namespace engine::text {

// Whether the cluster is meant as an emoji (a colour picture) rather than as
// text: it holds the emoji variation selector U+FE0F (as a keycap sequence
// does), a zero-width joiner between pictographs or a skin tone after its
// base, or it starts with a character shown as emoji by default
// (Emoji_Presentation: faces, flags' regional indicators); never with the text
// selector U+FE0E.
bool emojiPresentation(std::u32string_view cluster);

} // namespace engine::text
