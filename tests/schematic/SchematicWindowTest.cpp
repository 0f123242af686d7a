// The window «Схема» on the decoder: one window per model, the state of a
// recorded run at cursor A of «Графики», hovering and clicking contacts,
// the editor at a rung's function, and printing to a PDF when no printer is
// installed. With MODEL_SCHEMATIC_SCREENSHOT set, the window is saved there.

#include "editor/frmEditor.h"
#include "model/LoadedModel.h"
#include "platform/CommonDialog.h"
#include "platform/RunWindowHost.h"
#include "schematic/SchematicCanvas.h"
#include "schematic/frmSchematic.h"
#include "sim/RunSession.h"
#include "tests/schematic/PdfPages.h"
#include "tests/support/ExampleRun.h"
#include "tests/support/ScriptedPrompts.h"
#include "wave/LiveRecording.h"
#include "wave/WaveCanvas.h"
#include "wave/frmWave.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

using namespace schematic;

class AreaHost final : public RunWindowHost
{
public:
    QMdiArea area;
    CommonDialog dialog;
    QPrinter printerObject;

    QWidget &hostWindow() override { return area; }
    void showModelName(const QString &) override {}
    QMdiArea &childArea() const override { return const_cast<QMdiArea &>(area); }
    QMdiSubWindow *addChildWindow(QWidget *content) override { return area.addSubWindow(content); }
    CommonDialog &fileDialog() override { return dialog; }
    QPrinter &printer() override { return printerObject; }
    void setRunLocked(bool) override {}
};

void runDecoder(LiveRecording &live)
{
    RunScenario scenario;
    scenario.code = 1;
    scenario.steps = 200;
    RunExample(QStringLiteral("decoder"), scenario, [&](qint64 step, const RunState &state) {
        if (step == 0)
            live.beforeStep(state);
        else
            live.afterStep(state);
    });
}

