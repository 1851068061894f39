#include "name_list_display.h"

#include <QStringDecoder>

namespace scrivane {

namespace {

// Windows-1252 where it differs from Latin-1: the bytes 0x80 to 0x9F. The five
// bytes it leaves undefined keep their Latin-1 meaning, as Windows itself does.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte >= 0x80 && byte <= 0x9F ? cp1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

QString fromUtf8(std::string_view bytes, bool* valid = nullptr)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (valid)
        *valid = !decoder.hasError();
    return text;
}

} // namespace

QString nameListDisplayText(std::string_view bytes, Charset charset)
{
    switch (charset) {
    case Charset::Utf8:
        return fromUtf8(bytes);
    case Charset::Windows1252:
        return fromWindows1252(bytes);
    case Charset::Ascii:
        break;
    }
    bool valid = false;
    QString text = fromUtf8(bytes, &valid);
    return valid ? text : fromWindows1252(bytes);
}

} // namespace scrivane
