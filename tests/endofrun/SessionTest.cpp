#include "app/frmMenu.h"
#include "app/RunCommands.h"
#include "editor/frmEditor.h"
#include "platform/CodePage.h"
#include "report/ShowReport.h"
#include "sim/frmDiag.h"
#include "tests/run/RunTestSupport.h"
#include "wave/LiveRecording.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Prompt::Answer;

// A repeater: element К follows the input, output В follows К.
const QByteArray RepeaterModel = CodePage::toWindows1251(QStringLiteral("Повторитель\r\n 1 \r\nК=p\r\n 1 \r\nВ=К\r\n"));

const QString Title = QStringLiteral("Корректировка параметров");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Diagram rows: the lines that start with a cell glyph (│ ░ █ ▓), in the
// report's code page or as shown.
qsizetype rowsIn(const QString &text)
{
    qsizetype rows = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        rows += QStringView(u"│░█▓").contains(line.trimmed().left(1)) && !line.trimmed().isEmpty();
    return rows;
}
qsizetype rowsIn(const QByteArray &report) { return rowsIn(CodePage::fromOem(report)); }

// A user's whole session with one model, from the main window: a run, a
// stop with new parameters and a restart, the output redirected to the
// printer and a new report file, the report emptied, the end of the run and
// the report read in the editor.
class SessionTest : public ::testing::Test
{
protected:
    SessionTest() : menu(state, &programRunCommands())
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QFile model(dir.filePath(QStringLiteral("rep.mod")));
        EXPECT_TRUE(model.open(QIODevice::WriteOnly));
        model.write(RepeaterModel);
        model.close();
        state.ToScreen = FlagTrue;
        menu.show();
    }
    ~SessionTest() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QLocale::setDefault(QLocale::c());
    }

    QString path(const char *extension) const { return dir.filePath(QStringLiteral("rep.")) + QLatin1String(extension); }
    frmDiag *Diag() const { return menu.childArea().findChild<frmDiag *>(); }

    void scriptSetUp()
    {
        FileRequest open;
        open.filter = QStringLiteral("Файлы mod |*.mod");
        open.initDir = QCoreApplication::applicationDirPath();
        prompts.expectFile(open, path("mod"));
        prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmd5"); });
        prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInkeyb"); });
        prompts.expectDialog(QStringLiteral("frmTimeInput"), [](QDialog &d) {
            TypeInto(d, "txtTpr", QStringLiteral("0,05"));
            TypeInto(d, "txtTotp", QStringLiteral("0,05"));
            Click(d, "Command1");
        });
        prompts.expectInput(InputRequest{QStringLiteral("Время работы схемы (c)"), QString(), QStringLiteral("01,00")},
                            QStringLiteral("01,00"));
        prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Answer::No);
        prompts.expectDialog(QStringLiteral("frmKod"), [](QDialog &d) {
            auto *list = d.findChild<QComboBox *>(QStringLiteral("Combo1"));
            Activate(d);
            list->setFocus();
            list->showPopup();
            QAbstractItemView *view = list->view();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(2, 0)).center());
        });
    }

    // ESC typed now; its message comes with the next step, the dialogue at
    // the next step that is a multiple of 10, where the user takes option.
    void scriptStop(const char *option)
    {
        prompts.expectMessage(Message(QStringLiteral("ESC")), Answer::Ok);
        prompts.expectMessage(Message(QStringLiteral("Продолжить вывод?"), Prompt::Buttons::YesNo, Prompt::Icon::Question),
                              Answer::No);
        prompts.expectDialog(QStringLiteral("frmSubmenu"), [option](QDialog &d) {
            d.findChild<QRadioButton *>(QLatin1String(option))->click();
            Click(d, "Command1");
        });
    }

    void ticks(frmDiag &diag, int count)
    {
        for (int i = 0; i < count; ++i)
            diag.ShowDiag();
    }

    QTemporaryDir dir{QStringLiteral("/tmp/session-XXXXXX")};
    ModelState state;
    RecordingSound sound;
    HookedPrompts prompts;
    frmMenu menu;
};

