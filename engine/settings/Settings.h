#pragma once

#include <cstdint>

#include <QCoreApplication>
#include <QString>

// The program's settings: read from "Velmora.Ini" at start-up, shared by every
// window, written back at the program's save points. The file lives beside the
// executable, or in the user's config folder where none can be made there.

extern QString gMongon;
extern std::int32_t gBackColor; // 0x00BBGGRR
extern QString gFontName;
extern float gFontSize;          // points
extern std::int16_t gFontItalic; // 0 off, anything else on; the program stores -1
extern std::int16_t gFontTick;   // bold, same coding
extern std::int16_t gJpegRate;
extern std::int16_t gJpegPrgrs;
extern std::int16_t gPngRate;
extern std::int16_t gOptionsGif;
extern QString gIniFile;

// Chooses the settings file for the program in `programFolder` (the
// executable's folder; tests pass another one) and reads every setting from it.
void LoadSettings(const QString& programFolder = QCoreApplication::applicationDirPath());
// Reads every setting but the file's own name from `iniFile`; a missing file
// gives the first start's values.
void ReadSettings(const QString& iniFile);
void SaveSettings();

// Value forms of the settings file.
QString FormatFontSize(float size);
bool ParseFontSize(const QString& text, float& size);
