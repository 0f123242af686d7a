#include "frmOutdev.h"

#include "ModelState.h"
#include "Prompts.h"
#include "ReportFonts.h"
#include "ReportOutput.h"

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

    chkScr = addDevice(group, QStringLiteral("chkScr"), QStringLiteral("Монитор"));
    chkPrin = addDevice(group, QStringLiteral("chkPrin"), QStringLiteral("Принтер"));
    chkFiler = addDevice(group, QStringLiteral("chkFiler"), QStringLiteral("Файл"));
    chkScr->setChecked(true);

    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
}

void ChooseOutputDevices(ModelState &state, ReportOutput &output)
{
    frmOutdev window;
    window.chkPrin->setChecked(state.ToPrinter != FlagFalse);
    window.chkFiler->setChecked(state.ToFile != FlagFalse);
    prompts().exec(window);

    state.ToScreen = flagOf(window.chkScr);
    state.ToPrinter = flagOf(window.chkPrin);
    if (window.chkFiler->checkState() == Qt::Checked) {
        state.ToFile = FlagTrue;
        const MessageRequest question{QStringLiteral("Вывод в новый файл?"), {}, Prompt::Buttons::YesNo,
                                      Prompt::Icon::Question, Prompt::Answer::No};
        if (prompts().message(question) == Prompt::Answer::Yes)
            output.EmptyReport();
    } else {
        state.ToFile = FlagFalse;
    }
}
