#include "BatchRun.h"

#include "CodeTimingFile.h"
#include "CodeTransmitter.h"
#include "DiagramStep.h"
#include "ModelFile.h"
#include "RunState.h"
#include "StepHost.h"
#include "TimingFile.h"
#include "VcdWriter.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

void printLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// The batch answers to the places where a window would take part in a step.
class BatchHost final : public StepHost
{
public:
    BatchHost(ModelState &state, CodeTransmitter &transmitter, DiagramStream &out, std::FILE *err, bool verbose)
        : m_state(state), m_transmitter(transmitter), m_out(out), m_err(err), m_verbose(verbose)
    {
    }

    qint64 currentStep = 0;
    bool reportFailed = false;

    bool ContinueOutput() override { return true; }

    void ShowCommandMessage(const QString &message) override
    {
        if (m_verbose)
            printLine(m_err, QStringLiteral("шаг %1: %2").arg(currentStep).arg(message));
    }

    void EditFaults() override {}

    int16_t WhodKod(int16_t Nkod) override
    {
        m_transmitter.WhodKod(Nkod);
        return m_transmitter.Wuhod;
    }

    void EndOfRun() override { m_state.RunActive = FlagFalse; }

    void ScreenRow(const QByteArray &row) override { m_out.writeLine(row); }
    void ScreenHeading(const QByteArray &heading) override { m_out.writeLine(heading); }

    void ReportError(const QString &message) override
    {
        printLine(m_err, message);
        reportFailed = true;
    }

private:
    ModelState &m_state;
    CodeTransmitter &m_transmitter;
    DiagramStream &m_out;
    std::FILE *m_err;
    bool m_verbose;
};

// The commands and faults of the command line in step order; for the same
// step they keep their command-line order, so the last key given wins.
struct Schedule
{
    std::vector<RunOptions::KeyAt> keys;
    std::vector<RunOptions::FaultAt> faults;
    size_t nextKey = 0;
    size_t nextFault = 0;

    explicit Schedule(const RunOptions &options)
        : keys(options.keys.begin(), options.keys.end()), faults(options.faults.begin(), options.faults.end())
    {
        std::stable_sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) { return a.step < b.step; });
        std::stable_sort(faults.begin(), faults.end(), [](const auto &a, const auto &b) { return a.step < b.step; });
    }

    // Everything due just before step k.
    void apply(qint64 k, ModelState &state)
    {
        for (; nextKey < keys.size() && keys[nextKey].step == k; ++nextKey)
            state.KeyCmd = keys[nextKey].command;
        for (; nextFault < faults.size() && faults[nextFault].step == k; ++nextFault)
            state.ElemFault[faults[nextFault].element] = faults[nextFault].kind;
    }
};

// The run set-up without questions: the model, the timing, the transmitter.
int prepare(const RunOptions &options, ModelState &state, CodeTransmitter &transmitter, std::FILE *err)
{
    BringToRest(state);
    QString error;
    if (!LoadModel(state, options.modelPath, &error)) {
        printLine(err, error);
        return ExitFileError;
    }
    for (const RunOptions::FaultAt &fault : options.faults) {
        if (fault.element > state.ElemCount) {
            printLine(err, QStringLiteral("--fault: в модели «%1» нет элемента %2 (элементов: %3)")
                               .arg(options.modelPath + QStringLiteral(".mod"))
                               .arg(fault.element)
                               .arg(state.ElemCount));
            return ExitUsageError;
        }
    }
    state.InputCaption = QStringLiteral("Вх.");
    state.ModelTime = 0;
    state.ReportHeadDue = FlagTrue;

    if (options.timingFile.isEmpty()) {
        for (int i = 1; i <= state.ElemCount; ++i)
            state.Tpr[i] = state.Totp[i] = 0.01f;
        state.RunLength = 100;
    } else {
        TimingValues values;
        if (!ReadTimingFile(options.timingFile, state.ElemCount, &values, &error)) {
            printLine(err, error);
            return ExitFileError;
        }
        ApplyTiming(state, values);
    }

    if (options.kpt == 7)
        transmitter.Set7();
    if (!options.whdFile.isEmpty()) {
        CodeTiming timing;
        if (!CodeTimingFile::read(options.whdFile, timing, error)) {
            printLine(err, error);
            return ExitFileError;
        }
        // The code timing dialogue refuses zero times and asks again; a batch
        // run has no one to ask, so it stops.
        if (timing.productIsZero()) {
            printLine(err, QStringLiteral("Файл «%1»: нулевые временные характеристики кода "
                                          "(произведение двенадцати времён равно 0)").arg(options.whdFile));
            return ExitFileError;
        }
        transmitter.Timing = timing;
    }
    return ExitSuccess;
}

} // namespace

int RunModel(const RunOptions &options, std::FILE *out, std::FILE *err)
{
    auto state = std::make_unique<ModelState>();
    CodeTransmitter transmitter;
    if (const int status = prepare(options, *state, transmitter, err); status != ExitSuccess)
        return status;

    VcdWriter vcd;
    QString error;
    if (!options.vcdFile.isEmpty() && !vcd.open(options.vcdFile, &error)) {
        printLine(err, error);
        return ExitFileError;
    }

    state->ChangeMode = options.changes ? FlagTrue : FlagFalse;
    state->ToScreen = FlagTrue;
    state->ToPrinter = FlagFalse;
    state->ToFile = options.reportFile.isEmpty() ? FlagFalse : FlagTrue;

    DiagramStream stream(out, options.encoding);
    BatchHost host(*state, transmitter, stream, err, options.verbose);
    DiagramStep step(*state, host);
    step.Output().setReportFileName(options.reportFile);
    step.CompileModel();
    step.Nkod = options.code;
    step.Output().WriteReportHeader();
    state->RunActive = FlagTrue;
    step.InitModel();
    if (!options.vcdFile.isEmpty())
        vcd.begin(*state);

    const qint64 steps = options.steps.value_or(state->RunLength);
    Schedule schedule(options);
    qint64 k = 0;
    while (k < steps && state->RunActive) {
        ++k;
        host.currentStep = k;
        schedule.apply(k, *state);
        step.ShowDiag();
        if (!options.vcdFile.isEmpty())
            vcd.step(k, *state);
    }

    int status = host.reportFailed ? ExitFileError : ExitSuccess;
    if (!stream.flush()) {
        printLine(err, QStringLiteral("Ошибка записи в стандартный вывод"));
        status = ExitFileError;
    }
    if (!options.vcdFile.isEmpty() && !vcd.finish(k, &error)) {
        printLine(err, error);
        status = ExitFileError;
    }
    return status;
}
