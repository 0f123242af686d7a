#include "editor/EditorText.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// "Привет" in code page 866 and in Windows-1251.
const QByteArray kPrivet866("\x8f\xe0\xa8\xa2\xa5\xe2");
const QByteArray kPrivet1251("\xcf\xf0\xe8\xe2\xe5\xf2");
const QString kPrivet = QStringLiteral("Привет");

TEST(EditorText, DosTextLosesOnlyOneFinalLineEnd)
{
    struct Case { QByteArray file; QString text; };
    const Case cases[] = {
        {"abc\r\n", QStringLiteral("abc")},
        {"abc", QStringLiteral("abc")},                    // no final line end: nothing is cut
        {"a\r\nb\r\n", QStringLiteral("a\nb")},            // inner line ends stay
        {"abc\r\n\r\n", QStringLiteral("abc\n")},          // only one line end goes
        {"abc\n", QStringLiteral("abc\n")},                // LF alone is not CR LF
        {"x", QStringLiteral("x")},                        // shorter than a line end
        {"", QString()},
        {kPrivet866 + "\r\n", kPrivet},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EditorText::decodeDosText(c.file), c.text) << c.file.toStdString();
}

TEST(EditorText, EncodeWritesCrLfInTheChosenCodePage)
{
    const QString text = kPrivet + QStringLiteral("\n│░█▓\n");
    EXPECT_EQ(EditorText::encode(text, EditorText::CodePage::Dos866),
              kPrivet866 + QByteArray("\r\n\xb3\xb0\xdb\xb2\r\n"));
    EXPECT_EQ(EditorText::encode(kPrivet + QStringLiteral("\n"), EditorText::CodePage::Windows1251),
              kPrivet1251 + "\r\n");
}

TEST(EditorText, ReportBytesSurviveDecodeAndEncode)
{
    QByteArray every;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            every.append(char(b));
    every.append("\r\n");
    EXPECT_EQ(EditorText::encode(EditorText::decodeReport(every), EditorText::CodePage::Dos866), every);
}

TEST(EditorText, FailedWriteLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QString reason;
    ASSERT_TRUE(EditorText::writeFile(path, "old", &reason));
    EXPECT_EQ(EditorText::readFile(path), QByteArray("old"));
    EXPECT_FALSE(EditorText::writeFile(dir.filePath(QStringLiteral("missing/a.txt")), "new", &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(EditorText::readFile(dir.filePath(QStringLiteral("missing.txt"))).has_value());
}

} // namespace
