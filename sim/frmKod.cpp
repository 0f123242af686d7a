#include "frmKod.h"

#include "ArrowSelectList.h"

#include <QComboBox>
#include <QPushButton>
#include <QVBoxLayout>

frmKod::frmKod(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmKod"));
    setWindowTitle(QStringLiteral("Задание входного кода"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItem(QStringLiteral("Кода нет"));
    for (int code = 1; code <= 3; ++code)
        Combo1->addItem(QStringLiteral("Код №") + QString::number(code));
    Combo1->setCurrentIndex(0);
    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    setMinimumWidth(240);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Combo1);
    layout->addWidget(Command1);
    Combo1Rule = std::make_unique<ArrowSelectList>(*Combo1, false, [this] { Command1->click(); });
    connect(Command1, &QPushButton::clicked, this, &frmKod::Command1_Click);
    Combo1->setFocus();
}

int16_t frmKod::ChosenCode() const { return int16_t(Combo1->currentIndex()); }

void frmKod::Command1_Click() { hide(); }

frmKod::~frmKod() = default;
