// «Анализ неисправностей» on the decoder of the examples under code 1 (КЖ):
// a stray feed on ЖЗ holds ЖЗ up from step 2, so the permissive lamp
// ЛЖЗ=ЖЗ*Б lights once Б is up (И at step 2, Б at 4), while ЛКЖ=КЖ*-ЖЗ,
// which the fault-free run lights at step 75, never does. With
// MODEL_FAULTS_SCREENSHOT set, the window is saved there as a picture.

#include "analysis/FaultTable.h"
#include "analysis/frmFaults.h"
#include "app/frmMenu.h"
#include "app/RunCommands.h"
#include "model/ModelFile.h"
#include "sim/frmDiag.h"
#include "tests/run/RunTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int Zhz = 5;    // ЖЗ
constexpr int Lamp = 2;   // ЛЖЗ
constexpr qint64 Wait = 60000;

class FaultWindowTest : public ::testing::Test
{
protected:
    FaultWindowTest() : menu(state, &programRunCommands())
    {
        QFile::copy(QStringLiteral(EXAMPLES_DIR "/decoder.mod"), dir.filePath(QStringLiteral("decoder.mod")));
        state.ModelPath = dir.filePath(QStringLiteral("decoder"));
        menu.show();
    }

    ~FaultWindowTest() override
    {
        for (QMdiSubWindow *child : menu.childArea().subWindowList())
            child->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The command from its menu entry: the standard КПТШ-5 times, the element
    // times from timingFile, the code from the list.
    frmFaults &Analyse(const QString &timingFile, int code)
    {
        prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmd5"); });
        prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInfile"); });
        FileRequest choose;
        choose.filter = QStringLiteral("Файлы tim |*.tim");
        choose.fileName = state.ModelPath + QStringLiteral(".tim");
        choose.initDir = QCoreApplication::applicationDirPath();
        prompts.expectFile(choose, timingFile);
        prompts.expectDialog(QStringLiteral("frmKod"), [code](QDialog &d) {
            d.findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentIndex(code);
            Click(d, "Command1");
        });
        const QList<frmFaults *> before = menu.childArea().findChildren<frmFaults *>();
        auto *command = menu.findChild<QMenu *>(QStringLiteral("mnuModel"))->findChild<QAction *>(
            QStringLiteral("mnuModelFaults"));
        EXPECT_NE(command, nullptr);
        if (command)
            command->trigger();
        EXPECT_TRUE(prompts.finished());
        QList<frmFaults *> opened = menu.childArea().findChildren<frmFaults *>();
        opened.removeIf([&](frmFaults *w) { return before.contains(w); });
        EXPECT_EQ(opened.size(), 1);
        return *opened.value(0);
    }

    // The decoder's times over a run long enough to be stopped half-way. A
    // run that repeats itself ends early, so И picks up only after 20,000 s:
    // a run with И fed counts that pickup at every step and never repeats.
    QString LongTiming(qint64 steps = 1000000)
    {
        const QString path = dir.filePath(QStringLiteral("long%1.tim").arg(steps));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("20000\r\n0.01\r\n0.01\r\n0.01\r\n0.01\r\n0.7\r\n0.01\r\n1.0\r\n0.3\r\n0.01\r\n1.5\r\n0.01\r\n");
        file.write(QByteArray::number(steps) + "\r\n");
        return path;
    }

    // The events of a real double click, in their order.
    static void DoubleClick(QTableView &view, int row)
    {
        const QPoint at = view.visualRect(view.model()->index(row, 0)).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    }

    static int RowOf(const FaultTable &table, const QString &element, const QString &fault, const QString &output)
    {
        for (int row = 0; row < table.rowCount(); ++row) {
            const auto cell = [&](int column) { return table.index(row, column).data().toString(); };
            if (cell(FaultTable::ElementColumn) == element && cell(FaultTable::FaultColumn) == fault
                && cell(FaultTable::OutputColumn) == output)
                return row;
        }
        return -1;
    }

    QTemporaryDir dir{QStringLiteral("/tmp/faultwindow-XXXXXX")};
    ModelState state;
    RecordingSound sound;
    ScriptedPrompts prompts;
    frmMenu menu;
};

// A second analysis window opens inside the document area like the first,
// its status line in view, not below the area's bottom edge.
TEST_F(FaultWindowTest, ASecondWindowLiesInsideTheDocumentArea)
{
    menu.resize(1000, 760);
    QCoreApplication::processEvents();
    std::vector<frmFaults *> windows;
    for (int k = 0; k < 2; ++k) {
        windows.push_back(&Analyse(QStringLiteral(EXAMPLES_DIR "/decoder.tim"), 1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !windows.back()->Running(); }, Wait));
    }
    const QRect area = menu.childArea().viewport()->rect();
    for (size_t k = 0; k < windows.size(); ++k) {
        const frmFaults *window = windows[k];
        EXPECT_TRUE(area.contains(window->parentWidget()->geometry())) << k;
        const QRect status(window->lblStatus->mapTo(menu.childArea().viewport(), QPoint(0, 0)),
                           window->lblStatus->size());
        EXPECT_TRUE(area.contains(status)) << k;
    }
}

