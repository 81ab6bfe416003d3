#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// Which font file fontconfig gave for a family, remembered between runs.
// Reading fontconfig's configuration takes a few milliseconds, longer than
// velmora-cut's whole drawing of a short line; the answers it gave are kept in
// the user's cache folder together with what they depend on (the configuration
// files and their folders, the font folders, the environment that picks them)
// and trusted only while all of that is unchanged, which is the test fontconfig
// itself applies to decide whether its configuration is up to date.
namespace engine::text {

struct FaceQuery {
    QString family;
    bool bold = false;
    bool italic = false;
    bool anyFamily = false; // fontconfig's best offer when the family is not installed
};

struct FaceFile {
    QByteArray path; // empty: fontconfig had no face for the query
    int index = 0;
};

// The remembered answer, if the remembered state still holds.
std::optional<FaceFile> rememberedFace(const FaceQuery& query);

// Keeps an answer fontconfig just gave; fontconfig's configuration is loaded.
void rememberFace(const FaceQuery& query, const FaceFile& file);

} // namespace engine::text
