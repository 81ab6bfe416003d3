#include "Console.h"

#include <clocale>
#include <unistd.h>

#include "engine/files/NativeName.h"

namespace cli {

void useUserLocale() {
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
}

QStringList commandArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(engine::files::decodeNativeName(argv[i]));
    return arguments;
}

// The streams carry bytes as they are.
void useBinaryStreams() {}

bool isTerminal(FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

// The environment alone says.
bool systemLanguageIsJapanese() {
    return false;
}

} // namespace cli
