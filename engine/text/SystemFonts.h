#pragma once

#include <string_view>
#include <vector>

#include <QString>

#include "engine/text/Faces.h"
#include "engine/text/FontList.h"

// What the font system of the platform answers: fontconfig on Linux, the
// system's own font enumeration on Windows. The rest of the glyph engine asks
// it through these alone.
namespace engine::text {

// The installed face of that family and style, or with `anyFamily` whatever
// the system offers in its place; none when it has nothing.
Face* systemFace(const QString& family, bool bold, bool italic, bool anyFamily);

// A face with every character of the cluster, in the system's order of
// preference for the family and style asked; else one with its first
// character; else none.
Face* systemFallback(const FontSpec& spec, std::u32string_view cluster);

// A colour (emoji) face with every character of the cluster; none where no
// such face is installed.
Face* systemEmojiFace(std::u32string_view cluster);

// Each installed family once, in the system's order, unsorted; safe to call on
// a thread of its own.
std::vector<FontFamily> systemFamilies();

} // namespace engine::text
