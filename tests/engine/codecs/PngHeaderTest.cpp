#include <gtest/gtest.h>

#include "engine/codecs/PngHeader.h"
#include "engine/image/Limits.h"
#include "support/TestFiles.h"

TEST(PngHeader, SignatureAndSizeDecideWhetherAPngIsTaken) {
    const QByteArray good = testfiles::pngHeaderOnly(8192, 8192);
    EXPECT_TRUE(engine::codecs::parsePngHeader(good).signatureOk);
    // Line-end conversions damage bytes 4 to 7; a file cut short reads 0 for the rest.
    for (const QByteArray& bad : {QByteArray(good).replace("\r\n", "\n"),
                                  QByteArray(good).replace("\n", "\r\n"), good.left(7)})
        EXPECT_FALSE(engine::codecs::parsePngHeader(bad).signatureOk)
            << bad.left(10).toHex().toStdString();
    // 256 MiB of pixels at most, reached by area while both sides are in range;
    // only the low 16 bits of each side are read.
    const struct {
        quint32 width, height;
        bool taken;
    } sizes[] = {{8192, 8192, true},   {8192, 8193, false},  {32767, 2048, true},
                 {32767, 2049, false}, {2049, 32767, false}, {32768, 1, false},
                 {1, 1, true},         {0, 1, false},        {65536 + 7, 9, true}};
    for (const auto& s : sizes) {
        const engine::codecs::PngHeader header =
            engine::codecs::parsePngHeader(testfiles::pngHeaderOnly(s.width, s.height));
        EXPECT_EQ(engine::image::pictureSizeAllowed(header.width, header.height), s.taken)
            << s.width << " x " << s.height;
    }
}
