// The window «Графики» on the decoder under code 1, then code 2 from step
// 300: the cursors, moved with the arrow keys, measure from the first pulse
// of the transmitter (step 1) to ЛКЖ lighting (step 75). With
// MODEL_WAVE_SCREENSHOT set, the window is saved there as a picture.

#include "model/LoadedModel.h"
#include "sim/RunSession.h"
#include "tests/support/ScriptedPrompts.h"
#include "wave/frmWave.h"
#include "wave/LiveRecording.h"
#include "wave/SignalOrder.h"
#include "wave/WaveCanvas.h"

#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Runs the decoder as the diagram window does, through a LiveRecording.
void runDecoder(LiveRecording &live)
{
    const auto model = LoadSharedModel(QStringLiteral(EXAMPLES_DIR "/decoder"));
    ASSERT_TRUE(model) << model.error().toStdString();
    SessionHost host;
    RunSession session(*model, host);
    RunScenario scenario;
    scenario.timingFile = QStringLiteral(EXAMPLES_DIR "/decoder.tim");
    scenario.code = 1;
    scenario.keys = {{300, QStringLiteral("@")}};
    ASSERT_TRUE(session.setUp(scenario, false));
    session.start();
    live.beforeStep(session.state());
    while (session.step())
        live.afterStep(session.state());
}

TEST(WaveWindow, CursorsMeasureTheFirstPulseToTheLamp)
{
    LiveRecording live;
    runDecoder(live);
    QMdiArea area;
    area.resize(1100, 520);
    area.show();
    frmWave *window = frmWave::Show(area);
    window->parentWidget()->showMaximized();
    ASSERT_EQ(frmWave::Show(area), window); // one window, brought to the front
    window->Refresh();
    WaveCanvas &canvas = *window->Canvas;
    ASSERT_EQ(canvas.recording(), LiveRecording::last());
    EXPECT_EQ(canvas.view().firstStep, 0);
    EXPECT_EQ(canvas.view().lastStep, 600);
    EXPECT_EQ(canvas.recording()->marks().size(), 1u); // the code 2 key

    // Row 0 is the input p, row 7 the lamp ЛКЖ.
    canvas.selectRow(0);
    QTest::keyClick(&canvas, Qt::Key_Right);
    canvas.selectRow(7);
    QTest::keyClick(&canvas, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(window->Cursors->text(), QStringLiteral("A: 0.01 с (шаг 1)   B: 0.75 с (шаг 75)   Δt = 0.74 с (шагов: 74)"));

    // Zooming keeps cursor A in view; "0" shows the whole run again.
    QTest::keyClick(&canvas, Qt::Key_Plus);
    EXPECT_LT(canvas.visibleSteps(), 601);
    EXPECT_LE(canvas.view().firstStep, 1);
    QTest::keyClick(&canvas, Qt::Key_0);
    EXPECT_EQ(canvas.visibleSteps(), 601);

    const QString shot = qEnvironmentVariable("MODEL_WAVE_SCREENSHOT");
    if (!shot.isEmpty()) {
        EXPECT_TRUE(window->parentWidget()->grab().save(shot));
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.filter = QStringLiteral("Картинка PNG (*.png)|*.png|Картинка SVG (*.svg)|*.svg|"
                                    "Таблица CSV (*.csv)|*.csv|WaveJSON (*.json)|*.json");
    request.defaultExt = QStringLiteral("png");
    request.fileName = QStringLiteral("decoder");
    request.overwritePrompt = true;
    prompts.expectFile(request, dir.filePath(QStringLiteral("visible.png")));
    window->Export(false);
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("visible.png"))).isNull());
}

TEST(WaveWindow, SignalOrderSurvivesAChangedModel)
{
    LiveRecording live;
    runDecoder(live);
    const RunRecording &recording = *LiveRecording::last();
    // Lanes: 0 p, 1-6 И Б Д П ЖЗ КЖ, 7-8 ЛКЖ ЛЖЗ.
    const struct
    {
        const char *saved;
        std::vector<SignalChoice> choices;
    } cases[] = {
        {"", {{0, true}, {1, true}, {2, true}, {3, true}, {4, true}, {5, true}, {6, true}, {7, true}, {8, true}}},
        {"ЛКЖ|-p|Б",
         {{7, true}, {0, false}, {2, true}, {1, true}, {3, true}, {4, true}, {5, true}, {6, true}, {8, true}}},
        // A name the model no longer has is dropped; one named twice counts once.
        {"Х|ЛЖЗ|-ЛЖЗ|И",
         {{8, true}, {1, true}, {0, true}, {2, true}, {3, true}, {4, true}, {5, true}, {6, true}, {7, true}}},
    };
    for (const auto &c : cases) {
        const std::vector<SignalChoice> choices = RestoreSignalOrder(recording, QString::fromUtf8(c.saved));
        EXPECT_EQ(choices, c.choices) << c.saved;
        EXPECT_EQ(RestoreSignalOrder(recording, SaveSignalOrder(recording, choices)), choices) << c.saved;
    }
}

} // namespace
