#include "report/frmOutdev.h"

#include "model/ModelState.h"
#include "platform/Prompts.h"
#include "report/ReportFonts.h"
#include "report/ReportOutput.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

int16_t flagOf(const QCheckBox *box) { return box->checkState() == Qt::Checked ? FlagTrue : FlagFalse; }

QCheckBox *addDevice(QGroupBox *group, const QString &name, const QString &caption)
{
    auto *box = new QCheckBox(caption, group);
    box->setObjectName(name);
    box->setFont(ReportFonts::Fixed(10));
    group->layout()->addWidget(box);
    return box;
}

} // namespace

frmOutdev::frmOutdev(QWidget *parent) : BackgroundBeepDialog(parent)
{
    setObjectName(QStringLiteral("frmOutdev"));
    setWindowTitle(QStringLiteral("Устройства для вывода"));
    setMinimumWidth(280); // room for the caption in the title bar
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox(this);
    group->setLayout(new QVBoxLayout);
    layout->addWidget(group);

    screenBox = addDevice(group, QStringLiteral("chkScr"), QStringLiteral("Монитор"));
    printerBox = addDevice(group, QStringLiteral("chkPrin"), QStringLiteral("Принтер"));
    fileBox = addDevice(group, QStringLiteral("chkFiler"), QStringLiteral("Файл"));
    screenBox->setChecked(true);

    okButton = new QPushButton(QStringLiteral("Ok"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setDefault(true);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

void ChooseOutputDevices(OutputChoice &state, ReportOutput &output)
{
    frmOutdev window;
    window.printerBox->setChecked(state.ToPrinter != FlagFalse);
    window.fileBox->setChecked(state.ToFile != FlagFalse);
    prompts().exec(window);

    state.ToScreen = flagOf(window.screenBox);
    state.ToPrinter = flagOf(window.printerBox);
    if (window.fileBox->checkState() == Qt::Checked) {
        state.ToFile = FlagTrue;
        const MessageRequest question{QStringLiteral("Вывод в новый файл?"), {}, Prompt::Buttons::YesNo,
                                      Prompt::Icon::Question, Prompt::Answer::No};
        if (prompts().message(question) == Prompt::Answer::Yes)
            output.EmptyReport();
    } else {
        state.ToFile = FlagFalse;
    }
}
