#pragma once

#include <QByteArray>
#include <QString>

// File names and command-line arguments as the system's bytes, kept whole on
// their way through a QString: valid UTF-8 decodes as usual, and every other
// byte b becomes the lone surrogate U+DC00 + b, which encodes back to b. A name
// such as "n\xFF.png" thus opens the very file it names.
namespace engine::files {

QString decodeNativeName(const QByteArray& bytes);
QByteArray encodeNativeName(const QString& name);

} // namespace engine::files
