#include <clocale>
#include <cstdio>
#include <optional>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include <QFile>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "cli/CutCommand.h"
#include "engine/files/NativeName.h"
#include "engine/text/GlyphEngine.h"

namespace {

// Qt's own notes (no runtime folder and the like) are not the command's to print.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// Whether the locale may ask for Japanese, the one language the command has
// besides English: the translations, and the application object they need, are
// only loaded then.
bool mayWantJapanese() {
    bool set = false;
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (value.startsWith("ja") || value.contains(":ja"))
            return true;
        set = set || !value.isEmpty();
    }
    // Where no variable says, Windows asks the user's display language.
#ifdef _WIN32
    return !set && PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
#else
    Q_UNUSED(set);
    return false;
#endif
}

// The command's own arguments, each kept whole: on Windows as the system
// passed them (UTF-16), elsewhere as the system's bytes.
QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
#ifdef _WIN32
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments.append(QString::fromWCharArray(wide[i]));
        LocalFree(wide);
    }
#else
    for (int i = 1; i < argc; ++i)
        arguments.append(engine::files::decodeNativeName(argv[i]));
#endif
    return arguments;
}

bool isTerminal(FILE* stream) {
#ifdef _WIN32
    // A console, not any character device: NUL takes pictures as /dev/null does.
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

void installTranslations(QCoreApplication& app) {
    for (const auto& [name, folder] :
         {std::pair{QStringLiteral("velmora-cut"), QStringLiteral(":/i18n")},
          std::pair{QStringLiteral("velmora-engine"), QStringLiteral(":/i18n")},
          std::pair{QStringLiteral("qtbase"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)}}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLocale(QLocale::Japanese), name, QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    // The parts of the user's locale the command uses: HarfBuzz takes its
    // default language from the character type (regional letter forms), and
    // the system's reasons for failed file operations come in its language.
    std::setlocale(LC_CTYPE, "");
#ifdef LC_MESSAGES
    std::setlocale(LC_MESSAGES, "");
#endif
    // Text is drawn by the glyph engine: no display, no GUI platform is started.
    qInstallMessageHandler(quiet);
    // The arguments are the command's alone: Qt sees none of them.
    const QStringList arguments = argumentsOf(argc, argv);
#ifdef _WIN32
    // Pictures go through the standard streams byte for byte.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    // Translators need an application object; nothing else of the command does.
    int qtArgc = 1;
    std::optional<QCoreApplication> app;
    if (mayWantJapanese()) {
        app.emplace(qtArgc, argv);
        installTranslations(*app);
    }
    engine::text::rememberFaceLookups();
    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    const int status = cli::runCut(
        arguments, {&in, &out, &err, isTerminal(stderr), isTerminal(stdout)});
    engine::text::shutdown();
    return status;
}
