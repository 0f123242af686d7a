#include "editor/frmEditor.h"
#include "tests/support/ScriptedPrompts.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

const QString kFilter = QStringLiteral("Все (*.*)|*.*|Модель (*.mod)|*.mod|RTF (*.rtf)|*.rtf");
const MessageRequest kSaveQuestion{QStringLiteral("Вы не сохранили свои изменения! Хотите сохранить?"),
                                   QStringLiteral("Привет!"), Prompt::Buttons::YesNo, Prompt::Icon::Exclamation,
                                   std::nullopt};
const MessageRequest kInputError{QStringLiteral("Ошибка ввода"), QString(), Prompt::Buttons::Ok,
                                 Prompt::Icon::Exclamation, std::nullopt};

MessageRequest saveFailed(const QString &path)
{
    return {QStringLiteral("Файл %1 не сохранен: нет права на запись или папка не существует. "
                           "Текст остался в редакторе.").arg(path),
            QString(), Prompt::Buttons::Ok, Prompt::Icon::Exclamation, std::nullopt};
}

FileRequest openRequest(const QString &proposed)
{
    return {FileRequest::Kind::Open, kFilter, proposed, QString(), QString(), true};
}

class EditorTest : public ::testing::Test
{
protected:
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QByteArray bytesOf(const QString &path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    void type(const QString &text) { QTest::keyClicks(editor.textBox, text); }

    QTemporaryDir dir;
    ScriptedPrompts script;
    frmEditor editor;
};

TEST_F(EditorTest, SaveQuestionComesOnlyAfterAChange)
{
    const QString a = file(QStringLiteral("a.mod"), "first\r\n");
    const QString b = file(QStringLiteral("b.mod"), "second\r\n");
    ASSERT_TRUE(editor.OpenFile(a));
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(editor.windowTitle(), a);

    // Freshly loaded: the next open asks nothing before its dialog.
    script.expectFile(openRequest(QString()), b);
    editor.OpenWindowsText();
    EXPECT_EQ(editor.nmF, b);

    // One typed character: the question first, and Yes saves to nmF.
    type(QStringLiteral("X"));
    script.expectMessage(kSaveQuestion, Prompt::Answer::Yes).expectFile(openRequest(b), a);
    editor.OpenWindowsText();
    EXPECT_EQ(bytesOf(b), QByteArray("Xsecond\r\n"));
    EXPECT_EQ(editor.plainText(), QStringLiteral("first\n"));

    // After a save, closing asks nothing.
    type(QStringLiteral("Y"));
    ASSERT_TRUE(editor.Save());
    EXPECT_TRUE(editor.close());
    EXPECT_TRUE(script.finished());
}

TEST_F(EditorTest, AnsweringNoKeepsTheFileAndReplacesTheText)
{
    const QString a = file(QStringLiteral("a.txt"), "one");
    const QString b = file(QStringLiteral("b.txt"), "two");
    editor.OpenFile(a);
    type(QStringLiteral("Z"));
    script.expectMessage(kSaveQuestion, Prompt::Answer::No).expectFile(openRequest(QString()), b);
    editor.OpenWindowsText();
    EXPECT_EQ(bytesOf(a), QByteArray("one"));
    EXPECT_EQ(editor.plainText(), QStringLiteral("two"));
}

TEST_F(EditorTest, DosFilesLoadOneAfterAnother)
{
    struct Case { QByteArray bytes; QString text; };
    const Case cases[] = {
        {"abc\r\n", QStringLiteral("abc")},
        {"abc", QStringLiteral("abc")},
        {"\x8f\xe0\xa8\r\n\xb3\xb0\r\n", QStringLiteral("При\n│░")},
    };
    QString previous;
    int n = 0;
    for (const Case &c : cases) {
        const QString path = file(QStringLiteral("dos%1.txt").arg(++n), c.bytes);
        script.expectFile(openRequest(previous), path);
        editor.OpenDosText();
        EXPECT_EQ(editor.plainText(), c.text) << c.bytes.toStdString();
        EXPECT_EQ(editor.nmF, path);
        EXPECT_FALSE(editor.isModified());
        previous = path;
    }
}

TEST_F(EditorTest, SavingWritesBackTheBytesThatWereRead)
{
    // Windows text in Windows-1251, a report in code page 866 with the
    // diagram glyphs; each with and without a final line end, and with the
    // no-break space of its code page.
    struct Case { QByteArray bytes; bool report; };
    const Case cases[] = {
        {"\xcc\xee\xe4\xe5\xeb\xfc\r\n 2 \r\n\xc0=p+\xc0*-\xc1\r\n\xa0\r\n", false},
        {"\xcc\xee\xe4\xe5\xeb\xfc\r\nlast line", false},
        {"\r\n06.12.2026\r\n\xb3    \xb0    \xdb    \xb2    0,10\r\n\xff\r\n", true},
        {"\x82\xe5. \xb3    \xb2", true},
    };
    int n = 0;
    for (const Case &c : cases) {
        const QString path = file(QStringLiteral("round%1.out").arg(++n), c.bytes);
        ASSERT_TRUE(c.report ? editor.OpenReport(path) : editor.OpenFile(path));
        ASSERT_TRUE(editor.Save());
        EXPECT_EQ(bytesOf(path), c.bytes) << n;
    }
    EXPECT_TRUE(QFontInfo(editor.textBox->font()).fixedPitch());
}

TEST_F(EditorTest, FailedSaveKeepsTheTextAndTheFlag)
{
    editor.OpenFile(file(QStringLiteral("a.txt"), "text"));
    const QString unreachable = dir.filePath(QStringLiteral("gone/a.txt"));
    editor.nmF = unreachable;
    type(QStringLiteral("new "));
    script.expectMessage(saveFailed(unreachable), Prompt::Answer::Ok);
    EXPECT_FALSE(editor.Save());
    EXPECT_EQ(editor.plainText(), QStringLiteral("new text"));
    EXPECT_TRUE(editor.isModified());

    // A save asked for before opening another file fails the same way: the
    // open stops before its dialog, and closing is refused.
    for (int attempt = 0; attempt < 2; ++attempt)
        script.expectMessage(kSaveQuestion, Prompt::Answer::Yes).expectMessage(saveFailed(unreachable), Prompt::Answer::Ok);
    editor.OpenWindowsText();
    EXPECT_EQ(editor.plainText(), QStringLiteral("new text"));
    EXPECT_FALSE(editor.close());
    EXPECT_TRUE(editor.isModified());
}

TEST_F(EditorTest, ReadErrorsKeepTheEditorAsItWas)
{
    const QByteArray report("\x8f\xe0\xa8 \xb3\r\n"); // "При │" in code page 866
    const QString a = file(QStringLiteral("a.out"), report);
    editor.OpenReport(a);
    script.expectMessage(kInputError, Prompt::Answer::Ok);
    EXPECT_FALSE(editor.OpenFile(dir.filePath(QStringLiteral("missing.txt"))));
    EXPECT_EQ(editor.nmF, a);
    EXPECT_EQ(editor.windowTitle(), a);
    EXPECT_EQ(editor.plainText(), QStringLiteral("При │\n"));
    // The report is still written back in its own code page.
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(bytesOf(a), report);

    // A cancelled open dialog does nothing at all.
    script.expectFile(openRequest(QString()), QString());
    editor.OpenDosText();
    EXPECT_EQ(editor.nmF, a);
    EXPECT_EQ(editor.plainText(), QStringLiteral("При │\n"));
}

TEST_F(EditorTest, SaveAsWritesTheChosenFileAndKeepsTheCaption)
{
    const QString a = file(QStringLiteral("a.txt"), "text");
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    editor.OpenFile(a);
    script.expectFile({FileRequest::Kind::Save, QString(), QString(), QString(), QString(), true}, QString());
    editor.SaveAs();
    EXPECT_EQ(editor.nmF, a);
    script.expectFile({FileRequest::Kind::Save, QString(), QString(), QString(), QString(), true}, b);
    editor.SaveAs();
    EXPECT_EQ(editor.nmF, b);
    EXPECT_EQ(bytesOf(b), QByteArray("text"));
    EXPECT_EQ(editor.windowTitle(), a);
}

// The folder of the new name cannot take files. Tests run as root, where a
// read-only folder still takes them, so the "folder" is a regular file here.
TEST_F(EditorTest, AFailedSaveAsKeepsTheNameAndTheFlagAndAnotherNameStillWorks)
{
    const QString a = file(QStringLiteral("a.txt"), "text");
    const QString blocked = file(QStringLiteral("plain"), "") + QStringLiteral("/b.txt");
    const QString elsewhere = dir.filePath(QStringLiteral("c.txt"));
    editor.OpenFile(a);
    type(QStringLiteral("new "));
    script.expectFile({FileRequest::Kind::Save, QString(), QString(), QString(), QString(), true}, blocked)
        .expectMessage(saveFailed(blocked), Prompt::Answer::Ok);
    editor.SaveAs();
    EXPECT_EQ(editor.nmF, a);
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(editor.plainText(), QStringLiteral("new text"));
    EXPECT_EQ(bytesOf(a), QByteArray("text"));

    script.expectFile({FileRequest::Kind::Save, QString(), blocked, QString(), QString(), true}, elsewhere);
    editor.SaveAs();
    EXPECT_EQ(editor.nmF, elsewhere);
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(bytesOf(elsewhere), QByteArray("new text"));
}

TEST_F(EditorTest, SavingNeverTurnsCharactersIntoQuestionMarks)
{
    // Read as UTF-8, written as UTF-8.
    const QByteArray utf8 = QStringLiteral("Реле ✓\r\n").toUtf8();
    const QString u = file(QStringLiteral("u.txt"), utf8);
    editor.OpenFile(u);
    editor.textBox->insertPlainText(QStringLiteral("Ω"));
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(bytesOf(u), QStringLiteral("ΩРеле ✓\r\n").toUtf8());

    // Read as Windows-1251, now holding characters it lacks: the first one
    // (taking two UTF-16 units) and its line are named.
    const QByteArray cp1251("\xd0\xe5\xeb\xe5\r\n");
    const QString w = file(QStringLiteral("w.txt"), cp1251);
    editor.OpenFile(w);
    editor.textBox->moveCursor(QTextCursor::End);
    editor.textBox->insertPlainText(QStringLiteral("к 𝄞 ✓"));
    const MessageRequest question{
        QStringLiteral("Файл %1: в строке 2 есть символ «𝄞», которого нет в кодировке Windows-1251. "
                       "Сохранить файл в кодировке UTF-8?").arg(w),
        QString(), Prompt::Buttons::OkCancel, Prompt::Icon::Exclamation, std::nullopt};
    script.expectMessage(question, Prompt::Answer::Cancel);
    EXPECT_FALSE(editor.Save());
    EXPECT_EQ(bytesOf(w), cp1251);
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(editor.plainText(), QStringLiteral("Реле\nк 𝄞 ✓"));

    script.expectMessage(question, Prompt::Answer::Ok);
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(bytesOf(w), QStringLiteral("Реле\r\nк 𝄞 ✓").toUtf8());
    EXPECT_FALSE(editor.isModified());
    EXPECT_TRUE(script.finished());
}

TEST_F(EditorTest, FontGoesToTheWholeTextWithTheCaretAtTheStart)
{
    editor.textBox->setPlainText(QStringLiteral("first line\nsecond line\nthird"));
    QTextCursor cursor = editor.textBox->textCursor();
    cursor.setPosition(3);
    cursor.setPosition(14, QTextCursor::KeepAnchor);
    editor.textBox->setTextCursor(cursor);
    QFont chosen(QStringLiteral("DejaVu Serif"), 14);
    chosen.setBold(true);
    chosen.setUnderline(true);
    script.expectFont(chosen);
    editor.ChooseFont();

    for (int position : {0, 1, 12, 20, 28}) {
        QTextCursor at(editor.textBox->document());
        at.setPosition(position);
        const QFont font = at.charFormat().font();
        EXPECT_EQ(font.family(), chosen.family()) << position;
        EXPECT_EQ(font.pointSize(), 14) << position;
        EXPECT_TRUE(font.bold() && font.underline()) << position;
    }
    EXPECT_EQ(editor.textBox->textCursor().position(), 0);
    EXPECT_FALSE(editor.textBox->textCursor().hasSelection());

    script.expectFont(std::nullopt);
    editor.ChooseFont();
    EXPECT_EQ(editor.textBox->font().family(), chosen.family());
}

TEST_F(EditorTest, ClipboardCommands)
{
    QClipboard &clipboard = *QApplication::clipboard();
    editor.textBox->setPlainText(QStringLiteral("abc\ndef"));
    editor.textBox->document()->setModified(false);
    QTextCursor cursor = editor.textBox->textCursor();
    cursor.setPosition(1);
    editor.textBox->setTextCursor(cursor);
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));

    // Nothing selected: the menu command and its key empty the clipboard.
    for (const bool byKey : {false, true}) {
        clipboard.setText(QStringLiteral("old"));
        if (byKey)
            QTest::keyClick(editor.textBox, Qt::Key_X, Qt::ControlModifier);
        else
            editor.Cut();
        EXPECT_EQ(clipboard.text(), QString()) << byKey;
        EXPECT_EQ(editor.plainText(), QStringLiteral("abc\ndef"));
        EXPECT_FALSE(editor.isModified());
    }

    cursor.setPosition(2, QTextCursor::KeepAnchor);
    cursor.setPosition(5, QTextCursor::KeepAnchor); // "c\nd" across the line end
    editor.textBox->setTextCursor(cursor);
    editor.Copy();
    EXPECT_EQ(clipboard.text(), QStringLiteral("bc\nd"));
    editor.Cut();
    EXPECT_EQ(editor.plainText(), QStringLiteral("aef"));
    editor.Paste();
    EXPECT_EQ(editor.plainText(), QStringLiteral("abc\ndef"));
    EXPECT_TRUE(editor.isModified());
}

