#include "vesk/TimeCharEntry.h"

#include "platform/CommonDialog.h"
#include "platform/Prompts.h"
#include "vesk/CodeTimingFile.h"
#include "vesk/CodeTimingSourceDialog.h"
#include "vesk/CodeTransmitter.h"
#include "vesk/frmInpWhd.h"
#include "vesk/TimeText.h"

#include <QFile>
#include <QLineEdit>
#include <QLocale>

namespace Vesk {

namespace {

void showError(const QString &text)
{
    prompts().message({text, QString(), Prompt::Buttons::Ok, Prompt::Icon::Critical, {}});
}

} // namespace

TimeCharEntry::TimeCharEntry(CodeTransmitter &transmitter)
    : m_transmitter(transmitter)
{
}

TimeCharEntry::~TimeCharEntry() = default;

// Rejected times (zero, or an unreadable file) bring the choice back; the
// loop keeps the stack flat however often the user tries again.
void TimeCharEntry::SetTimeChar(QString &nmFil)
{
    const QString given = nmFil;
    for (;;) {
        nmFil = given;
        Outcome outcome = Outcome::Done;
        switch (askSource()) {
        case CodeTimingSourceDialog::Keyboard:
            outcome = enterFromKeyboard();
            break;
        case CodeTimingSourceDialog::File:
            outcome = readFile(nmFil);
            break;
        case CodeTimingSourceDialog::Kpt5:
            m_transmitter.Set5();
            break;
        case CodeTimingSourceDialog::Kpt7:
            m_transmitter.Set7();
            break;
        }
        if (outcome == Outcome::GaveUp) {
            nmFil = given;
            return;
        }
        if (outcome == Outcome::AskAgain)
            continue;
        if (m_transmitter.Timing.productIsZero()) {
            showError(QStringLiteral("Введены нулевые данные. Исправьте ошибку!"));
            continue;
        }
        LastFile = nmFil;
        return;
    }
}

int TimeCharEntry::askSource()
{
    CodeTimingSourceDialog window;
    prompts().exec(window);
    return window.TimingSource;
}

TimeCharEntry::Outcome TimeCharEntry::enterFromKeyboard()
{
    frmInpWhd window;
    const std::array<float, 12> times = m_transmitter.Timing.values();
    for (std::size_t i = 0; i < times.size(); ++i)
        window.fields[i]->setText(TimeText::inLocale(times[i], QLocale()));
    do {
        window.OkPressed = false;
        prompts().exec(window);
        if (!window.OkPressed)
            return Outcome::GaveUp;
    } while (!readFields(window));
    const MessageRequest save{QStringLiteral("Сохранить данные?"), QString(), Prompt::Buttons::YesNo,
                              Prompt::Icon::None, {}};
    if (prompts().message(save) == Prompt::Answer::Yes)
        SaveTimeChar();
    return Outcome::Done;
}

// All twelve fields into the times, or none: a field that is not a number
// is named in a message and gets the focus for the next try.
bool TimeCharEntry::readFields(frmInpWhd &window)
{
    std::array<float, 12> times{};
    for (std::size_t i = 0; i < times.size(); ++i) {
        const std::optional<float> value = TimeText::fromLocale(window.fields[i]->text(), QLocale());
        if (!value) {
            prompts().message({QStringLiteral("%1: «%2» не является числом. Введите время в секундах, например %3.")
                                   .arg(frmInpWhd::fieldDescription(i), window.fields[i]->text(),
                                        TimeText::inLocale(0.23f, QLocale())),
                               QString(), Prompt::Buttons::Ok, Prompt::Icon::Exclamation, {}});
            window.fields[i]->setFocus();
            return false;
        }
        times[i] = *value;
    }
    m_transmitter.Timing = CodeTiming::fromValues(times);
    return true;
}

TimeCharEntry::Outcome TimeCharEntry::readFile(QString &nmFil)
{
    if (nmFil.isEmpty())
        nmFil = QStringLiteral("*");
    const qsizetype period = nmFil.indexOf(QLatin1Char('.'));
    if (period >= 0)
        nmFil.truncate(period);
    if (!AskOpenFile(nmFil, QStringLiteral("whd")))
        return Outcome::GaveUp;
    const FileResult<CodeTiming> timing = CodeTimingFile::read(nmFil);
    if (!timing) {
        showError(timing.error());
        return Outcome::AskAgain;
    }
    m_transmitter.Timing = *timing;
    return Outcome::Done;
}

bool TimeCharEntry::AskOpenFile(QString &N, const QString &E)
{
    const QString proposed = N;
    CommonDialog &dialog = commonDialog();
    for (;;) {
        dialog.Filter = QStringLiteral("Файлы ") + E + QStringLiteral(" |*.") + E;
        dialog.Flags = CommonDialog::HideReadOnly;
        dialog.FileName = proposed + QLatin1Char('.') + E;
        N = dialog.ShowOpen() ? dialog.FileName : QString();
        if (N.isEmpty())
            return false;
        if (QFile(N).open(QIODevice::ReadOnly))
            return true;
        const MessageRequest missing{QStringLiteral("Файл ") + N + QStringLiteral(" не существует"), QString(),
                                     Prompt::Buttons::RetryCancel, Prompt::Icon::Critical, {}};
        if (prompts().message(missing) != Prompt::Answer::Retry)
            return false;
    }
}

void TimeCharEntry::SaveTimeChar()
{
    CommonDialog &dialog = commonDialog();
    dialog.DefaultExt = QStringLiteral(".whd");
    dialog.FileName = LastFile;
    dialog.Filter = QStringLiteral("Файлы характеристик (*.whd)|*.whd");
    dialog.Flags = CommonDialog::HideReadOnly | CommonDialog::OverwritePrompt;
    if (!dialog.ShowSave())
        return;
    LastFile = dialog.FileName;
    if (const FileResult<> written = CodeTimingFile::write(LastFile, m_transmitter.Timing); !written)
        showError(written.error());
}

CommonDialog &TimeCharEntry::commonDialog()
{
    if (!m_commonDialog)
        m_commonDialog = std::make_unique<CommonDialog>();
    return *m_commonDialog;
}

} // namespace Vesk
