#include "report/ShowReport.h"

#include "editor/frmEditor.h"
#include "platform/CodePage.h"
#include "platform/CommonDialog.h"
#include "tests/support/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

using A = Prompt::Answer;

// A report as runs leave it: a header, the column heading and rows of
// pseudo-graphic cells, code page 866, CR LF.
QByteArray sampleReport()
{
    return "\r\n07.12.2026\r\n09:05\r\n" + CodePage::toOem(QStringLiteral("                                 Повторитель"))
           + "\r\n" + CodePage::toOem(QStringLiteral("Вх.   К1   В     Ti")) + "\r\n"
           + "\xB3    \xDB    \xB3    \r\n\xB0    \xB0    \xB2    0,10\r\n";
}

FileRequest reportRequest(const QString &proposed)
{
    FileRequest r;
    r.kind = FileRequest::Kind::Open;
    r.filter = QStringLiteral("Файлы out |*.out");
    r.fileName = proposed;
    r.initDir = QCoreApplication::applicationDirPath();
    return r;
}

class ShowReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        state.ModelPath = dir.filePath(QStringLiteral("model"));
        reportPath = dir.filePath(QStringLiteral("run.out"));
        QFile file(reportPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(sampleReport());
    }
    frmEditor *editor() const
    {
        for (QMdiSubWindow *sub : area.subWindowList())
            if (auto *e = qobject_cast<frmEditor *>(sub->widget()))
                return e;
        return nullptr;
    }

    QTemporaryDir dir;
    QString reportPath;
    ModelState state;
    CommonDialog CDL1;
    QMdiArea area;
    ScriptedPrompts prompts;
};

TEST_F(ShowReportTest, AReportShownAndSavedKeepsItsBytes)
{
    prompts.expectFile(reportRequest(state.ModelPath + QLatin1String(".out")), reportPath);
    ShowReport(state, CDL1, area);

    frmEditor *shown = editor();
    ASSERT_NE(shown, nullptr);
    const QString text = shown->textBox->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Повторитель")));
    EXPECT_TRUE(text.contains(QStringLiteral("│    █    │")));
    EXPECT_TRUE(text.contains(QStringLiteral("░    ░    ▓    0,10")));
    EXPECT_TRUE(QFontInfo(shown->textBox->font()).fixedPitch());
    EXPECT_TRUE(state.ChosenPath.isEmpty());
    EXPECT_EQ(state.ModelPath, dir.filePath(QStringLiteral("model"))); // a report is not a model

    QFile::remove(reportPath);
    ASSERT_TRUE(shown->Save());
    QFile saved(reportPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), sampleReport());
}

TEST_F(ShowReportTest, CancelShowsNothing)
{
    state.ChosenPath = QStringLiteral("/earlier/choice");
    prompts.expectFile(reportRequest(state.ModelPath + QLatin1String(".out")), QString());
    ShowReport(state, CDL1, area);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(state.ChosenPath, QStringLiteral("/earlier/choice"));
}

TEST_F(ShowReportTest, UnsavedEditorTextIsOfferedForSavingFirst)
{
    const QString modelText = dir.filePath(QStringLiteral("edited.mod"));
    frmEditor &open = frmEditor::Instance(area);
    open.nmF = modelText;
    open.textBox->setPlainText(QStringLiteral("Новая модель"));
    open.textBox->document()->setModified(true);

    prompts.expectFile(reportRequest(state.ModelPath + QLatin1String(".out")), reportPath)
        .expectMessage({QStringLiteral("Вы не сохранили свои изменения! Хотите сохранить?"), QStringLiteral("Привет!"),
                        Prompt::Buttons::YesNo, Prompt::Icon::Exclamation, std::nullopt},
                       A::Yes);
    ShowReport(state, CDL1, area);

    QFile saved(modelText);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), CodePage::toWindows1251(QStringLiteral("Новая модель")));
    EXPECT_TRUE(open.textBox->toPlainText().contains(QStringLiteral("Повторитель")));
}

} // namespace
