#pragma once

#include <vector>

#include <QString>
#include <QStringList>

// The installed font families, as the system reports them.
namespace engine::text {

struct FontFamily {
    QString name;          // the name a Japanese user sees, where the family has one
    bool outline;          // scalable outline font (TrueType, OpenType)
    bool vertical = false; // has vertical glyph forms, so an "@" twin is listed
};

// Each installed family once, in the system's order, unsorted.
std::vector<FontFamily> enumFontFamilies();

// The names a font list shows: the outline families in the user's collation
// order, each vertical-writing twin ("@" and the name) right after its family.
QStringList listedFaces(const std::vector<FontFamily>& families);

// Starts listing the families on a thread of its own, fontconfig's reading of
// its configuration included: the window does so before it makes its
// application object, which takes longer. The next enumFontFamilies() takes
// that list.
void prepareFontFamilies();

// The name the list shows for a family the font system resolved to.
QString displayName(const QString& family);

// Classic Japanese Windows faces that are not installed draw with the closest
// installed Japanese face (proportional for the P faces): those faces, best
// first, for a classic face; none for others.
QStringList classicFaceSubstitutes(const QString& name);

} // namespace engine::text
