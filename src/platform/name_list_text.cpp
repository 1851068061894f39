#include "name_list_text.h"

#include "statement/utf8.h"
#include "statement/windows1252.h"

#include <QStringDecoder>

namespace scrivane {

namespace {

QString textFromWindows1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes)
        *out++ = QChar(scrivane::fromWindows1252(static_cast<unsigned char>(c)));
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
        return textFromWindows1252(bytes);
    case Charset::Ascii:
        break;
    }
    bool valid = false;
    QString text = fromUtf8(bytes, &valid);
    return valid ? text : textFromWindows1252(bytes);
}

QString quotingText(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Char c = decodeUtf8(bytes.substr(i));
        if (c.length == 0) {
            text += QChar(fromWindows1252(static_cast<unsigned char>(bytes[i])));
            ++i;
        } else {
            if (QChar::requiresSurrogates(c.code)) {
                text += QChar(QChar::highSurrogate(c.code));
                text += QChar(QChar::lowSurrogate(c.code));
            } else {
                text += QChar(static_cast<char16_t>(c.code));
            }
            i += c.length;
        }
    }
    return text;
}

} // namespace scrivane
