// The diagram window at the shortest interval: how many of the 1000 steps a
// second that a 1 ms timer allows it achieves, and what a step costs,
// drawing included. Run it under xvfb-run (a real window system); with
// MODEL_RUN_SHOTS set to a folder it also saves a picture of the screen
// every second of the timed run. The timed run goes once without, once
// with the window «Графики» and once with «Схема» open beside it.

#include "app/frmMenu.h"
#include "app/RunCommands.h"
#include "model/ModelState.h"
#include "platform/Prompts.h"
#include "sim/frmDiag.h"
#include "sim/frmKod.h"
#include "sim/frmModtype.h"
#include "wave/frmWave.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

const QString Examples = QStringLiteral(EXAMPLES_DIR);

// Answers the set-up of a run of the decoder without a user: the model and
// its timing file from the examples, the standard code timing, code 2.
class SetUpAnswers : public Prompts
{
public:
    Prompt::Answer message(const MessageRequest &request) override
    {
        return request.buttons == Prompt::Buttons::YesNo ? Prompt::Answer::Yes : Prompt::Answer::Ok;
    }
    QString input(const InputRequest &request) override { return request.defaultText; }
    QString fileName(const FileRequest &request) override
    {
        return Examples + (request.filter.contains(QStringLiteral("tim")) ? QStringLiteral("/decoder.tim")
                                                                           : QStringLiteral("/decoder.mod"));
    }
    bool printerSetup(QPrinter &) override { return false; }
    std::optional<QFont> font(const QFont &) override { return std::nullopt; }
    void exec(QDialog &dialog) override
    {
        if (auto *standard = dialog.findChild<QPushButton *>(QStringLiteral("cmd5")))
            standard->click(); // the transmitter's code timing
        else if (auto *fromFile = dialog.findChild<QPushButton *>(QStringLiteral("cmdInfile")))
            fromFile->click();
        else if (auto *kod = qobject_cast<frmKod *>(&dialog)) {
            kod->codeList->setCurrentIndex(2);
            kod->okButton->click();
        }
    }
    void beep() override {}
};

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Session
{
    Session() : menu(state, &programRunCommands())
    {
        setPrompts(&answers);
        state.ToScreen = FlagTrue;
        state.Speed = 0;
        menu.resize(1000, 760);
        menu.show();
        menu.findChild<QAction *>(QStringLiteral("mnuModelTimdiag"))->trigger();
        diag = menu.childArea().findChild<frmDiag *>();
        // Every step counts: no "Продолжать вывод?" within the measurement.
        diag->State().RunLength = std::numeric_limits<int32_t>::max();
    }
    ~Session()
    {
        diag->Frame().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setPrompts(nullptr);
    }

    SetUpAnswers answers;
    ModelState state;
    frmMenu menu;
    frmDiag *diag = nullptr;
};

// The real thing: the 1 ms timer drives the steps for ten seconds while the
// window system shows them.
void BM_TimerDrivenRun(benchmark::State &bench)
{
    Session session;
    frmDiag &diag = *session.diag;
    if (bench.range(0) == 1)
        frmWave::Show(session.menu.childArea());
    if (bench.range(0) == 2)
        diag.Modtype()->schematicButton->click(); // «Схема» follows the run
    static const char *const labels[] = {"without «Графики»", "with «Графики»", "with «Схема»"};
    bench.SetLabel(labels[bench.range(0)]);
    const QString shots = qEnvironmentVariable("MODEL_RUN_SHOTS");
    constexpr int Seconds = 10;
    for (auto _ : bench) {
        const int32_t startItem = diag.Step().ModelingItem;
        const double cpuStart = cpuSeconds();
        QList<int32_t> perSecond;
        int32_t lastItem = startItem;
        QTimer second;
        second.setTimerType(Qt::PreciseTimer);
        QObject::connect(&second, &QTimer::timeout, [&] {
            perSecond << diag.Step().ModelingItem - lastItem;
            lastItem = diag.Step().ModelingItem;
            if (!shots.isEmpty())
                QGuiApplication::primaryScreen()->grabWindow(0).save(
                    QStringLiteral("%1/run-%2s.png").arg(shots).arg(perSecond.size()));
            if (perSecond.size() == Seconds)
                QCoreApplication::exit();
        });
        QElapsedTimer wall;
        wall.start();
        second.start(1000);
        QApplication::exec();
        const double elapsed = double(wall.nsecsElapsed()) * 1e-9;
        const double steps = double(diag.Step().ModelingItem - startItem);
        bench.counters["steps_per_s"] = steps / elapsed;
        bench.counters["cpu_us_per_step"] = (cpuSeconds() - cpuStart) / steps * 1e6;
        bench.counters["slowest_second"] = double(*std::min_element(perSecond.begin(), perSecond.end()));
        bench.counters["last_second"] = double(perSecond.last());
    }
}
BENCHMARK(BM_TimerDrivenRun)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The same 1 ms timer with nothing to do, beside the same windows: what the
// machine and the window system allow at all.
void BM_BareTimer(benchmark::State &bench)
{
    Session session;
    session.diag->stepTimer->stop();
    for (auto _ : bench) {
        int ticks = 0;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(); });
        const double cpuStart = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        timer.start();
        QApplication::exec();
        bench.counters["ticks_per_s"] = ticks / (double(wall.nsecsElapsed()) * 1e-9);
        bench.counters["cpu_us_per_tick"] = (cpuSeconds() - cpuStart) / ticks * 1e6;
    }
}
BENCHMARK(BM_BareTimer)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Our own work per step, without the timer: the step, the row to the screen
// and the repaints it causes.
void BM_StepWithDrawing(benchmark::State &bench)
{
    Session session;
    frmDiag &diag = *session.diag;
    diag.stepTimer->stop();
    int steps = 0;
    for (auto _ : bench) {
        diag.ShowDiag();
        if (++steps % 16 == 0)
            QCoreApplication::processEvents(); // lets the gathered repaints happen
    }
    bench.SetItemsProcessed(steps);
}
BENCHMARK(BM_StepWithDrawing)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Модель"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
