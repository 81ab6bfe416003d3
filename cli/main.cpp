#include <clocale>
#include <cstdio>
#include <optional>

#include <unistd.h>

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
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (value.startsWith("ja") || value.contains(":ja"))
            return true;
    }
    return false;
}

void installTranslations(QCoreApplication& app) {
    for (const auto& [name, folder] :
         {std::pair{QStringLiteral("velmora-cut"), QStringLiteral(":/i18n")},
          std::pair{QStringLiteral("velmora-engine"), QStringLiteral(":/i18n")},
          std::pair{QStringLiteral("qtbase"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)}}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLocale(), name, QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    // The user's locale, as an application object would set it: HarfBuzz takes
    // its default language from it (regional letter forms).
    std::setlocale(LC_ALL, "");
    // Text is drawn by the glyph engine: no display, no GUI platform is started.
    qInstallMessageHandler(quiet);
    // The arguments are the command's alone: Qt sees none of them.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(engine::files::decodeNativeName(argv[i]));
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
    const int status = cli::RunCut(
        arguments, {&in, &out, &err, isatty(STDERR_FILENO) != 0, isatty(STDOUT_FILENO) != 0});
    engine::text::shutdown();
    return status;
}
