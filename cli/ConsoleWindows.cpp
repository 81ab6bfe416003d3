#include "Console.h"

#include <clocale>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

namespace cli {

// The C runtime has no LC_MESSAGES: the system's reasons come in its own language.
void useUserLocale() {
    std::setlocale(LC_CTYPE, "");
}

QStringList commandArguments(int, char*[]) {
    QStringList arguments;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments.append(QString::fromWCharArray(wide[i]));
        LocalFree(wide);
    }
    return arguments;
}

void useBinaryStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

// A console, not any character device: NUL takes pictures as /dev/null does.
bool isTerminal(FILE* stream) {
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

// The user's display language.
bool systemLanguageIsJapanese() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

} // namespace cli
