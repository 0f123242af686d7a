#include "model/AskTiming.h"

#include "model/FileChoice.h"
#include "model/frmTimeInput.h"
#include "model/TimingFile.h"
#include "model/TimingSourceDialog.h"
#include "platform/CommonDialog.h"
#include "platform/DataFolder.h"
#include "platform/Prompts.h"
#include "platform/SoundDevice.h"

#include <QLineEdit>
#include <QLabel>

namespace {

QString soundFile(const QString &name) { return ProgramDataFolder() + QLatin1Char('/') + name; }

void showError(const QString &text)
{
    MessageRequest request;
    request.text = text;
    request.icon = Prompt::Icon::Critical;
    prompts().message(request);
}

// 1 for "Из файла", 0 for the keyboard (also the close box).
int AskSource(QWidget *parent)
{
    TimingSourceDialog source(parent);
    prompts().exec(source);
    return source.TagValue();
}

bool TimingFromFile(ModelState &settings, RunState &run, CommonDialog &CDL1)
{
    if (!ChooseFile(settings, CDL1, QStringLiteral("tim")))
        return false;
    const QString fileName = settings.ChosenPath + QStringLiteral(".tim");
    const FileResult<TimingValues> values = ReadTimingFile(fileName, run.ElemCount);
    if (!values) {
        showError(values.error());
        return false;
    }
    if (const QStringList warnings = TimingFileWarnings(fileName, *values, run.ElemCount); !warnings.isEmpty()) {
        MessageRequest request;
        request.text = warnings.join(QLatin1Char('\n'));
        request.icon = Prompt::Icon::Exclamation;
        prompts().message(request);
    }
    ApplyTiming(run, *values);
    return true;
}

// One element's times from frmTimeInput, asked again until both read as
// numbers. The close box counts as a fresh window: the defaults.
void TimesOfElement(RunState &state, int i, QWidget *parent)
{
    frmTimeInput window(parent);
    window.elementLabel->setText(state.ElemName[i]);
    for (;;) {
        window.OkPressed = false;
        prompts().exec(window);
        const QString pickup = window.OkPressed ? window.pickupField->text() : frmTimeInput::DefaultText();
        const QString release = window.OkPressed ? window.releaseField->text() : frmTimeInput::DefaultText();
        const std::optional<float> tpr = ReadCommaNumber(pickup);
        const std::optional<float> totp = ReadCommaNumber(release);
        if (tpr && totp) {
            state.Tpr[i] = *tpr;
            state.Totp[i] = *totp;
            return;
        }
        MessageRequest notNumber;
        notNumber.text = QStringLiteral("Ввндите число!");
        notNumber.icon = Prompt::Icon::Exclamation;
        prompts().message(notNumber);
    }
}

enum class RunLengthOutcome { Done, Retry, Cancel };

RunLengthOutcome TimingFromKeyboard(RunState &state, QWidget *parent)
{
    SoundDevice &MMC1 = soundDevice();
    MMC1.FileName = soundFile(QStringLiteral("Type.wav"));
    MMC1.Command(QStringLiteral("Open"));
    for (int i = 1; i <= state.ElemCount; ++i) {
        TimesOfElement(state, i, parent);
        MMC1.Command(QStringLiteral("Sound"));
    }
    MMC1.FileName = soundFile(QStringLiteral("Fanfare.wav"));
    MMC1.Command(QStringLiteral("Sound"));

    const QString answer = prompts().input(
        InputRequest{QStringLiteral("Время работы схемы (c)"), QString(), QStringLiteral("01,00")});
    const std::optional<int32_t> steps = RunLengthFromAnswer(answer);
    if (!steps) {
        MessageRequest notWhole;
        notWhole.text = QStringLiteral("Введите нормальное целое число");
        notWhole.buttons = Prompt::Buttons::RetryCancel;
        notWhole.icon = Prompt::Icon::Information;
        // The device stays open into the repeated entry, which opens it again.
        return prompts().message(notWhole) == Prompt::Answer::Retry ? RunLengthOutcome::Retry
                                                                      : RunLengthOutcome::Cancel;
    }
    state.RunLength = *steps;
    MMC1.Command(QStringLiteral("Close"));
    return RunLengthOutcome::Done;
}

} // namespace

bool AskTiming(TimingEntryContext &context)
{
    RunState &run = context.run;
    // Retry on a bad run length asks everything again, the code timing first.
    for (;;) {
        context.SetTimeChar(QString(run.ModelPath));
        if (AskSource(context.parent) == 1)
            return TimingFromFile(context.settings, run, context.CDL1);
        switch (TimingFromKeyboard(run, context.parent)) {
        case RunLengthOutcome::Retry:
            continue;
        case RunLengthOutcome::Cancel:
            return false;
        case RunLengthOutcome::Done:
            break;
        }
        MessageRequest save;
        save.text = QStringLiteral("Сохранить данные?");
        save.buttons = Prompt::Buttons::YesNo;
        if (prompts().message(save) == Prompt::Answer::Yes)
            SaveTiming(context.settings, run, context.CDL1);
        return true;
    }
}

void SaveTiming(ModelState &settings, const RunState &run, CommonDialog &CDL1)
{
    CDL1.DefaultExt = QStringLiteral(".tim");
    CDL1.FileName = run.ModelPath + QStringLiteral(".tim");
    CDL1.Filter = QStringLiteral("Файлы характеристик (*.tim)|*.tim");
    CDL1.Flags = CommonDialog::OverwritePrompt | CommonDialog::HideReadOnly;
    // A file that cannot be written is named and the dialog comes again, so
    // the times typed can still go elsewhere; only Cancel gives them up.
    for (;;) {
        if (!CDL1.ShowSave())
            return;
        settings.ChosenPath = PathBeforeFirstDot(CDL1.FileName, true);
        const FileResult<> written = WriteTimingFile(settings.ChosenPath + QStringLiteral(".tim"), run);
        if (written)
            return;
        showError(written.error());
    }
}
