#include "TestFiles.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <QFile>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <png.h>
#include <zlib.h>

namespace testfiles {

void writePng(const QString& path, int width, int height, int colorType, int bitDepth,
              bool interlaced, const std::function<engine::image::Rgb(int, int)>& pixel) {
    FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 bitDepth, colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        // A palette of the pixels' own colours (the tests use few).
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const engine::image::Rgb c = pixel(x, y);
                bool known = false;
                for (const auto& p : palette)
                    known = known ||
                            (p.red == engine::image::red(c) && p.green == engine::image::green(c) &&
                             p.blue == engine::image::blue(c));
                if (!known)
                    palette.push_back({static_cast<png_byte>(engine::image::red(c)),
                                       static_cast<png_byte>(engine::image::green(c)),
                                       static_cast<png_byte>(engine::image::blue(c))});
            }
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    png_write_info(png, info);
    const int channels = colorType == PNG_COLOR_TYPE_RGB          ? 3
                         : colorType == PNG_COLOR_TYPE_RGBA       ? 4
                         : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                  : 1;
    const int bytesPerSample = bitDepth == 16 ? 2 : 1;
    std::vector<png_byte> image(static_cast<size_t>(width * height * channels * bytesPerSample));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const engine::image::Rgb c = pixel(x, y);
            int samples[4] = {engine::image::red(c), engine::image::green(c),
                              engine::image::blue(c), engine::image::alpha(c)};
            if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
                samples[0] = engine::image::red(c);
                samples[1] = engine::image::alpha(c);
            } else if (colorType == PNG_COLOR_TYPE_PALETTE) {
                for (size_t i = 0; i < palette.size(); ++i)
                    if (palette[i].red == engine::image::red(c) &&
                        palette[i].green == engine::image::green(c) &&
                        palette[i].blue == engine::image::blue(c))
                        samples[0] = static_cast<int>(i);
            }
            png_byte* out =
                &image[static_cast<size_t>(((y * width + x) * channels) * bytesPerSample)];
            for (int s = 0; s < channels; ++s) {
                if (bytesPerSample == 2) {
                    out[2 * s] = static_cast<png_byte>(samples[s]);
                    out[2 * s + 1] = static_cast<png_byte>(samples[s]);
                } else {
                    out[s] = static_cast<png_byte>(samples[s]);
                }
            }
        }
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<size_t>(y)] =
            &image[static_cast<size_t>(y * width * channels * bytesPerSample)];
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

QByteArray withOrientation(const QByteArray& file, int orientation) {
    // A big-endian TIFF block whose one directory holds the tag: SHORT, count 1.
    QByteArray tiff("MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0", 26);
    tiff[19] = char(orientation); // the value, a big-endian SHORT at 18
    if (file.startsWith("\xFF\xD8")) {
        const QByteArray body = "Exif" + QByteArray(2, 0) + tiff;
        QByteArray app1("\xFF\xE1\0\0", 4);
        app1[2] = char((body.size() + 2) >> 8);
        app1[3] = char((body.size() + 2) & 0xFF);
        return file.left(2) + app1 + body + file.mid(2);
    }
    const qsizetype idat = file.indexOf("IDAT") - 4;
    QByteArray chunk = QByteArray("\0\0\0", 3) + char(tiff.size()) + "eXIf" + tiff;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.constData() + 4), uInt(chunk.size() - 4));
    for (int shift : {24, 16, 8, 0})
        chunk += char((crc >> shift) & 0xFF);
    return file.left(idat) + chunk + file.mid(idat);
}

QByteArray pngHeaderOnly(quint32 width, quint32 height) {
    QByteArray ihdr("IHDR");
    for (quint32 v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            ihdr.append(static_cast<char>((v >> shift) & 0xFF));
    ihdr.append("\x08\x02\x00\x00\x00", 5);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(ihdr.constData()), static_cast<uInt>(ihdr.size()));
    QByteArray png("\x89PNG\r\n\x1a\n\x00\x00\x00\x0d", 12);
    png.append(ihdr);
    for (int shift = 24; shift >= 0; shift -= 8)
        png.append(static_cast<char>((crc >> shift) & 0xFF));
    return png;
}

QByteArray twoFrameGif() {
    return QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00"       // screen, 2-colour palette
                      "\xff\x00\x00\x00\x00\xff"                 // red, blue
                      "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00" // frame 1
                      "\x02\x02\x44\x01\x00"                     // index 0
                      "\x21\xf9\x04\x00\x0a\x00\x00\x00"         // delay before frame 2
                      "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00" // frame 2
                      "\x02\x02\x4c\x01\x00"                     // index 1
                      "\x3b",
                      6 + 7 + 6 + 10 + 5 + 8 + 10 + 5 + 1);
}

