#pragma once

#include <map>
#include <memory>
#include <string_view>
#include <tuple>

#include <QByteArray>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

#include "engine/text/GlyphEngine.h"

// The glyph engine's faces: opened once, sized at each use, found by family
// through fontconfig, and chosen in place of a face that lacks a character.
namespace engine::text {

struct Face {
    FT_Face ft = nullptr;
    hb_font_t* hb = nullptr;
    bool bold = false;   // the face's own weight is bold
    bool italic = false; // the face's own letters slant
    bool color = false;  // colour glyphs (emoji), drawn by their alpha
    QByteArray bytes;    // the font's bytes, where it was read into memory
    // Glyphs this thread has rendered from the face, by glyph, size in points,
    // smooth or not and slanted or not: a batch's lines share their letters.
    std::map<std::tuple<unsigned, double, bool, bool>, std::shared_ptr<const Raster::Bitmap>>
        rendered;
    size_t renderedBytes = 0;
};

// Faces stay open for the life of the thread that opened them; each is opened
// once a thread. `path` is a file's name as the system's bytes.
Face* openFace(const QByteArray& path, int index);
// The face of that key already open on this thread, or none.
Face* openedFace(const QByteArray& key, int index);
// A face from the font's bytes, known by `key` from then on.
Face* openFace(const QByteArray& key, int index, const QByteArray& bytes);

// How this system opens face `index` of the font file `path` (the system's
// bytes) for FreeType; where the font is read into memory, `bytes` holds it,
// and must live as long as the face.
bool openFaceFile(FT_Library library, const QByteArray& path, int index, FT_Face& face,
                  QByteArray& bytes);

// Has `release` run when the calling thread ends, where the system's thread
// storage allows it.
void releaseAtThreadEnd(void (*release)());

// Sets the size in points at 96 dots per inch. A face of fixed bitmap sizes
// (colour emoji) takes its nearest size; the result is then the factor that
// scales its pixels to the size asked, else 1.
double setSize(Face* face, double pointSize);

struct Match {
    Face* face = nullptr;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    bool named = false; // the face is the file, the family or a classic face's stand-in
};

// The family itself, the faces that stand in for a classic Windows face, and
// at last whatever the font system offers.
Match match(const FontSpec& spec);

// Joiners, variation selectors and the like draw nothing on their own: a face
// need not have them for a cluster.
bool drawsNothing(char32_t c);

// Whether the face has every character of a cluster (those that draw nothing
// on their own, as the zero-width joiner and variation selectors, aside).
bool hasAll(const Face* face, std::u32string_view cluster);

// A face with every character of the cluster, in the font system's order of
// preference for the requested family and style; else one with its first
// character; else none.
Face* fallbackFace(const FontSpec& spec, std::u32string_view cluster);

// The colour face that draws an emoji cluster, where one is installed.
Face* emojiFace(std::u32string_view cluster);

// Characters a vertical face turns: the East Asian Wide and Fullwidth ranges.
bool isFullWidth(char32_t c);

} // namespace engine::text
