#include <optional>

#include <QFile>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "cli/Console.h"
#include "cli/CutCommand.h"
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
    // Where no variable says, the system's own setting may.
    return !set && cli::systemLanguageIsJapanese();
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
    cli::useUserLocale();
    // Text is drawn by the glyph engine: no display, no GUI platform is started.
    qInstallMessageHandler(quiet);
    // The arguments are the command's alone: Qt sees none of them.
    const QStringList arguments = cli::commandArguments(argc, argv);
    cli::useBinaryStreams();
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
    const int status =
        cli::runCut(arguments, {&in, &out, &err, cli::isTerminal(stderr), cli::isTerminal(stdout)});
    engine::text::shutdown();
    return status;
}