// A mouse move with no button, as the pointer gives it.
void hover(QWidget &widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget.mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

QPoint centreOf(const SchematicCanvas &canvas, int rung, int item)
{
    const Rung &r = canvas.schematic().rungs[size_t(rung)];
    return canvas.painter().itemRect(rung, r.branches[0].items[size_t(item)]).center().toPoint();
}

TEST(SchematicWindow, FollowsCursorAAndTheContactsOfARelay)
{
    LiveRecording live;
    runDecoder(live);
    AreaHost host;
    host.area.resize(900, 420);
    host.area.show();
    const QString decoder = QStringLiteral(EXAMPLES_DIR "/decoder");
    frmSchematic *window = frmSchematic::Show(host, decoder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(frmSchematic::Show(host, decoder), window);
    window->parentWidget()->resize(880, 400);
    SchematicCanvas &canvas = *window->Canvas;
    EXPECT_EQ(window->StateLabel->text(), QStringLiteral("прогон, шаг 200 (2,00 с)"));

    // Cursor A on ЛКЖ lighting (step 75): the lamp's branch conducts there.
    frmWave *waves = frmWave::Show(host.area);
    waves->Refresh();
    waves->Canvas->selectRow(0);
    QTest::keyClick(waves->Canvas, Qt::Key_Right); // the first pulse, step 1
    waves->Canvas->selectRow(7);
    QTest::keyClick(waves->Canvas, Qt::Key_Right); // ЛКЖ lights
    window->Refresh();
    EXPECT_EQ(window->StateLabel->text(), QStringLiteral("курсор A «Графиков», шаг 75 (0,75 с)"));
    ASSERT_TRUE(canvas.live());
    EXPECT_TRUE(canvas.live()->lit[1]);
    waves->Canvas->selectRow(0);
    QTest::keyClick(waves->Canvas, Qt::Key_Left); // the pulse before
    window->Refresh();
    EXPECT_FALSE(canvas.live()->lit[1]);

    // Rung 8 is ЛЖЗ=ЖЗ*Б: hovering its ЖЗ contact highlights ЖЗ, a click
    // brings ЖЗ's own rung (5) to the top.
    hover(canvas, centreOf(canvas, 7, 0));
    EXPECT_EQ(canvas.highlighted(), 5);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, centreOf(canvas, 7, 0));
    auto *scroll = window->findChild<QScrollArea *>();
    EXPECT_EQ(scroll->verticalScrollBar()->value(),
              std::min(canvas.rungArea(4).top(), scroll->verticalScrollBar()->maximum()));

    // A double click on rung 4 (П) selects its line, the sixth of the file.
    QTest::mouseDClick(&canvas, Qt::LeftButton, {}, centreOf(canvas, 3, 0));
    frmEditor &editor = frmEditor::Instance(host.area);
    EXPECT_EQ(editor.textBox->textCursor().blockNumber(), 5);
    EXPECT_EQ(editor.textBox->textCursor().selectedText(), QStringLiteral("П=-И*Д+П*Д"));

    const QString shot = qEnvironmentVariable("MODEL_SCHEMATIC_SCREENSHOT");
    if (!shot.isEmpty()) {
        window->Refresh();
        host.area.setActiveSubWindow(qobject_cast<QMdiSubWindow *>(window->parentWidget()));
        hover(canvas, centreOf(canvas, 7, 0));
        EXPECT_TRUE(window->parentWidget()->grab().save(shot));
    }
}

// Under «Нет кода» nothing of the decoder picks up. ЛКЖ=КЖ*-ЖЗ lights at
// the next step once its contact КЖ, the twelfth of the model, is welded
// from the drawing, and goes out once that contact works again.
TEST(SchematicWindow, WeldsAContactOfTheLinkedRun)
{
    const QString decoder = QStringLiteral(EXAMPLES_DIR "/decoder");
    const auto model = LoadSharedModel(decoder);
    ASSERT_TRUE(model) << model.error().toStdString();
    RunSession session(*model);
    RunScenario scenario;
    scenario.code = 0;
    scenario.steps = 50;
    scenario.timingFile = decoder + QStringLiteral(".tim");
    ASSERT_TRUE(session.setUp(scenario, false));
    LiveRecording live;
    session.addObserver(live);
    QObject panel;
    frmSchematic::LinkRun(&panel, session);
    session.start();
    for (int step = 0; step < 5; ++step)
        ASSERT_TRUE(session.step());

    AreaHost host;
    frmSchematic *window = frmSchematic::Show(host, decoder);
    ASSERT_NE(window, nullptr);
    const SchematicCanvas &canvas = *window->Canvas;
    const Rung &lamp = canvas.schematic().rungs[6];
    ASSERT_EQ(lamp.name, QStringLiteral("ЛКЖ"));
    const Item &contact = lamp.branches[0].items[0];
    ASSERT_EQ(contact.contact, 12);
    ASSERT_TRUE(canvas.live());
    EXPECT_FALSE(canvas.live()->closed(contact));

    window->SetContactFault(12, ContactWelded);
    EXPECT_TRUE(canvas.live()->closed(contact)) << "the drawing shows the welded contact closed";
    EXPECT_EQ(session.state().now().OutState[1][1], 0) << "until the next step";
    ASSERT_TRUE(session.step());
    EXPECT_EQ(session.state().now().OutState[1][1], 1);
    EXPECT_EQ(session.state().now().ElemState[6][1], 0) << "КЖ itself stays down";

    window->SetContactFault(12, 0);
    ASSERT_TRUE(session.step());
    EXPECT_EQ(session.state().now().OutState[1][1], 0);
    EXPECT_FALSE(canvas.live()->closed(contact));
}

TEST(SchematicWindow, PrintsWholeRungsToAPdfBesideTheModel)
{
    QTemporaryDir folder;
    // Three rungs of twelve parallel terms: more than half a page each.
    QFile model(folder.filePath(QStringLiteral("tall.mod")));
    ASSERT_TRUE(model.open(QIODevice::WriteOnly));
    QByteArray terms = "p";
    for (int t = 1; t < 12; ++t)
        terms += "+p";
    model.write("Tall\r\n3\r\nA=" + terms + "\r\nB=" + terms + "\r\nC=" + terms + "\r\n0\r\n");
    model.close();
    AreaHost host;
    const QString path = folder.filePath(QStringLiteral("tall"));
    frmSchematic *window = frmSchematic::Show(host, path);
    ASSERT_NE(window, nullptr);

    ScriptedPrompts prompts;
    prompts.expectMessage({QStringLiteral("Принтер не установлен. Страницы печатаются в файл ")
                               + QDir::toNativeSeparators(path + QStringLiteral(".pdf")),
                           {}, Prompt::Buttons::Ok, Prompt::Icon::Information, std::nullopt},
                          Prompt::Answer::Ok);
    window->Print();
    EXPECT_EQ(PdfPageCount(path + QStringLiteral(".pdf")), 3);

    // A model that does not read opens no window.
    prompts.expectMessage({QStringLiteral("Не удаётся открыть файл модели %1.").arg(folder.filePath(QStringLiteral("none.mod"))),
                           {}, Prompt::Buttons::Ok, Prompt::Icon::Critical, std::nullopt},
                          Prompt::Answer::Ok);
    EXPECT_EQ(frmSchematic::Show(host, folder.filePath(QStringLiteral("none"))), nullptr);
}

} // namespace