TEST_F(EditorTest, ConverterRepairsADosFileOpenedAsWindowsText)
{
    editor.OpenFile(file(QStringLiteral("dos.txt"), "\x8f\xe0\xa8\xa2\xa5\xe2\r\n\xb3\xb0"));
    ASSERT_NE(editor.plainText(), QStringLiteral("Привет\n│░"));
    editor.ConvertFrom866();
    EXPECT_EQ(editor.plainText(), QStringLiteral("Привет\n│░"));
    EXPECT_TRUE(editor.isModified());
}

TEST_F(EditorTest, DirectCommandsRunFromTheMenuBar)
{
    QMenuBar bar;
    for (QMenu *menu : editor.menus())
        bar.addMenu(menu);
    bar.resize(600, 30);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QStringList captions;
    for (QAction *entry : bar.actions())
        captions << entry->text();
    EXPECT_EQ(captions.join(QLatin1Char('|')),
              QStringLiteral("&Файл|&Редактирование|&Шрифт|&Окно|866-2151|&?"));

    script.expectFont(std::nullopt);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.actionGeometry(bar.actions()[2]).center());
    EXPECT_TRUE(script.finished());
}

TEST(EditorWindow, ClosingTheChildAsksAndStoresItsPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile(path).open(QIODevice::WriteOnly);
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    frmEditor &editor = frmEditor::Instance(area);
    EXPECT_EQ(&frmEditor::Instance(area), &editor);
    editor.OpenFile(path);
    editor.ShowEditor();
    QMdiSubWindow *sub = area.subWindowList().value(0);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->windowTitle(), path);
    sub->setGeometry(15, 30, 300, 200);
    QTest::keyClicks(editor.textBox, QStringLiteral("x"));

    ScriptedPrompts script;
    script.expectMessage(kSaveQuestion, Prompt::Answer::No);
    editor.Exit();
    EXPECT_TRUE(area.subWindowList().isEmpty() || !sub->isVisible());
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Модель"), QStringLiteral("Модель"));
    const double twipsPerPixel = 1440.0 / area.logicalDpiX();
    EXPECT_NEAR(store.value(QStringLiteral("Settings/EditLeft")).toDouble(), 15 * twipsPerPixel, 1);
    EXPECT_NEAR(store.value(QStringLiteral("Settings/EditWidth")).toDouble(), 300 * twipsPerPixel, 1);
}

} // namespace