TEST_F(SessionTest, RunStopChangeRestartRedirectEmptyFinishAndRead)
{
    state.ToFile = FlagTrue;
    scriptSetUp();
    menu.findChild<QAction *>(QStringLiteral("mnuModelTimdiag"))->trigger();
    QPointer<frmDiag> diag = Diag();
    ASSERT_NE(diag, nullptr);
    diag->stepTimer->stop();
    ASSERT_TRUE(prompts.finished());

    // 1. ESC at step 57: the dialogue comes at step 60; new times, 2 s, restart.
    ticks(*diag, 56);
    QTest::keyClick(diag, Qt::Key_Escape);
    scriptStop("Option1");
    prompts.expectMessage(Message(QStringLiteral("Изменять входные параметры?"), Prompt::Buttons::YesNo), Answer::No)
        .expectMessage(Message(QStringLiteral("Изменять внутренние параметры?"), Prompt::Buttons::YesNo), Answer::Yes)
        .expectInput({QStringLiteral("Введите Т пpитяжения К"), Title, QStringLiteral("0,05")}, QStringLiteral("0,02"))
        .expectInput({QStringLiteral("Введите Т отпадания К"), Title, QStringLiteral("0,05")}, QStringLiteral("0,03"))
        .expectInput({QStringLiteral("Время работы схемы"), Title, QStringLiteral("1")}, QStringLiteral("2"));
    MessageRequest save = Message(QStringLiteral("Записать данные на диск?"), Prompt::Buttons::YesNo,
                                  Prompt::Icon::Question, QStringLiteral("Сохранение"));
    save.defaultButton = Answer::No;
    prompts.expectMessage(save, Answer::No)
        .expectMessage(Message(QStringLiteral("Нажмите Ok  для вывода диаграммы сначала или Отмена для продолжения"),
                               Prompt::Buttons::OkCancel, Prompt::Icon::Information),
                       Answer::Ok);
    ticks(*diag, 4);
    ASSERT_TRUE(prompts.finished());
    EXPECT_EQ(diag->Step().ModelingItem, 0);
    EXPECT_EQ(diag->Rows().Count(), 0); // the window was cleared
    // The traces go on through the restart and mark it where the diagram's
    // time went back to 0: after step 60, beside the ESC at step 57.
    std::vector<std::pair<qint64, RunRecording::Mark::Kind>> marks;
    for (const RunRecording::Mark &mark : LiveRecording::last()->marks())
        marks.emplace_back(mark.step, mark.kind);
    EXPECT_EQ(marks, (std::vector<std::pair<qint64, RunRecording::Mark::Kind>>{
                         {57, RunRecording::Mark::Kind::Command}, {60, RunRecording::Mark::Kind::Restart}}));
    EXPECT_EQ(diag->State().RunLength, 200);
    EXPECT_EQ(diag->State().Tpr[1], 0.02f);
    const QByteArray afterRestart = readAll(path("out"));
    EXPECT_EQ(rowsIn(afterRestart), 60);
    EXPECT_EQ(afterRestart.count(CodePage::toOem(QStringLiteral("Временные характеристики"))), 2);

    // 2. Redirected: the printer on, and a new report file.
    ticks(*diag, 5);
    QTest::keyClick(diag, Qt::Key_Escape);
    scriptStop("Option3");
    prompts.expectDialog(QStringLiteral("frmOutdev"), [](QDialog &d) {
        d.findChild<QCheckBox *>(QStringLiteral("chkPrin"))->click();
        Click(d, "Command1");
    });
    MessageRequest newFile = Message(QStringLiteral("Вывод в новый файл?"), Prompt::Buttons::YesNo, Prompt::Icon::Question);
    newFile.defaultButton = Answer::No;
    prompts.expectMessage(newFile, Answer::Yes);
    ticks(*diag, 5);
    EXPECT_EQ(readAll(path("out")), QByteArray());
    prompts.expectMessage(Message(QStringLiteral("Принтер не установлен. Страницы печатаются в файл ") + path("pdf"),
                                  Prompt::Buttons::Ok, Prompt::Icon::Information),
                          Answer::Ok);
    ticks(*diag, 10);
    EXPECT_EQ(rowsIn(readAll(path("out"))), 10);

    // 3. The report emptied; the next rows start it afresh.
    QTest::keyClick(diag, Qt::Key_Escape);
    scriptStop("Option4");
    ticks(*diag, 12);
    EXPECT_EQ(rowsIn(readAll(path("out"))), 2);

    // 4. Finished: the window goes, the main window is free, the pages are out.
    QTest::keyClick(diag, Qt::Key_Escape);
    scriptStop("Option5");
    ticks(*diag, 10);
    ASSERT_TRUE(prompts.finished());
    EXPECT_EQ(diag->State().now().RunActive, FlagFalse);
    EXPECT_EQ(state.ToPrinter, FlagTrue); // the choice made in the dialogue holds for the next run
    EXPECT_TRUE(menu.toolButton(1)->isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(diag.isNull());
    EXPECT_EQ(rowsIn(readAll(path("out"))), 10);
    EXPECT_TRUE(readAll(path("pdf")).startsWith("%PDF"));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path("pdf"), QStringLiteral("-")});
    if (pdftotext.waitForFinished(30000)) {
        EXPECT_EQ(rowsIn(QString::fromUtf8(pdftotext.readAllStandardOutput())), 30); // steps 11 to 40
    }

    // 5. The report in the editor.
    FileRequest open;
    open.filter = QStringLiteral("Файлы out |*.out");
    open.fileName = dir.filePath(QStringLiteral("rep.out"));
    open.initDir = QCoreApplication::applicationDirPath();
    prompts.expectFile(open, path("out"));
    ShowReport(state, menu.fileDialog(), menu.childArea());
    frmEditor &editor = frmEditor::Instance(menu.childArea());
    EXPECT_EQ(rowsIn(editor.textBox->toPlainText()), 10);
}

} // namespace
