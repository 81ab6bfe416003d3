#pragma once

#include <cstdio>

#include <QStringList>

// What velmora-cut takes from the system it runs on: its arguments, the user's
// locale and language, and its standard streams.
namespace cli {

// The parts of the user's locale the command uses: HarfBuzz takes its default
// language from the character type (regional letter forms), and the system's
// reasons for failed file operations come in its language.
void useUserLocale();

// The command's own arguments, each kept whole: on Windows as the system
// passed them (UTF-16), elsewhere as the system's bytes.
QStringList commandArguments(int argc, char* argv[]);

// Pictures go through the standard streams byte for byte.
void useBinaryStreams();

// Whether the stream is the user's terminal.
bool isTerminal(FILE* stream);

// Whether the system's own setting of the user's language, where it has one
// beside the environment, is Japanese.
bool systemLanguageIsJapanese();

} // namespace cli
