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
    const QPoint at(10, 10);
    const auto pressMoveRelease = [&](int by) {
        QTest::mousePress(&box, Qt::LeftButton, {}, at);
        QMouseEvent move(QEvent::MouseMove, at + QPoint(by, 0), box.mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(&box, &move);
        QTest::mouseRelease(&box, Qt::LeftButton, {}, at + QPoint(by, 0));
    };
    const int far = QApplication::startDragDistance() + 2;
    const std::function<void()> gestures[] = {
        [&] { pressMoveRelease(1); }, [&] { pressMoveRelease(far); },
        [&] { QTest::mouseRelease(&box, Qt::LeftButton, {}, at); },
        [&] { QTest::keyClick(&box, Qt::Key_Space); }, [&] { QTest::keyClick(&box, Qt::Key_Enter); }};
    const int clicks[] = {1, 0, 0, 1, 1}, drags[] = {0, 1, 0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        clicked.clear();
        dragged.clear();
        gestures[i]();
        EXPECT_EQ(clicked.size(), clicks[i]) << i;
        EXPECT_EQ(dragged.size(), drags[i]) << i;
    }
}
