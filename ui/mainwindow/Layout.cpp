#include "Layout.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ui/mainwindow/frmMain.h"
#include "ui/widgets/AutoSizeLabel.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/ScrollView.h"

namespace mainlayout {

std::vector<Placement> placements(frmMain& f) {
    // clang-format off
    return {
        {f.LBL[0], {120, 180, 855, 255}},    {f.FLD[0], {960, 120, 4335, 270}},
        {f.LBL[3], {120, 540, 855, 255}},    {f.DSP[0], {960, 480, 3495, 255}},
        {f.DSP[1], {4560, 480, 735, 255}},   {f.LST[0], {960, 840, 3495, 1140}},
        {f.LST[1], {4560, 840, 735, 1140}},  {f.LBL[1], {120, 2160, 855, 255}},
        {f.Area[0], {960, 2160, 780, 780}},  {f.Dot[0], {0, 0, 510, 510}},
        {f.DBTN[0], {600, 2400, 255, 255}},  {f.CHK[0], {1800, 2160, 735, 255}},
        {f.CHK[1], {1800, 2520, 735, 255}},  {f.LBL[2], {2760, 2160, 855, 255}},
        {f.Area[1], {3600, 2160, 780, 780}}, {f.DBTN[1], {3240, 2400, 255, 255}},
        {f.BTN[0], {120, 3000, 735, 375}},   {f.BTN[1], {960, 3000, 735, 375}},
        {f.BTN[2], {1800, 3000, 735, 375}},  {f.BTN[3], {4560, 3000, 735, 375}},
        {f.MSG, {2640, 3120, 1455, 255}},    {f.Board, {120, 3480, 5175, 1500}},
        {f.TempPic, {240, 3600, 15360, 3840}}, {f.SizeMongon, {2040, 4560, 60, 180}},
    };
    // clang-format on
}

void place(frmMain& form) {
    const QSize client(ClientWidthTwips / TwipsPerPixel, ClientHeightTwips / TwipsPerPixel);
    form.setMinimumSize(client);
    form.resize(client);
    QWidget* previous = nullptr;
    for (const Placement& p : placements(form)) {
        const QRect r = fromTwips(p.twips.x(), p.twips.y(), p.twips.width(), p.twips.height());
        // Children of a bordered box sit inside its border.
        int offset = 0;
        if (auto* box = qobject_cast<PictureBox*>(p.control->parentWidget()))
            offset = box->borderWidth();
        // Board sits at the top left of its view, which takes Board's place.
        if (p.control == form.Board)
            form.BoardView->move(r.topLeft());
        else
            p.control->move(r.x() + offset, r.y() + offset);
        if (auto* box = qobject_cast<PictureBox*>(p.control)) {
            if (box != form.Dot[0]) // the pattern holder takes its picture's size
                box->setOuterSize(r.width(), r.height());
        } else {
            p.control->resize(r.size());
        }
        if (p.control->focusPolicy() != Qt::NoFocus && !qobject_cast<AutoSizeLabel*>(p.control) &&
            !qobject_cast<QLabel*>(p.control)) {
            if (previous)
                QWidget::setTabOrder(previous, p.control);
            previous = p.control;
        }
    }
    stretchBoardView(form);
}

void stretchBoardView(frmMain& form) {
    const QPoint at = form.BoardView->pos();
    form.BoardView->resize(form.width() - at.x(), form.height() - at.y());
}

} // namespace mainlayout
