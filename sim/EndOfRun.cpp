#include "sim/EndOfRun.h"

#include "platform/DataFolder.h"
#include "platform/Prompts.h"
#include "platform/SoundDevice.h"
#include "report/frmOutdev.h"
#include "report/frmSubmenu.h"

#include <QLocale>

#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>

namespace {

const QString ParametersTitle = QStringLiteral("Корректировка параметров");
constexpr float FallbackTime = 0.01f;  // seconds
constexpr int32_t FallbackRunLength = 100; // steps: 1 s

bool askYesNo(const QString &question)
{
    return prompts().message({question, {}, Prompt::Buttons::YesNo, Prompt::Icon::None, std::nullopt})
           == Prompt::Answer::Yes;
}

void showError(const QString &text)
{
    prompts().message({text, {}, Prompt::Buttons::Ok, Prompt::Icon::Critical, std::nullopt});
}

QLocale userLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// A number typed by the user, read by the rules of the user's locale;
// nothing for text that is not a finite number.
std::optional<double> readNumber(const QString &text)
{
    bool ok = false;
    const double value = userLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString numberText(double value) { return userLocale().toString(value, 'f', QLocale::FloatingPointShortest); }

// One pickup or release time: the current one, to the nearest thousandth, as
// the default; the answer replaces it, anything that is no time gives 0.01 s.
void askTime(const QString &prompt, float &time, SoundDevice &sound)
{
    const double shown = std::floor(double(time) * 1000 + 0.5) / 1000;
    const std::optional<double> answer = readNumber(prompts().input({prompt, ParametersTitle, numberText(shown)}));
    const bool valid = answer && std::fabs(*answer) <= FLT_MAX;
    if (valid)
        time = float(*answer);
    sound.Command(QStringLiteral("sound"));
    if (!valid) {
        time = FallbackTime;
        showError(QStringLiteral("Введенные символы нераспознаны как число. Принято 0.01"));
    }
}

// The run length in whole seconds; 0 keeps it. A negative or unrepresentable
// length would ask "Продолжать вывод?" at every step, so it counts as no
// number, like text.
void askRunLength(int32_t &runLength)
{
    const std::optional<double> answer = readNumber(
        prompts().input({QStringLiteral("Время работы схемы"), ParametersTitle, numberText(runLength / 100.0)}));
    const double seconds = answer ? std::nearbyint(*answer) : -1;
    constexpr double MaxSeconds = std::numeric_limits<int32_t>::max() / 100;
    if (seconds < 0 || seconds > MaxSeconds) {
        runLength = FallbackRunLength;
        showError(QStringLiteral("Введенные символы нераспознаны как число. Принято 1"));
    } else if (seconds != 0) {
        runLength = int32_t(seconds) * 100;
    }
}

void changeParameters(EndOfRunHost &host)
{
    RunState &state = host.State();
    SoundDevice &MMC1 = soundDevice();
    const QString dataFolder = ProgramDataFolder();

    MMC1.Command(QStringLiteral("Open"));
    if (askYesNo(QStringLiteral("Изменять входные параметры?")))
        host.SetTimeChar(state.ModelPath);
    if (askYesNo(QStringLiteral("Изменять внутренние параметры?"))) {
        MMC1.FileName = dataFolder + QLatin1String("/Type.wav");
        for (int i = 1; i <= state.ElemCount; ++i)
            askTime(QStringLiteral("Введите Т пpитяжения ") + state.ElemName[i], state.Tpr[i], MMC1);
        for (int i = 1; i <= state.ElemCount; ++i)
            askTime(QStringLiteral("Введите Т отпадания ") + state.ElemName[i], state.Totp[i], MMC1);
    }
    MMC1.FileName = dataFolder + QLatin1String("/Fanfare.wav");
    MMC1.Command(QStringLiteral("sound"));
    askRunLength(state.RunLength);

    const MessageRequest save{QStringLiteral("Записать данные на диск?"), QStringLiteral("Сохранение"),
                              Prompt::Buttons::YesNo, Prompt::Icon::Question, Prompt::Answer::No};
    if (prompts().message(save) == Prompt::Answer::Yes)
        host.SaveTiming();
    MMC1.Command(QStringLiteral("close"));

    const MessageRequest restart{
        QStringLiteral("Нажмите Ok  для вывода диаграммы сначала или Отмена для продолжения"), {},
        Prompt::Buttons::OkCancel, Prompt::Icon::Information, std::nullopt};
    if (prompts().message(restart) == Prompt::Answer::Ok) {
        host.Step().Restart();
        host.ClearWindow();
    }
    state.ReportHeadDue = FlagTrue;
    host.Output().WriteReportHeader();
}

} // namespace

void EndOfRunDialogue(EndOfRunHost &host)
{
    RunState &state = host.State();
    DiagramStep &step = host.Step();
    step.LastKey.clear();
    step.StopRequested = FlagFalse;
    state.send({});

    state.AfterRunChoice = AskContinue();
    switch (state.AfterRunChoice) {
    case frmSubmenu::ChangeParameters:
        changeParameters(host);
        break;
    case frmSubmenu::RedirectOutput:
        ChooseOutputDevices(state, host.Output());
        break;
    case frmSubmenu::FinishWork:
        state.end();
        host.CloseWindow();
        break;
    case frmSubmenu::EmptyReport:
        host.Output().EmptyReport();
        break;
    default: // ContinueOutput: the run goes on
        break;
    }
}
