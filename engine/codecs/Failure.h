#pragma once

#include <QCoreApplication>
#include <QString>

#include "engine/settings/Ranges.h"

// The writers' one way to fail: false, and the reason where the caller asks.
namespace engine::codecs {

inline bool fail(QString* why, const char* reason) {
    if (why)
        *why = QCoreApplication::translate("codecs", reason);
    return false;
}

// `what` (a translated name) holding a value outside its range.
inline bool failOutOfRange(QString* why, const char* what, int value,
                           const settings::Range<int>& range) {
    if (why)
        *why = QCoreApplication::translate("codecs", "%1 %2 is not within %3 to %4")
                   .arg(QCoreApplication::translate("codecs", what))
                   .arg(value)
                   .arg(range.low)
                   .arg(range.high);
    return false;
}

} // namespace engine::codecs
