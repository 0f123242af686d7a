#include "platform/CodePage.h"

#include <QStringDecoder>
#include <QTextCodec>

namespace {

QTextCodec &codec(const char *name)
{
    QTextCodec *c = QTextCodec::codecForName(name);
    Q_ASSERT(c); // both code pages ship with Qt's Core5Compat
    return *c;
}

QTextCodec &windows1251() { static QTextCodec &c = codec("windows-1251"); return c; }
QTextCodec &oem866() { static QTextCodec &c = codec("IBM 866"); return c; }

bool isAscii(QByteArrayView bytes)
{
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    return true;
}

// The text of bytes that are valid UTF-8 and not plain ASCII.
std::optional<QString> utf8Text(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

} // namespace

namespace CodePage {

QString fromWindows1251(QByteArrayView bytes)
{
    return windows1251().toUnicode(bytes.data(), int(bytes.size()));
}

QByteArray toWindows1251(const QString &text) { return windows1251().fromUnicode(text); }

QString fromOem(QByteArrayView bytes) { return oem866().toUnicode(bytes.data(), int(bytes.size())); }

QByteArray toOem(const QString &text) { return oem866().fromUnicode(text); }

QString decodeTextFile(QByteArrayView bytes)
{
    if (std::optional<QString> text = utf8Text(bytes))
        return *std::move(text);
    return fromWindows1251(bytes);
}

bool isUtf8Text(QByteArrayView bytes) { return utf8Text(bytes).has_value(); }

std::optional<MissingCharacter> firstOutsideWindows1251(const QString &text)
{
    if (fromWindows1251(toWindows1251(text)) == text)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (fromWindows1251(toWindows1251(character)) != character)
            return MissingCharacter{i, character};
        i += length;
    }
    return std::nullopt;
}

} // namespace CodePage
