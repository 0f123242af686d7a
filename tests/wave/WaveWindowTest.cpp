// The window «Графики» on the decoder under code 1, then code 2 from step
// 300: the cursors, moved with the arrow keys, measure from the first pulse
// of the transmitter (step 1) to ЛКЖ lighting (step 75). With
// MODEL_WAVE_SCREENSHOT set, the window is saved there as a picture.

#include "tests/support/ExampleRun.h"
#include "tests/support/ScriptedPrompts.h"
#include "wave/frmWave.h"
#include "wave/LiveRecording.h"
#include "wave/SignalOrder.h"
#include "wave/WaveCanvas.h"

#include <QHelpEvent>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QToolTip>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

// The user's locale for one test: the times take its decimal mark.
class LocaleForTest
{
public:
    explicit LocaleForTest(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleForTest() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

// Runs the decoder as the diagram window does, through a LiveRecording;
// with restartAt, the diagram starts again from 0 after that step, as the
// end-of-run dialogue's restart does.
void runDecoder(LiveRecording &live, std::optional<qint64> restartAt = std::nullopt)
{
    RunScenario scenario;
    scenario.code = 1;
    scenario.keys = {{300, QStringLiteral("@")}};
    RunExample(QStringLiteral("decoder"), scenario, [&](qint64 step, const RunState &state) {
        if (step == 0) {
            live.beforeStep(state);
            return;
        }
        if (step == restartAt)
            live.restarted();
        live.afterStep(state);
    });
}

TEST(WaveWindow, CursorsMeasureTheFirstPulseToTheLamp)
{
    const LocaleForTest russian(QLocale(QLocale::Russian, QLocale::Russia));
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
    EXPECT_EQ(window->Cursors->text(), QStringLiteral("A: 0,01 с (шаг 1)   B: 0,75 с (шаг 75)   Δt = 0,74 с (шагов: 74)"));

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

// The tooltip over a mark under the axis, as the user would point at it.
QString markToolTip(WaveCanvas &canvas, qint64 step)
{
    const QRect traces = TracePainter::traceArea(
        canvas.rect(), TracePainter(*canvas.recording()).nameWidth(canvas.fontMetrics(), canvas.view()), canvas.view());
    const QPoint at(int(std::lround(TracePainter::xOfStep(traces, canvas.view(), double(step)))), traces.bottom() + 20);
    QHelpEvent help(QEvent::ToolTip, at, canvas.mapToGlobal(at));
    QCoreApplication::sendEvent(&canvas, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// A restart from the end-of-run dialogue sets the diagram's time back to 0
// while the traces go on: the axis marks the place, as it marks commands,
// and the times read in the locale's decimal mark.
TEST(WaveWindow, ARestartIsMarkedOnTheTimeAxis)
{
    const LocaleForTest russian(QLocale(QLocale::Russian, QLocale::Russia));
    LiveRecording live;
    runDecoder(live, 450);
    QMdiArea area;
    area.resize(1100, 520);
    area.show();
    frmWave *window = frmWave::Show(area);
    window->parentWidget()->showMaximized();
    window->Refresh();
    WaveCanvas &canvas = *window->Canvas;
    const struct { qint64 step; QString tip; } cases[] = {
        {300, QStringLiteral("шаг 300 (3,00 с): Команда «@»")},
        {450, QStringLiteral("шаг 450 (4,50 с): Вывод диаграммы сначала (её время снова от 0)")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(markToolTip(canvas, c.step).toStdString(), c.tip.toStdString()) << c.step;
}

// At the window's default width the legend takes two lines rather than
// running past the right edge, and the picture grows to hold them.
TEST(WaveWindow, TheLegendWrapsInANarrowWindow)
{
    LiveRecording live;
    runDecoder(live);
    const RunRecording &recording = *LiveRecording::last();
    const TraceView view = TraceView::wholeRun(recording);
    const TracePainter painter(recording);
    const QFontMetrics metrics{QFont()};
    const int oneLine = painter.pictureSize(metrics, view, 1600).height();
    for (const int width : {430, 1600}) {
        const QSize size = painter.pictureSize(metrics, view, width);
        QImage image(size, QImage::Format_RGB32);
        QPainter p(&image);
        painter.paint(p, image.rect(), view);
        p.end();
        // Nothing is drawn in the margin right of the legend, and its last
        // line is inside the picture.
        int inMargin = 0;
        int inLastLine = 0;
        for (int y = size.height() - 2 * TracePainter::FooterHeight; y < size.height(); ++y)
            for (int x = 0; x < width; ++x) {
                const bool inked = image.pixel(x, y) != qRgb(255, 255, 255);
                inMargin += inked && x >= width - 6;
                inLastLine += inked && y >= size.height() - TracePainter::FooterHeight;
            }
        EXPECT_EQ(inMargin, 0) << width;
        EXPECT_GT(inLastLine, 0) << width;
        EXPECT_EQ((size.height() - oneLine) % TracePainter::FooterHeight, 0) << width;
        EXPECT_EQ(size.height() > oneLine, width < 1000) << width;
    }
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
