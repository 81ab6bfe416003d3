#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "ui/widgets/PictureBox.h"

TEST(PictureBox, PersistentImageFollowsSizeAndColours) {
    PictureBox box(nullptr, true);
    box.setBackColor(0x0000FF); // red
    box.setOuterSize(12, 7);
    EXPECT_EQ(box.image().size(), QSize(10, 5));
    EXPECT_EQ(box.image().pixel(9, 4), qRgb(255, 0, 0));
    box.setBackColor(0xFF0000);
    box.setOuterSize(22, 7);
    // The old part keeps its pixels; the new part takes the back colour.
    EXPECT_EQ(box.image().pixel(0, 0), qRgb(0, 0, 255));
    box.setBackColor(0x00FF00);
    EXPECT_EQ(box.image().pixel(0, 0), qRgb(0, 255, 0));

    PictureBox bare(nullptr, false);
    bare.setOuterSize(0, 0);
    EXPECT_TRUE(bare.image().isNull());
    bare.setOuterSize(30, 60);
    EXPECT_EQ(bare.image().size(), QSize(30, 60));
}

TEST(PictureBox, OnlyListsOfFilesAreTakenByDrops) {
    PictureBox box(nullptr, true);
    box.setAcceptDrops(true);
    QSignalSpy dropped(&box, &PictureBox::filesDropped);

    QMimeData text;
    text.setText("/tmp/a.png");
    QDragEnterEvent refused(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a.png"), QUrl("https://example.invalid/b.png"),
                   QUrl::fromLocalFile("/tmp/c.bmp")});
    QDragEnterEvent taken(QPoint(1, 1), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &taken);
    EXPECT_TRUE(taken.isAccepted());
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &drop);
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), (QStringList{"/tmp/a.png", "/tmp/c.bmp"}));
}

// A press and a release inside is a click; a move past the drag distance with
// the button down is a drag and no click; Space and Enter click; a release
// whose press was elsewhere does nothing.
TEST(PictureBox, ClicksDragsAndKeysAreToldApart) {
    PictureBox box(nullptr, true);
    box.setOuterSize(100, 40);
    box.show();
    QSignalSpy clicked(&box, &PictureBox::clicked), dragged(&box, &PictureBox::dragStarted);
    const QPoint at(10, 10), far = at + QPoint(QApplication::startDragDistance() + 2, 0);
    const struct {
        const char* gesture;
        std::function<void()> act;
        int clicks, drags;
    } rows[] = {
        {"click", [&] { QTest::mouseClick(&box, Qt::LeftButton, {}, at); }, 1, 0},
        {"small move", [&] {
             QTest::mousePress(&box, Qt::LeftButton, {}, at);
             QMouseEvent move(QEvent::MouseMove, at + QPoint(1, 0), box.mapToGlobal(at),
                              Qt::NoButton, Qt::LeftButton, {});
             QApplication::sendEvent(&box, &move);
             QTest::mouseRelease(&box, Qt::LeftButton, {}, at + QPoint(1, 0));
         }, 1, 0},
        {"drag", [&] {
             QTest::mousePress(&box, Qt::LeftButton, {}, at);
             QMouseEvent move(QEvent::MouseMove, far, box.mapToGlobal(far), Qt::NoButton,
                              Qt::LeftButton, {});
             QApplication::sendEvent(&box, &move);
             QTest::mouseRelease(&box, Qt::LeftButton, {}, far);
         }, 0, 1},
        {"release alone", [&] { QTest::mouseRelease(&box, Qt::LeftButton, {}, at); }, 0, 0},
        {"right click", [&] { QTest::mouseClick(&box, Qt::RightButton, {}, at); }, 0, 0},
        {"Space", [&] { QTest::keyClick(&box, Qt::Key_Space); }, 1, 0},
        {"Enter", [&] { QTest::keyClick(&box, Qt::Key_Return); }, 1, 0},
    };
    for (const auto& row : rows) {
        clicked.clear();
        dragged.clear();
        row.act();
        EXPECT_EQ(clicked.size(), row.clicks) << row.gesture;
        EXPECT_EQ(dragged.size(), row.drags) << row.gesture;
    }
}
