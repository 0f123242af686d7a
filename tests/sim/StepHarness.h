#pragma once

#include "model/RunState.h"
#include "report/ReportOutput.h"
#include "sim/DiagramStep.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <utility>

// A host that plays the windows of a run: it answers the continuation
// question from a queue, records every message, row and heading with the
// number of the call of ShowDiag it came in, and takes the device input
// from a function of the transmitter call count.
class RecordingHost : public CodeInput, public OutputDevices
{
public:
    struct Message
    {
        int step;
        QString text;
        bool operator==(const Message &) const = default;
    };

    // The transmitter: output for the n-th call (from 1) with code Nkod.
    using Transmitter = std::function<int16_t(int call, int16_t Nkod)>;
    Transmitter transmitter = [](int, int16_t) { return int16_t(0); };
    std::function<void()> onFaults = [] {};
    std::function<void()> onEndOfRun = [] {};
    std::function<void()> onMessage = [] {};
    std::deque<bool> continueAnswers;

    int currentStep = 0; // set by the harness before each ShowDiag
    int transmitterCalls = 0;
    int continueQuestions = 0;
    int faultDialogs = 0;
    int timerEnables = 0;
    QList<int> endOfRunSteps;
    QList<int16_t> codesSeen;
    QList<Message> messages;
    QList<std::pair<int, QByteArray>> rows;
    QList<QByteArray> headings;
    QStringList errors;

    bool ContinueOutput()
    {
        ++continueQuestions;
        if (continueAnswers.empty())
            return true;
        const bool answer = continueAnswers.front();
        continueAnswers.pop_front();
        return answer;
    }
    void ShowCommandMessage(const QString &message)
    {
        messages.append({currentStep, message});
        onMessage();
    }
    void EditFaults()
    {
        ++faultDialogs;
        onFaults();
    }
    int16_t WhodKod(int16_t Nkod) override
    {
        codesSeen.append(Nkod);
        return transmitter(++transmitterCalls, Nkod);
    }
    void EndOfRun()
    {
        endOfRunSteps.append(currentStep);
        onEndOfRun();
    }
    // Answers the question a step waits at, as the window would.
    bool answer(StepOutcome question, const DiagramStep &diag);
    void ScreenRow(const QByteArray &row) override { rows.append({currentStep, row}); }
    void ScreenHeading(const QByteArray &heading) override { headings.append(heading); }
    void ReportError(const QString &message) override { errors.append(message); }
};

class CodeTransmitter;
// Makes the host's input come from transmitter, stepped once per call.
void AttachTransmitter(RecordingHost &host, CodeTransmitter &transmitter);

struct FunctionLine
{
    QString name;
    QString function; // terms joined by "+", as in a model file
};

// Fills state's definition as loading a model file would.
void DefineModel(RunState &state, std::initializer_list<FunctionLine> elements,
                 std::initializer_list<FunctionLine> outputs);

// A run of one model: state at rest, screen output on, the functions
// compiled, RunActive set. Steps are counted from 1 over the whole run;
// keys[n] is put into KeyCmd just before step n.
class StepRun
{
public:
    StepRun(std::initializer_list<FunctionLine> elements, std::initializer_list<FunctionLine> outputs,
            std::initializer_list<float> tpr = {}, std::initializer_list<float> totp = {},
            int32_t runLength = 100000);

    // Runs steps up to and including step last.
    void runTo(int last);
    // One step, with the key for it applied first.
    void step();

    int16_t elementState(const QString &name) const;
    int16_t excitation(const QString &name) const;
    int16_t output(const QString &name) const;

    RunState state;
    RecordingHost host;
    DiagramStep diag{state, host};
    ReportOutput report{state, host};
    std::map<int, QString> keys;
    std::map<int, std::function<void()>> before; // actions just before a step
    int stepNumber = 0;
};
