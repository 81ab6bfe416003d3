#include "WidgetSupport.h"

#include <gtest/gtest.h>

#include <vector>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "TestSupport.h"

namespace testsupport {

namespace {
struct PendingAnswer {
    QPointer<QTimer> timer;
    QString what;
};
std::vector<PendingAnswer> pendingAnswers;
} // namespace

QStringList cancelPendingAnswers() {
    QStringList left;
    for (const PendingAnswer& answer : pendingAnswers) {
        if (answer.timer && answer.timer->isActive()) {
            left.append(answer.what);
            delete answer.timer;
        }
    }
    pendingAnswers.clear();
    return left;
}

void onNextModal(std::function<void(QWidget*)> action, std::function<bool(QWidget*)> match,
                 const QString& what) {
    auto* timer = new QTimer;
    pendingAnswers.push_back({timer, what});
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action, match]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || (match && !match(modal)))
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

namespace {
QPointer<QWidget> watchedModal;
QElapsedTimer watchedSince;
} // namespace

void watchForUnansweredModals() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != watchedModal) {
            watchedModal = modal;
            watchedSince.start();
            return;
        }
        if (!modal || watchedSince.elapsed() < 5000)
            return;
        QStringList awaited;
        for (const PendingAnswer& answer : pendingAnswers)
            if (answer.timer && answer.timer->isActive())
                awaited.append(answer.what);
        ADD_FAILURE() << "\"" << modal->windowTitle().toStdString()
                      << "\" stayed open with no answer taking it; the answers waited for: "
                      << (awaited.isEmpty() ? "nothing" : awaited.join(", ").toStdString());
        watchedModal = nullptr;
        modal->close();
    });
    timer->start(100);
}

void answerMessageBox(const QString& button, QString* title, QString* text) {
    onNextModal(
        [=](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (title)
                *title = box->windowTitle();
            if (text)
                *text = box->text();
            clickButton(box, button);
        },
        [button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box)
                return false;
            for (auto* b : box->buttons())
                if (b->text() == button)
                    return true;
            return false;
        },
        "a message box with the button " + button);
}

void typeFileName(QFileDialog* dialog, const QString& path) {
    // Typed, as a user would: selectFile() races the dialog's file system model.
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    const QFileInfo info(path);
    if (QFileInfo(info.absolutePath()).isDir()) {
        dialog->setDirectory(info.absolutePath());
        edit->setText(info.fileName());
    } else {
        edit->setText(path);
    }
}

void pickFileType(QFileDialog* dialog, int filterIndex) {
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_TRUE(filterIndex >= 1 && filterIndex <= types->count()) << filterIndex;
    types->showPopup();
    QAbstractItemView* list = types->view();
    for (int row = types->currentIndex(); row < filterIndex - 1; ++row)
        QTest::keyClick(list, Qt::Key_Down);
    for (int row = types->currentIndex(); row > filterIndex - 1; --row)
        QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(types->currentIndex(), filterIndex - 1);
}

void answerFileDialog(const QString& path, int filterIndex, QString* openedIn) {
    onNextModal(
        [=](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (openedIn)
                *openedIn = dialog->directory().absolutePath();
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            typeFileName(dialog, path);
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            const QString typed = edit->text();
            pickFileType(dialog, filterIndex);
            if (edit->text() != typed) {
                ADD_FAILURE() << "picking file type " << filterIndex << " turned the typed "
                              << typed.toStdString() << " into " << edit->text().toStdString();
                dialog->reject();
                return;
            }
            if (!QFileInfo::exists(path))
                answerMessageBox(QStringLiteral("はい(&Y)"));
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        },
        [](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; },
        path.isEmpty() ? QStringLiteral("a file dialog to cancel") : "a file dialog for " + path);
}

void clickButton(QWidget* w, const QString& text) {
    for (auto* b : w->findChildren<QAbstractButton*>()) {
        if (b->text() == text) {
            b->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
}

QString captionOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    return {};
}

QStringList clippedCaptions(QWidget* window) {
    QStringList clipped;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString caption = captionOf(w);
        if (caption.isEmpty() || qobject_cast<QLineEdit*>(w))
            continue;
        int room = w->contentsRect().width();
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = caption;
            room = w->style()->subElementRect(QStyle::SE_PushButtonContents, &option, w).width();
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = caption;
            room = w->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, w).width();
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            // A framed label keeps half an "x" clear on each side unless told otherwise.
            const int indent = label->indent() >= 0 ? label->indent()
                               : label->frameWidth() > 0
                                   ? label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2
                                   : 0;
            room -= 2 * label->margin() + indent;
        }
        if (w->fontMetrics().horizontalAdvance(caption) > room)
            clipped.append(w->objectName() + ": " + caption);
    }
    return clipped;
}

QStringList layoutFaults(QWidget* window) {
    QStringList faults;
    const auto named = [](const QObject* parent) {
        QList<QWidget*> controls;
        for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                controls.append(w);
        return controls;
    };
    QList<QWidget*> parents{window};
    for (qsizetype p = 0; p < parents.size(); ++p) {
        const QList<QWidget*> controls = named(parents[p]);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            QWidget* a = controls[i];
            parents.append(a);
            if (!a->parentWidget()->rect().contains(a->geometry()))
                faults.append(a->objectName() + ": outside its parent");
            for (qsizetype j = i + 1; j < controls.size(); ++j)
                if (const QRect both = a->geometry() & controls[j]->geometry();
                    both.width() > 1 && both.height() > 1)
                    faults.append(a->objectName() + ": overlaps " + controls[j]->objectName());
        }
        // A scroll area's content sits in its viewport.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(parents[p]))
            parents.append(area->viewport());
    }
    return faults;
}

const QWidget* nextTabStop(const QWidget* w) {
    for (const QWidget* n = w->nextInFocusChain(); n != w; n = n->nextInFocusChain()) {
        if ((n->focusPolicy() & Qt::TabFocus) && n->isVisible())
            return n;
    }
    return nullptr;
}

} // namespace testsupport
