#include <gtest/gtest.h>

#include "ui/mainwindow/StatusLine.h"

// Sequences of events, one letter each, and what the line says after them:
// d drawing, e empty text, c copied, s saved, f a save failed, l a read began,
// k the read gave a pattern, x the read failed. Each event names its file.
TEST(StatusLine, SaysWhatTheLatestEventMeans) {
    const struct {
        const char* events;
        QString says;
    } table[] = {
        {"", "ベルモラ"},
        {"l", "読み込み中 f0.png"}, // each event's file is named after its place
        {"lk", "ベルモラ"},
        {"clk", "コピーしました"},
        {"cllk", "コピーしました"}, // overlapping reads go back to before the first
        {"clkk", "コピーしました"},
        {"flk", "ベルモラ"},        // a failure the new pattern made good goes
        {"lsk", ">f1.png"},         // the save spoke since: it stays
        {"lck", "コピーしました"},
        {"lfk", "×f1.png: why"},
        {"ldk", "ベルモラ"},
        {"lek", "文字が空です"},
        {"lx", "×f1.png: why"},
        {"lxlk", "ベルモラ"},
        {"clxlk", "ベルモラ"},      // after a failed read, the next starts afresh
        {"clklk", "コピーしました"},
        {"lflk", "ベルモラ"},       // a read under way still goes back to before it
        {"sd", "ベルモラ"},
    };
    for (const auto& row : table) {
        StatusLine line;
        for (int i = 0; row.events[i]; ++i) {
            const QString file = QStringLiteral("f%1.png").arg(i);
            switch (row.events[i]) {
            case 'd': line.drawing(); break;
            case 'e': line.emptyText(); break;
            case 'c': line.copied(); break;
            case 's': line.saved("/tmp/" + file); break;
            case 'f': line.failed(file, "why"); break;
            case 'l': line.loading(file); break;
            case 'k': line.loaded(); break;
            case 'x': line.loadFailed(file, "why"); break;
            }
        }
        EXPECT_EQ(line.text().toStdString(), row.says.toStdString()) << row.events;
    }
}
