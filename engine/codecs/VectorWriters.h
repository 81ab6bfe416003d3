#pragma once

#include <QByteArray>
#include <QString>

#include "engine/cut/Drawing.h"

// The two vector writers behind encodeVector(), given a drawing with pixels
// and a valid PNG level.
namespace engine::codecs {

bool encodeSvg(const cut::Drawing& drawing, int pngLevel, QByteArray& out, QString* why);
bool encodePdf(const cut::Drawing& drawing, int pngLevel, QByteArray& out, QString* why);

} // namespace engine::codecs
