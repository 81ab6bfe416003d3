#pragma once

#include <atomic>
#include <future>
#include <memory>
#include <optional>

#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include "engine/image/Image.h"

// Reads pattern pictures off the window's thread, so that a large one leaves
// the window answering. The latest request wins: an earlier one still being
// read stops before its next file and is never reported.
class PatternLoader : public QObject {
    Q_OBJECT
  public:
    struct Outcome {
        std::shared_ptr<const engine::image::Image> pattern; // none: no file loaded
        QString file;                                        // the file it was read from
        QString failed, why;                                 // the last file tried, and why
    };

    explicit PatternLoader(QObject* parent = nullptr);
    // Gives up what is being read and waits for the reading thread.
    ~PatternLoader() override;

    // Starts reading the first of the files that loads, as the pattern it
    // becomes (opaque, as the pattern view shows it).
    void load(const QStringList& paths);
    // Forgets the request being read: it is never reported.
    void cancel();
    // Waits for the request being read and hands its outcome over here
    // instead of by the signal; none when nothing is being read.
    std::optional<Outcome> wait();

  signals:
    // The latest request has been read, on the loader's own thread.
    void loaded(const PatternLoader::Outcome& outcome);

  private:
    void deliver(quint64 request);

    // The latest request's number, which a reader checks before each file.
    std::shared_ptr<std::atomic<quint64>> m_latest = std::make_shared<std::atomic<quint64>>(0);
    std::shared_future<Outcome> m_pending;
    QThreadPool m_reader; // one thread
};
