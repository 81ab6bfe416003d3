#include "PatternLoader.h"

#include "engine/codecs/Codecs.h"
#include "engine/cut/Render.h"

namespace {

PatternLoader::Outcome readFirst(const QStringList& paths, quint64 request,
                                 const std::atomic<quint64>& latest) {
    PatternLoader::Outcome outcome;
    for (const QString& path : paths) {
        if (request != latest) // a later request decides: no need to read on
            break;
        engine::image::Image picture;
        if (engine::codecs::loadPattern(path, picture, &outcome.why)) {
            outcome.pattern = std::make_shared<const engine::image::Image>(
                engine::cut::holderPattern(std::move(picture)));
            outcome.file = path;
            return outcome;
        }
        outcome.failed = path;
    }
    return outcome;
}

} // namespace

PatternLoader::PatternLoader(QObject* parent) : QObject(parent) {
    m_reader.setMaxThreadCount(1);
}

PatternLoader::~PatternLoader() {
    cancel();
    m_reader.waitForDone();
}

void PatternLoader::load(const QStringList& paths) {
    const quint64 request = ++*m_latest;
    auto task = std::make_shared<std::packaged_task<Outcome()>>(
        [paths, request, latest = m_latest] { return readFirst(paths, request, *latest); });
    m_pending = task->get_future().share();
    m_reader.start([this, task, request] {
        (*task)();
        QMetaObject::invokeMethod(this, [this, request] { deliver(request); },
                                  Qt::QueuedConnection);
    });
}

void PatternLoader::cancel() {
    ++*m_latest;
    m_pending = {};
}

std::optional<PatternLoader::Outcome> PatternLoader::wait() {
    if (!m_pending.valid())
        return std::nullopt;
    const Outcome outcome = m_pending.get();
    m_pending = {};
    return outcome;
}

void PatternLoader::deliver(quint64 request) {
    if (request != *m_latest || !m_pending.valid())
        return; // a later request decides, or this one was handed over already
    const Outcome outcome = m_pending.get();
    m_pending = {};
    emit loaded(outcome);
}
