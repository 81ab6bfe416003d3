#include "MainWindowLayout.h"

#include <string_view>

#include <QLabel>
#include <QWidget>

#include "ui/widgets/PictureBox.h"

namespace ui::mainlayout {
namespace {

constexpr int ClientWidthTwips = 5445;
constexpr int ClientHeightTwips = 5070;

// clang-format off
constexpr Placement Table[] = {
    {"textCaption", {120, 180, 855, 255}},      {"textEdit", {960, 120, 4335, 270}},
    {"fontCaption", {120, 540, 855, 255}},      {"faceLabel", {960, 480, 3495, 255}},
    {"sizeLabel", {4560, 480, 735, 255}},       {"faceList", {960, 840, 3495, 1140}},
    {"sizeList", {4560, 840, 735, 1140}},       {"patternCaption", {120, 2160, 855, 255}},
    {"patternFrame", {960, 2160, 780, 780}},    {"patternView", {0, 0, 510, 510}},
    {"choosePatternButton", {600, 2400, 255, 255}}, {"italicBox", {1800, 2160, 735, 255}},
    {"boldBox", {1800, 2520, 735, 255}},        {"colorCaption", {2760, 2160, 855, 255}},
    {"colorSwatch", {3600, 2160, 780, 780}},    {"chooseColorButton", {3240, 2400, 255, 255}},
    {"renderButton", {120, 3000, 735, 375}},    {"saveButton", {960, 3000, 735, 375}},
    {"optionsButton", {1800, 3000, 735, 375}},  {"closeButton", {4560, 3000, 735, 375}},
    {"statusLabel", {2640, 3120, 1455, 255}},   {"resultView", {120, 3480, 5175, 1500}},
};
// clang-format on

} // namespace

std::span<const Placement> placements() {
    return Table;
}

void place(QWidget& window) {
    const QSize client(ClientWidthTwips / TwipsPerPixel, ClientHeightTwips / TwipsPerPixel);
    window.setMinimumSize(client);
    window.resize(client);
    QWidget* previous = nullptr;
    for (const Placement& p : Table) {
        auto* control = window.findChild<QWidget*>(QLatin1String(p.name));
        if (!control)
            continue;
        const QRect r = fromTwips(p.twips);
        // Children of a bordered box sit inside its border.
        int offset = 0;
        if (auto* box = qobject_cast<PictureBox*>(control->parentWidget()))
            offset = box->borderWidth();
        auto* box = qobject_cast<PictureBox*>(control);
        // The result sits at the top left of its view, which takes its place.
        if (p.name == std::string_view("resultView"))
            window.findChild<QWidget*>(QStringLiteral("resultScroll"))->move(r.topLeft());
        else
            control->move(r.x() + offset, r.y() + offset);
        if (!box)
            control->resize(r.size());
        else if (p.name != std::string_view("patternView")) // it takes its picture's size
            box->setOuterSize(r.width(), r.height());
        if (control->focusPolicy() != Qt::NoFocus && !qobject_cast<QLabel*>(control)) {
            if (previous)
                QWidget::setTabOrder(previous, control);
            previous = control;
        }
    }
    stretchResultView(window);
}

void stretchResultView(QWidget& window) {
    if (auto* view = window.findChild<QWidget*>(QStringLiteral("resultScroll"))) {
        const QPoint at = view->pos();
        view->resize(window.width() - at.x(), window.height() - at.y());
    }
}

} // namespace ui::mainlayout
