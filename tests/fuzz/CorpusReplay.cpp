// Replays every corpus file and reproducer through its fuzz targets and prints
// one line per file: its name and a digest of what came out of each target. A broken
// invariant aborts; run twice with the heap filled differently, the output
// must not change.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "FuzzTargets.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    int files = 0;
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const std::vector<fuzz::Target> targets = fuzz::targetsFor(name);
        if (targets.empty()) {
            std::fprintf(stderr, "no fuzz target for %s\n", qPrintable(name));
            return 2;
        }
        const QDir dir(root.filePath(name));
        for (const QString& file : dir.entryList(QDir::Files, QDir::Name)) {
            const QString path = name + QLatin1Char('/') + file;
            std::fprintf(stdout, "%s", qPrintable(path));
            std::fflush(stdout); // a crash still names its file
            QFile in(dir.filePath(file));
            if (!in.open(QIODevice::ReadOnly))
                return 2;
            const QByteArray input = in.readAll();
            for (const fuzz::Target target : targets)
                std::fprintf(stdout, " %s", qPrintable(target(input)));
            std::fprintf(stdout, "\n");
            ++files;
        }
    }
    std::fprintf(stderr, "%d corpus files replayed\n", files);
    return files > 0 ? 0 : 2;
}