TEST_F(FaultWindowTest, DangerousRowsFirstAndADoubleClickRunsTheFault)
{
    frmFaults &window = Analyse(QStringLiteral(EXAMPLES_DIR "/decoder.tim"), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Running(); }, Wait));
    const FaultTable &table = window.Outcomes();
    ASSERT_EQ(table.rowCount(), 6 * 2 * 2);

    // Once a row has no output appearing, none after it has.
    const auto dangerous = [&](int row) { return table.outcome(row).effect == FaultEffect::Spurious
                                                 || table.outcome(row).effect == FaultEffect::Both; };
    EXPECT_TRUE(dangerous(0));
    for (int row = 1; row < table.rowCount(); ++row)
        EXPECT_FALSE(dangerous(row) && !dangerous(row - 1)) << "row " << row;

    struct Expected
    {
        const char16_t *output;
        const char16_t *effect;
        const char *firstStep;
    };
    const Expected feedOnZhz[] = {
        {u"ЛЖЗ", u"появление", "4"},
        {u"ЛКЖ", u"пропадание", "75"},
    };
    QList<QVariant> colours;
    for (const Expected &e : feedOnZhz) {
        const int row = RowOf(table, QStringLiteral("ЖЗ"), QStringLiteral("Подпитка"), QString::fromUtf16(e.output));
        ASSERT_GE(row, 0);
        EXPECT_EQ(table.index(row, FaultTable::EffectColumn).data().toString(), QString::fromUtf16(e.effect));
        EXPECT_EQ(table.index(row, FaultTable::FirstStepColumn).data().toString(), QLatin1String(e.firstStep));
        colours << table.index(row, 0).data(Qt::BackgroundRole);
    }
    // Without the outputs' levels (no bench beside the model) neither side
    // is called dangerous: one colour for both.
    EXPECT_EQ(colours[0], colours[1]);

    const QString shot = qEnvironmentVariable("MODEL_FAULTS_SCREENSHOT");
    if (!shot.isEmpty()) {
        window.parentWidget()->resize(760, 640);
        EXPECT_TRUE(window.parentWidget()->grab().save(shot));
    }

    // The row's run, in the diagram window: code 1, the fault set, ЛЖЗ lit
    // at step 4. It runs the model the table was made of, even when the file
    // has been rewritten since.
    {
        QFile rewritten(state.ModelPath + QStringLiteral(".mod"));
        ASSERT_TRUE(rewritten.open(QIODevice::WriteOnly | QIODevice::Truncate));
        rewritten.write("rewritten\r\n 1 \r\nX=p\r\n 1 \r\nL=X\r\n");
    }
    const int row = RowOf(table, QStringLiteral("ЖЗ"), QStringLiteral("Подпитка"), QStringLiteral("ЛЖЗ"));
    QTableView &view = *window.Table;
    view.scrollTo(table.index(row, 0));
    DoubleClick(view, row);
    frmDiag *diag = menu.childArea().findChild<frmDiag *>();
    ASSERT_NE(diag, nullptr);
    diag->stepTimer->stop();
    EXPECT_EQ(diag->Step().Nkod, 1);
    EXPECT_EQ(diag->State().now().ElemFault[Zhz], Fault::Feed);
    EXPECT_EQ(diag->State().Tpr[6], 0.7f);
    EXPECT_EQ(diag->State().RunLength, 600);
    for (int step = 1; step <= 4; ++step) {
        diag->ShowDiag();
        EXPECT_EQ(diag->State().now().OutState[Lamp][1], step == 4 ? 1 : 0) << "step " << step;
    }

    // One run at a time: another double click only says so.
    prompts.expectMessage(Message(QStringLiteral("Идёт прогон: закройте окно «Диаграмма», чтобы начать новый."),
                                  Prompt::Buttons::Ok, Prompt::Icon::Exclamation),
                          Prompt::Answer::Ok);
    DoubleClick(view, 0);
    EXPECT_TRUE(prompts.finished());
}

