#include "CodePage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <iconv.h>

#include <QList>

// Shift-JIS through the C library's converter (CP932).
namespace engine::settings {
namespace {

// One conversion descriptor per call keeps this free of shared state.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; an input unit that cannot be converted is
    // replaced by '?' (encoded as `question`) and skipped (`skip` bytes).
    std::string run(std::string_view in, std::string_view question, size_t skip) {
        std::string out;
        out.reserve(in.size() * 2 + 8);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[256];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (r != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: an unconvertible or incomplete unit.
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            out.append(question);
            size_t n = std::min(skip, srcLeft);
            src += n;
            srcLeft -= n;
        }
        return out;
    }

  private:
    iconv_t m_cd;
};

} // namespace

std::string toAnsi(const QString& text) {
    // UTF-32 gives every character the same width, so a bad one is skipped whole.
    QList<uint> ucs4 = text.toUcs4();
    std::string_view in(reinterpret_cast<const char*>(ucs4.constData()),
                        static_cast<size_t>(ucs4.size()) * 4);
    Converter cv("CP932", std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE");
    if (!cv.ok())
        return text.toLatin1().toStdString();
    return cv.run(in, "?", 4);
}

QString fromAnsi(std::string_view bytes) {
    Converter cv("UTF-8", "CP932");
    if (!cv.ok())
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    std::string utf8 = cv.run(bytes, "?", 1);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace engine::settings
