#include "tools/DiagramStream.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

QByteArray written(DiagramStream::Encoding encoding, const QList<QByteArray> &lines)
{
    std::FILE *file = std::tmpfile();
    EXPECT_NE(file, nullptr);
    {
        DiagramStream stream(file, encoding);
        for (const QByteArray &line : lines)
            stream.writeLine(line);
        EXPECT_TRUE(stream.flush());
    }
    std::rewind(file);
    QByteArray bytes;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.append(chunk, qsizetype(n));
    std::fclose(file);
    return bytes;
}

TEST(DiagramStream, ConvertsCodePage866Lines)
{
    struct Case
    {
        QByteArray oem;
        const char *utf8;
    };
    const Case cases[] = {
        {"\xB3    \xB0    \xDB    \xB2    ", "│    ░    █    ▓    "},
        {"\x82\xE5.   \x8F\xE3\xE1\xAA\xAE Ti", "Вх.   Пуско Ti"},
        {"\xB3    0,10", "│    0,10"},
        {"", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(written(DiagramStream::Encoding::Utf8, {c.oem}), QByteArray(c.utf8) + '\n') << c.utf8;
        EXPECT_EQ(written(DiagramStream::Encoding::Cp866, {c.oem}), c.oem + '\n') << c.utf8;
    }
}

TEST(DiagramStream, KeepsOrderAcrossBufferDrainsAndLongLines)
{
    const QByteArray row = QByteArray("\xB0    ").repeated(26);
    const QByteArray longLine = QByteArray("\xDB").repeated(100000);
    QList<QByteArray> lines;
    QByteArray expected;
    for (int k = 0; k < 20000; ++k) { // several megabytes, so the buffer drains
        lines.append(k == 7000 ? longLine : row);
        expected += QString::fromUtf8(k == 7000 ? "█" : "░    ").repeated(k == 7000 ? 100000 : 26).toUtf8() + '\n';
    }
    EXPECT_EQ(written(DiagramStream::Encoding::Utf8, lines), expected);
}

} // namespace
