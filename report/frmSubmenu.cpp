#include "frmSubmenu.h"

#include "Prompts.h"
#include "ReportFonts.h"

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
    Option1 = addOption(QStringLiteral("Option1"), QStringLiteral("Изменить параметры"), ChangeParameters);
    Option2 = addOption(QStringLiteral("Option2"), QStringLiteral("Продолдить вывод"), ContinueOutput);
    Option3 = addOption(QStringLiteral("Option3"), QStringLiteral("Перенаправить вывод"), RedirectOutput);
    Option4 = addOption(QStringLiteral("Option4"), QStringLiteral("Очистить отчет"), EmptyReport);
    Option5 = addOption(QStringLiteral("Option5"), QStringLiteral("Завершить работу"), FinishWork);
    Option2->setChecked(true);

    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    layout->addSpacing(8);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    connect(Command1, &QPushButton::clicked, this, &frmSubmenu::Command1_Click);
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

void frmSubmenu::Command1_Click() { accept(); }

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
