#include "report/frmSubmenu.h"

#include "platform/Prompts.h"
#include "report/ReportFonts.h"

#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmSubmenu::frmSubmenu(QWidget *parent) : BackgroundBeepDialog(parent)
{
    setObjectName(QStringLiteral("frmSubmenu"));
    setWindowTitle(QStringLiteral("Сейчас нужно:"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);

    // "Очистить отчет" stands above "Завершить работу" yet has the higher code.
    changeParametersOption = addOption(QStringLiteral("Option1"), QStringLiteral("Изменить параметры"), ChangeParameters);
    continueOutputOption = addOption(QStringLiteral("Option2"), QStringLiteral("Продолдить вывод"), ContinueOutput);
    redirectOutputOption = addOption(QStringLiteral("Option3"), QStringLiteral("Перенаправить вывод"), RedirectOutput);
    emptyReportOption = addOption(QStringLiteral("Option4"), QStringLiteral("Очистить отчет"), EmptyReport);
    finishWorkOption = addOption(QStringLiteral("Option5"), QStringLiteral("Завершить работу"), FinishWork);
    continueOutputOption->setChecked(true);

    okButton = new QPushButton(QStringLiteral("Ok"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setDefault(true);
    layout->addSpacing(8);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

QRadioButton *frmSubmenu::addOption(const QString &name, const QString &caption, int16_t code)
{
    auto *option = new QRadioButton(caption, this);
    option->setObjectName(name);
    option->setFont(ReportFonts::System(10));
    layout()->addWidget(option);
    connect(option, &QRadioButton::toggled, this, [this, code](bool on) {
        if (on)
            m_result = code;
    });
    return option;
}

void frmSubmenu::reject()
{
    m_result = ContinueOutput;
    BackgroundBeepDialog::reject();
}

int16_t AskContinue()
{
    const MessageRequest question{QStringLiteral("Продолжить вывод?"), {}, Prompt::Buttons::YesNo,
                                  Prompt::Icon::Question, std::nullopt};
    if (prompts().message(question) == Prompt::Answer::Yes)
        return frmSubmenu::ContinueOutput;
    frmSubmenu window;
    prompts().exec(window);
    return window.Result();
}
