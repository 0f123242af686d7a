#include "tests/sim/StepHarness.h"

#include "model/RunState.h"
#include "tests/support/PoseSignals.h"
#include "vesk/CodeTransmitter.h"

#include <QLocale>

#include <stdexcept>

namespace {

int indexOf(const auto &names, int count, const QString &name)
{
    for (int i = 1; i <= count; ++i)
        if (names[i] == name)
            return i;
    throw std::invalid_argument("no such name in the test model");
}

} // namespace

void DefineModel(RunState &state, std::initializer_list<FunctionLine> elements,
                 std::initializer_list<FunctionLine> outputs)
{
    state.ModelName = QStringLiteral("Проверка");
    state.ElemCount = int16_t(elements.size());
    state.OutCount = int16_t(outputs.size());
    int i = 0;
    for (const FunctionLine &line : elements) {
        state.ElemName[++i] = line.name;
        const QStringList terms = line.function.split(QLatin1Char('+'));
        state.ElemTermCount[i] = int16_t(terms.size());
        for (int t = 0; t < terms.size(); ++t)
            state.ElemTerm[i][t + 1] = terms[t];
    }
    int j = 0;
    for (const FunctionLine &line : outputs) {
        state.OutName[++j] = line.name;
        const QStringList terms = line.function.split(QLatin1Char('+'));
        state.OutTermCount[j] = int16_t(terms.size());
        for (int t = 0; t < terms.size(); ++t)
            state.OutTerm[j][t + 1] = terms[t];
    }
}

StepRun::StepRun(std::initializer_list<FunctionLine> elements, std::initializer_list<FunctionLine> outputs,
                 std::initializer_list<float> tpr, std::initializer_list<float> totp, int32_t runLength)
{
    state.bringToRest();
    DefineModel(state, elements, outputs);
    int i = 0;
    for (float t : tpr)
        state.Tpr[++i] = t;
    i = 0;
    for (float t : totp)
        state.Totp[++i] = t;
    state.RunLength = runLength;
    state.InputCaption = QStringLiteral("Вх.");
    state.ToScreen = FlagTrue;
    diag.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    report.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    diag.addObserver(report);
    diag.CompileModel();
    PoseSignals(state, [](RunSignals &now) { now.RunActive = FlagTrue; });
}

void StepRun::step()
{
    ++stepNumber;
    if (auto key = keys.find(stepNumber); key != keys.end())
        state.send(key->second);
    if (auto action = before.find(stepNumber); action != before.end())
        action->second();
    host.currentStep = stepNumber;
    StepOutcome outcome = diag.ShowDiag();
    if (outcome == StepOutcome::Idle)
        ++host.timerEnables;
    while (outcome != StepOutcome::Done && outcome != StepOutcome::Idle)
        outcome = diag.resume(host.answer(outcome, diag));
}

void StepRun::runTo(int last)
{
    while (stepNumber < last)
        step();
}

int16_t StepRun::elementState(const QString &name) const
{
    return state.now().ElemState[indexOf(state.ElemName, state.ElemCount, name)][1];
}

int16_t StepRun::excitation(const QString &name) const
{
    return state.now().Excit[indexOf(state.ElemName, state.ElemCount, name)][1];
}

int16_t StepRun::output(const QString &name) const
{
    return state.now().OutState[indexOf(state.OutName, state.OutCount, name)][1];
}

void AttachTransmitter(RecordingHost &host, CodeTransmitter &transmitter)
{
    host.transmitter = [&transmitter](int, int16_t Nkod) {
        transmitter.WhodKod(Nkod);
        return transmitter.Wuhod;
    };
}

bool RecordingHost::answer(StepOutcome question, const DiagramStep &diag)
{
    switch (question) {
    case StepOutcome::AskContinue: return ContinueOutput();
    case StepOutcome::ShowMessage: ShowCommandMessage(diag.KeyMessage); break;
    case StepOutcome::EditFaults: EditFaults(); break;
    case StepOutcome::EndOfRun: EndOfRun(); break;
    case StepOutcome::Done:
    case StepOutcome::Idle: break;
    }
    return true;
}