// With the decoder's bench beside it (ЛКЖ level 1, ЛЖЗ level 2), the rows
// go by the judgement of their run: under code 1 the feed on ЖЗ that lights
// ЛЖЗ at step 4 is wrong-side, the break of И that keeps ЛКЖ out from step
// 75 right-side, and a break of Д, which moves no lamp, latent.
TEST_F(FaultWindowTest, WithTheBenchBesideTheModelRowsGoByTheJudgement)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(EXAMPLES_DIR "/decoder.bench"), dir.filePath(QStringLiteral("decoder.bench"))));
    frmFaults &window = Analyse(QStringLiteral(EXAMPLES_DIR "/decoder.tim"), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Running(); }, Wait));
    const FaultTable &table = window.Outcomes();
    ASSERT_TRUE(table.levels());
    const struct
    {
        const char16_t *element;
        const char16_t *fault;
        const char16_t *verdict; // the start of the column's text
    } rows[] = {
        {u"ЖЗ", u"Подпитка", u"опасный: шаг 4, показание 2 при допустимом 1"},
        {u"И", u"Обрыв питания", u"защитный: шаг 75"},
        {u"Д", u"Обрыв питания", u"скрытая неисправность: Д"},
    };
    QList<int> found;
    QList<QVariant> colours;
    for (const auto &r : rows) {
        const int row = RowOf(table, QString::fromUtf16(r.element), QString::fromUtf16(r.fault), QStringLiteral("ЛКЖ"));
        ASSERT_GE(row, 0);
        EXPECT_TRUE(table.index(row, FaultTable::SafetyColumn).data().toString().startsWith(QString::fromUtf16(r.verdict)))
            << table.index(row, FaultTable::SafetyColumn).data().toString().toStdString();
        found << row;
        colours << table.index(row, 0).data(Qt::BackgroundRole);
    }
    EXPECT_LT(found[0], found[1]);
    EXPECT_LT(found[1], found[2]);
    EXPECT_NE(colours[0], colours[1]);
    EXPECT_NE(colours[1], colours[2]);
    EXPECT_TRUE(window.lblStatus->text().startsWith(QStringLiteral("Опасных отказов: 3, защитных: 3, скрытых неисправностей: 3.")))
        << window.lblStatus->text().toStdString();

    // A bench that cannot be read gives no levels, and the status line says why.
    QFile bench(dir.filePath(QStringLiteral("decoder.bench")));
    ASSERT_TRUE(bench.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bench.write(QStringLiteral("модель decoder.mod\nпоказание ЛКЖ пять\n").toUtf8());
    bench.close();
    window.chkContacts->setChecked(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Running(); }, Wait));
    EXPECT_FALSE(window.Outcomes().levels());
    const QString status = window.lblStatus->text();
    EXPECT_NE(status.indexOf(QStringLiteral("(уровни показаний не взяты: ")), -1) << status.toStdString();
    EXPECT_NE(status.indexOf(bench.fileName()), -1) << status.toStdString();
    EXPECT_NE(status.indexOf(QStringLiteral("строка 2")), -1) << status.toStdString();
}

// With «Контакты» the campaign runs again with every contact fault. The
// ЖЗ contact in ЛЖЗ=ЖЗ*Б welded leaves ЛЖЗ=Б: lit at step 4 (И up at 2, Б
// at 4), where the fault-free run never lights it; its row's run has no
// coil fault and lights ЛЖЗ at that step.
TEST_F(FaultWindowTest, ContactFaultsOnRequestAndADoubleClickRunsOne)
{
    frmFaults &window = Analyse(QStringLiteral(EXAMPLES_DIR "/decoder.tim"), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Running(); }, Wait));
    window.chkContacts->setChecked(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Running(); }, Wait));
    const FaultTable &table = window.Outcomes();
    ASSERT_EQ(table.rowCount(), (6 * 2 + 15 * 2) * 2); // 15 contacts in the decoder's lines

    const int row = RowOf(table, QStringLiteral("контакт ЖЗ в функции ЛЖЗ, терм 1"), QStringLiteral("не размыкается"),
                          QStringLiteral("ЛЖЗ"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(table.index(row, FaultTable::EffectColumn).data().toString(), QStringLiteral("появление"));
    EXPECT_EQ(table.index(row, FaultTable::FirstStepColumn).data().toString(), QStringLiteral("4"));

    QTableView &view = *window.Table;
    view.scrollTo(table.index(row, 0));
    DoubleClick(view, row);
    frmDiag *diag = menu.childArea().findChild<frmDiag *>();
    ASSERT_NE(diag, nullptr);
    diag->stepTimer->stop();
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(diag->State().now().ElemFault[i], Fault::None) << "element " << i;
    for (int step = 1; step <= 4; ++step) {
        diag->ShowDiag();
        EXPECT_EQ(diag->State().now().OutState[Lamp][1], step == 4 ? 1 : 0) << "step " << step;
    }
}

TEST_F(FaultWindowTest, CancelLeavesAnEmptyTableAndClosingWhileRunningStopsTheCampaign)
{
    const QString longTiming = LongTiming();
    frmFaults &window = Analyse(longTiming, 2);
    ASSERT_TRUE(window.Running());
    // The window goes on taking events: the progress arrives meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Progress->maximum() == 1 + 12; }, Wait));
    window.cmdCancel->click();
    EXPECT_FALSE(window.cmdCancel->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Running(); }, Wait));
    EXPECT_EQ(window.Outcomes().rowCount(), 0);
    EXPECT_TRUE(window.lblStatus->text().startsWith(QStringLiteral("Анализ прерван")));
    EXPECT_TRUE(window.isVisible());

    const QPointer<frmFaults> second = &Analyse(longTiming, 2);
    ASSERT_NE(second, &window);
    ASSERT_TRUE(second->Running());
    second->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
}

