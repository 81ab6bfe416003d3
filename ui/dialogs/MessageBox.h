#pragma once

#include <QString>

class QWidget;

namespace ui {

enum class MsgIcon { Stop, Question, Exclamation, Information };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

// A modal message box with Japanese button texts. `defaultYes` picks the
// default button of a Yes/No box.
MsgResult messageBox(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons = MsgButtons::Ok, bool defaultYes = true);

} // namespace ui
