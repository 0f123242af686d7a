#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

QString allCyrillicLetters()
{
    QString letters;
    for (char16_t c = u'А'; c <= u'я'; ++c)
        letters += QChar(c);
    letters += QChar(u'Ё');
    letters += QChar(u'ё');
    return letters;
}

TEST(CodePage, CyrillicSurvivesBothCodePagesOneByteEach)
{
    const QString letters = allCyrillicLetters();
    const QByteArray ansi = CodePage::toWindows1251(letters);
    const QByteArray oem = CodePage::toOem(letters);
    ASSERT_EQ(ansi.size(), letters.size());
    ASSERT_EQ(oem.size(), letters.size());
    EXPECT_EQ(CodePage::fromWindows1251(ansi), letters);
    EXPECT_EQ(CodePage::fromOem(oem), letters);
}

TEST(CodePage, KnownBytes)
{
    struct Case { QString text; QByteArray ansi; QByteArray oem; };
    const Case cases[] = {
        {QStringLiteral("А"), "\xC0", "\x80"},
        {QStringLiteral("я"), "\xFF", "\xEF"},
        {QStringLiteral("Ё"), "\xA8", "\xF0"},
        {QStringLiteral("Вх."), "\xC2\xF5.", "\x82\xE5."},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CodePage::toWindows1251(c.text), c.ansi) << c.text.toStdString();
        EXPECT_EQ(CodePage::toOem(c.text), c.oem) << c.text.toStdString();
    }
}

TEST(CodePage, DiagramGlyphBytes)
{
    struct Case { char byte; char16_t glyph; };
    const Case cases[] = {{'\xB3', u'│'}, {'\xB0', u'░'}, {'\xDB', u'█'}, {'\xB2', u'▓'}};
    for (const Case &c : cases) {
        const QByteArray byte(1, c.byte);
        EXPECT_EQ(CodePage::fromOem(byte), QString(QChar(c.glyph)));
        EXPECT_EQ(CodePage::toOem(QString(QChar(c.glyph))), byte);
    }
}

TEST(CodePage, TextFilesAreUtf8OnlyWhenValidAndNotAscii)
{
    struct Case { QByteArray bytes; QString text; };
    const Case cases[] = {
        {"plain", QStringLiteral("plain")},
        {"\xD0\x98=p", QStringLiteral("И=p")},          // UTF-8
        {"\xC8=p", QStringLiteral("И=p")},              // Windows-1251
        {"\xD0\xE5\xEB\xE5", QStringLiteral("Реле")},   // 1251 that is not valid UTF-8
    };
    for (const Case &c : cases)
        EXPECT_EQ(CodePage::decodeTextFile(c.bytes), c.text) << c.bytes.toStdString();
}

} // namespace