QByteArray twoSizeIcon() {
    const auto le16 = [](QByteArray& b, quint32 v) {
        b.append(static_cast<char>(v & 0xFF)).append(static_cast<char>((v >> 8) & 0xFF));
    };
    const auto le32 = [&le16](QByteArray& b, quint32 v) {
        le16(b, v & 0xFFFF);
        le16(b, v >> 16);
    };
    const auto dib = [&](int side, engine::image::Rgb colour) {
        QByteArray d;
        le32(d, 40);
        le32(d, static_cast<quint32>(side));
        le32(d, static_cast<quint32>(side * 2)); // colour rows and mask rows
        le16(d, 1);
        le16(d, 32);
        for (int i = 0; i < 6; ++i)
            le32(d, 0);
        for (int i = 0; i < side * side; ++i)
            le32(d, 0xFF000000u | (colour & 0xFFFFFF));
        const int maskStride = ((side + 31) / 32) * 4;
        d.append(QByteArray(maskStride * side, '\0'));
        return d;
    };
    const QByteArray small = dib(16, engine::image::rgb(255, 0, 0));
    const QByteArray large = dib(32, engine::image::rgb(0, 255, 0));
    QByteArray ico;
    le16(ico, 0);
    le16(ico, 1);
    le16(ico, 2);
    quint32 offset = 6 + 2 * 16;
    for (const auto& [side, data] : {std::pair{16, small}, std::pair{32, large}}) {
        ico.append(static_cast<char>(side)).append(static_cast<char>(side));
        ico.append('\0').append('\0');
        le16(ico, 1);
        le16(ico, 32);
        le32(ico, static_cast<quint32>(data.size()));
        le32(ico, offset);
        offset += static_cast<quint32>(data.size());
    }
    return ico + small + large;
}

namespace {

#ifdef Q_OS_WIN
QString unixName(const QString& path) {
    using ToUnix = char* (*)(const wchar_t*);
    static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(QDir::toNativeSeparators(path).toStdWString().c_str()) : nullptr;
    if (!unix)
        return path;
    const QString name = QString::fromUtf8(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return name;
}

// Wine starts a Linux program and waits for it through ntdll's
// __wine_unix_spawnvp; its output goes to a file through the shell.
QByteArray runLinuxProgram(const QString& program, const QStringList& arguments) {
    using Spawn = LONG (*)(char* const argv[], int wait);
    static const auto spawn = reinterpret_cast<Spawn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll"), "__wine_unix_spawnvp")));
    QTemporaryFile output(QDir::tempPath() + "/velmora-XXXXXX.out");
    if (!spawn || !output.open())
        return {};
    output.close();
    std::vector<QByteArray> words{"/bin/sh", "-c", "out=$1; shift; exec \"$@\" > \"$out\"",
                                  "sh", unixName(output.fileName()).toUtf8(), program.toUtf8()};
    for (const QString& argument : arguments)
        words.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    // Its status is not ImageMagick's to trust (as on Linux, below): the output is.
    spawn(argv.data(), TRUE);
    return output.open() ? output.readAll() : QByteArray();
}
#endif

} // namespace

QByteArray runTool(const QString& tool, const QStringList& before, const QStringList& files,
                   const QStringList& after) {
    QStringList arguments = before;
#ifdef Q_OS_WIN
    if (!QFile::exists("Z:/usr/bin/" + tool)) {
        ADD_FAILURE() << tool.toStdString() << " is missing: scripts/install-deps.sh installs it";
        return {};
    }
    for (const QString& file : files)
        arguments.append(unixName(file)); // a frame's "[N]" carries over
    return runLinuxProgram("/usr/bin/" + tool, arguments + after);
#else
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
        ADD_FAILURE() << tool.toStdString() << " is missing: scripts/install-deps.sh installs it";
        return {};
    }
    QProcess process;
    process.start(tool, arguments + files + after);
    // ImageMagick's warnings (a bitmap's stream ending early) end in a failure
    // status though the picture comes out whole.
    if (!process.waitForFinished(60000))
        return {};
    return process.readAllStandardOutput();
#endif
}

engine::image::Image readByImageMagick(const QByteArray& file, const QString& suffix) {
    QTemporaryFile saved(QDir::tempPath() + "/velmora-XXXXXX." + suffix);
    if (!saved.open() || saved.write(file) != file.size() || !saved.flush())
        return {};
    return readByImageMagick(saved.fileName());
}

engine::image::Image readByImageMagick(const QString& path, int frame, const QStringList& options) {
    const QByteArray out = runTool("convert-im6.q16", {},
                                          {QStringLiteral("%1[%2]").arg(path).arg(frame)},
                                          options + QStringList{"-colorspace", "sRGB", "-depth", "8",
                                                                "-alpha", "on", "PAM:-"});
    // A PAM header: WIDTH, HEIGHT, DEPTH 4 lines up to ENDHDR, then RGBA rows.
    const qsizetype end = out.indexOf("ENDHDR\n");
    int width = 0, height = 0;
    for (const QByteArray& line : out.left(end).split('\n')) {
        if (line.startsWith("WIDTH "))
            width = line.mid(6).toInt();
        else if (line.startsWith("HEIGHT "))
            height = line.mid(7).toInt();
    }
    engine::image::Image picture(width, height, engine::image::Format::Argb32);
    const auto* rgba = reinterpret_cast<const unsigned char*>(out.constData() + end + 7);
    if (end < 0 || picture.isNull() || out.size() - end - 7 < qsizetype(width) * height * 4)
        return {};
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<engine::image::Rgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x, rgba += 4)
            row[x] = engine::image::rgba(rgba[0], rgba[1], rgba[2], rgba[3]);
    }
    return picture;
}

} // namespace testfiles
