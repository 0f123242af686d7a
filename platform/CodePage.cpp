#include "CodePage.h"

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
    if (!isAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
    return fromWindows1251(bytes);
}

} // namespace CodePage
