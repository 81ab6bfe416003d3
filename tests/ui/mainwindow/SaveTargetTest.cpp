#include <gtest/gtest.h>

#include <QStringList>

#include <QMessageBox>
#include <QTemporaryDir>

#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/mainwindow/SaveTarget.h"

TEST(SaveFormat, FilterAndExtensionDecideNameAndFormat) {
    const struct {
        const char* name;
        int filter;
        const char* finalName;
        const char* extension;
        engine::codecs::OutputFormat format;
    } rows[] = {
        {"pic", 1, "pic.BMP", ".BMP", engine::codecs::ImageFormat::Bmp},
        {"pic.png", 1, "pic.png", ".PNG", engine::codecs::ImageFormat::Png},
        {"pic.Png", 1, "pic.Png", ".PNG", engine::codecs::ImageFormat::Png},
        // ".jpeg" in any case is a JPEG's name too: kept, never given ".JPG".
        {"pic.jpeg", 1, "pic.jpeg", ".JPEG", engine::codecs::ImageFormat::Jpeg},
        {"photo.JPEG", 3, "photo.JPEG", ".JPEG", engine::codecs::ImageFormat::Jpeg},
        {"pic.jpeg", 2, "pic.jpeg.BMP", ".BMP", engine::codecs::ImageFormat::Bmp},
        {"pic.jpe", 1, "pic.jpe.BMP", ".BMP", engine::codecs::ImageFormat::Bmp},
        {"pic.jpg", 2, "pic.jpg.BMP", ".BMP", engine::codecs::ImageFormat::Bmp},
        {"pic.bmp", 4, "pic.bmp.PNG", ".PNG", engine::codecs::ImageFormat::Png},
        {"pic.JPG", 3, "pic.JPG", ".JPG", engine::codecs::ImageFormat::Jpeg},
        {"pic.jpg", 3, "pic.jpg", ".JPG", engine::codecs::ImageFormat::Jpeg},
        {"a", 1, "a.BMP", ".BMP", engine::codecs::ImageFormat::Bmp},
        {"a", 0, "a.BMP", ".BMP", engine::codecs::ImageFormat::Bmp},
        {"x.bmp", 1, "x.bmp", ".BMP", engine::codecs::ImageFormat::Bmp},
        {"/dir.png/pic", 3, "/dir.png/pic.JPG", ".JPG", engine::codecs::ImageFormat::Jpeg},
        // The drawings after the classic types: a name of theirs keeps its type under filter 1.
        {"pic.svg", 1, "pic.svg", ".SVG", engine::codecs::VectorFormat::Svg},
        {"pic.Pdf", 1, "pic.Pdf", ".PDF", engine::codecs::VectorFormat::Pdf},
        {"pic", 5, "pic.SVG", ".SVG", engine::codecs::VectorFormat::Svg},
        {"pic.png", 6, "pic.png.PDF", ".PDF", engine::codecs::VectorFormat::Pdf},
        {"pic.pdf", 4, "pic.pdf.PNG", ".PNG", engine::codecs::ImageFormat::Png},
        {"pic", 7, "pic.BMP", ".BMP", engine::codecs::ImageFormat::Bmp},
    };
    for (const auto& row : rows) {
        const SaveTarget t = decideSaveTarget(row.name, row.filter);
        EXPECT_EQ(t.fileName, row.finalName) << row.name << " filter " << row.filter;
        EXPECT_EQ(t.extension, row.extension) << row.name << " filter " << row.filter;
        EXPECT_TRUE(t.format == row.format) << row.name << " filter " << row.filter;
    }
}

TEST(SaveFormat, ClassicFileTypesThenTheDrawings) {
    const std::vector<ui::FileFilter> filters = saveFilters();
    ASSERT_EQ(filters.size(), 6u);
    EXPECT_EQ(filters[0].description, "画像ファイル");
    EXPECT_EQ(filters[0].patterns, "*.bmp;*.jpg;*.png");
    EXPECT_EQ(filters[2].description, QString::fromUtf16(u"\uFF2A\uFF30\uFF25\uFF27ファイル"));
    EXPECT_EQ(filters[3].description, QString::fromUtf16(u"\uFF30\uFF2E\uFF27ファイル"));
    EXPECT_EQ(filters[3].patterns, "*.png");
    EXPECT_EQ(filters[4].description, QString::fromUtf16(u"\uFF33\uFF36\uFF27ファイル"));
    EXPECT_EQ(filters[4].patterns, "*.svg");
    EXPECT_EQ(filters[5].description, QString::fromUtf16(u"\uFF30\uFF24\uFF26ファイル"));
    EXPECT_EQ(filters[5].patterns, "*.pdf");
}

TEST(SaveFormat, TargetStatusOfOrdinaryCases) {
    QTemporaryDir dir;
    EXPECT_EQ(checkSaveTarget(nullptr, "   "), TargetStatus::Blank);
    EXPECT_EQ(checkSaveTarget(nullptr, dir.filePath("none.png")), TargetStatus::NotFound);
    testsupport::writeAll(dir.filePath("empty"), "");
    EXPECT_EQ(checkSaveTarget(nullptr, dir.filePath("empty")), TargetStatus::Empty);
    testsupport::writeAll(dir.filePath("full"), "x");
    EXPECT_EQ(checkSaveTarget(nullptr, dir.filePath("full")), TargetStatus::Exists);
}

TEST(SaveFormat, TargetStatusReportsUnexpectedErrorAndLetsCallerGoOn) {
    QTemporaryDir dir;
    QString title, text;
    testsupport::onNextModal([&](QWidget* w) {
        title = w->windowTitle();
        // A dialog's frame: never a minimise or maximise button.
        EXPECT_EQ(w->windowFlags() & (Qt::WindowType_Mask | Qt::WindowMinMaxButtonsHint |
                                      Qt::CustomizeWindowHint),
                  Qt::Dialog | Qt::CustomizeWindowHint);
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            text = box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
        }
        testsupport::clickButton(w, "OK");
    });
    EXPECT_EQ(checkSaveTarget(nullptr, dir.filePath("no/such/folder.png")), TargetStatus::Failed);
    EXPECT_EQ(title, QStringLiteral("システムエラー"));
    EXPECT_TRUE(text.startsWith("76:")) << text.toStdString();
}
