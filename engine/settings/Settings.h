#pragma once

#include <cstdint>

#include <QString>

#include "engine/image/Colors.h"
#include "engine/settings/Profile.h"
#include "engine/settings/Ranges.h"

// The program's settings: read from "Velmora.Ini" at start-up, written back at
// the program's save points. The file lives beside the executable, or in the
// user's config folder for an installed copy or where none can be made beside it.
namespace engine::settings {

// Which GIF pictures may become the pattern: the file's "GIF" key, 0 none, 1
// dropped and chosen, any other value chosen only.
enum class GifUse { None, DroppedAndChosen, ChosenOnly };

// What the settings file holds, as the program uses it. The file's own forms
// (-1 and 0 for the flags, decimal colours) live only in the key table.
struct Settings {
    QString text = QStringLiteral("Sample");
    image::COLORREF groundColor = 0;
    QString fontFamily = QStringLiteral("ＭＳ Ｐゴシック");
    float pointSize = FontSize.fallback;
    bool italic = false;
    bool bold = false;
    int jpegRate = JpegRate.fallback;
    bool jpegProgressive = false;
    int pngLevel = PngLevel.fallback;
    GifUse gif = GifUse::DroppedAndChosen; // read only: the user's to add
    bool smooth = false;      // antialiased letter edges
    bool transparent = false; // a transparent ground where the format holds one (PNG)

    bool operator==(const Settings&) const = default;
};

// The settings a document holds; keys that are missing or do not convert to
// their type take their defaults.
Settings settingsFrom(const Profile& profile);

// Writes the keys the program owns into the document, in the order a first
// start creates them (the looks added since the classic program only once
// they are on or there); everything else in it stays.
void putSettings(const Settings& settings, Profile& profile);

// The settings file of the program in `programFolder` (the executable's folder).
QString settingsFileFor(const QString& programFolder);

// The start-up: the file read once, and every setting written straight back,
// so that a first start leaves a whole file. A file that cannot be read gives
// the defaults and is left alone.
Settings startUp(const QString& fileName);

// A save point: the file as it is now, with the program's keys replaced, written at
// most once. False with the reason when it cannot be read or written.
bool saveSettings(const Settings& settings, const QString& fileName, QString* why = nullptr);

// Value forms of the settings file.
QString formatFontSize(float size);
bool parseFontSize(const QString& text, float& size);

} // namespace engine::settings