// A run is stopped inside itself, not only between runs: with 10⁸ steps a
// run takes minutes, and its trace would fill memory long before.
TEST_F(FaultWindowTest, CancelAndCloseInsideARunOfAHundredMillionStepsTakesUnderASecond)
{
    const QPointer<frmFaults> window = &Analyse(LongTiming(100000000), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Progress->maximum() == 1 + 12; }, Wait));
    QElapsedTimer closing;
    closing.start();
    window->cmdCancel->click();
    window->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_LT(closing.elapsed(), 1000);
}

} // namespace

// With «Пары» the table keeps of the pairs only those wrong-side together.
// А and Б both follow p, which code 0 never raises; the lamp ВЫХ = А*Б
// (level 1) lights only when both are fed: a feed on one alone changes an
// element, not the lamp (latent), and every other pair leaves the lamp dark.
TEST_F(FaultWindowTest, PairsShowOnlyThoseWrongSideTogetherAndADoubleClickRunsBoth)
{
    ModelText model;
    model.name = QStringLiteral("pair");
    model.elements = {{QStringLiteral("А"), QStringLiteral("p")}, {QStringLiteral("Б"), QStringLiteral("p")}};
    model.outputs = {{QStringLiteral("ВЫХ"), QStringLiteral("А*Б")}};
    ASSERT_TRUE(WriteModelFile(dir.filePath(QStringLiteral("pair.mod")), model));
    QFile bench(dir.filePath(QStringLiteral("pair.bench")));
    ASSERT_TRUE(bench.open(QIODevice::WriteOnly));
    bench.write(QStringLiteral("модель pair.mod\nпоказание ВЫХ 1\n").toUtf8());
    bench.close();
    QFile timing(dir.filePath(QStringLiteral("pair.tim")));
    ASSERT_TRUE(timing.open(QIODevice::WriteOnly));
    timing.write("0.01\r\n0.01\r\n0.01\r\n0.01\r\n20\r\n");
    timing.close();
    state.ModelPath = dir.filePath(QStringLiteral("pair"));

    frmFaults &window = Analyse(timing.fileName(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Running(); }, Wait));
    window.chkPairs->setChecked(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Running(); }, Wait));
    const FaultTable &table = window.Outcomes();
    ASSERT_EQ(table.rowCount(), 4 + 1); // the four single faults and the one pair
    const int row = RowOf(table, QStringLiteral("А + Б"), QStringLiteral("Подпитка + Подпитка"), QStringLiteral("ВЫХ"));
    ASSERT_GE(row, 0);
    EXPECT_TRUE(table.index(row, FaultTable::SafetyColumn).data().toString().startsWith(QStringLiteral("опасный")));
    EXPECT_NE(window.lblStatus->text().indexOf(QStringLiteral("Пар, опасных только вместе: 1 (остальные 3 пар не показаны).")),
              -1)
        << window.lblStatus->text().toStdString();

    DoubleClick(*window.Table, row);
    frmDiag *diag = menu.childArea().findChild<frmDiag *>();
    ASSERT_NE(diag, nullptr);
    diag->stepTimer->stop();
    EXPECT_EQ(diag->State().now().ElemFault[1], Fault::Feed);
    EXPECT_EQ(diag->State().now().ElemFault[2], Fault::Feed);
}
