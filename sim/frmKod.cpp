#include "sim/frmKod.h"

#include "sim/ArrowSelectList.h"

#include <QComboBox>
#include <QPushButton>
#include <QVBoxLayout>

frmKod::frmKod(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmKod"));
    setWindowTitle(QStringLiteral("Задание входного кода"));
    codeList = new QComboBox(this);
    codeList->setObjectName(QStringLiteral("Combo1"));
    codeList->addItem(QStringLiteral("Кода нет"));
    for (int code = 1; code <= 3; ++code)
        codeList->addItem(QStringLiteral("Код №") + QString::number(code));
    codeList->setCurrentIndex(0);
    okButton = new QPushButton(QStringLiteral("Ok"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setAutoDefault(false);
    setMinimumWidth(240);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(codeList);
    layout->addWidget(okButton);
    codeListKeys = std::make_unique<ArrowSelectList>(*codeList, false, [this] { okButton->click(); });
    connect(okButton, &QPushButton::clicked, this, &frmKod::Confirm);
    codeList->setFocus();
}

int16_t frmKod::ChosenCode() const { return int16_t(codeList->currentIndex()); }

void frmKod::Confirm() { hide(); }

frmKod::~frmKod() = default;
