#pragma once

#include <QIODevice>
#include <QStringList>

// The velmora-cut command, run on given streams so that it can be driven in
// the same process as well as from a shell.
namespace cli {

enum ExitStatus { AllWritten = 0, UsageError = 1, InputUnreadable = 2, OutputFailed = 3 };

struct CutStreams {
    QIODevice* in;  // a batch read from "-"
    QIODevice* out; // help, version, and "-o -"
    QIODevice* err; // messages and the progress bar
    bool errIsTerminal = false;
    bool outIsTerminal = false; // "-o -" is refused there
};

// Runs the command with its arguments (the program's name not included).
int runCut(const QStringList& arguments, const CutStreams& streams);

} // namespace cli
