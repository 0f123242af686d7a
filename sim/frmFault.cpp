#include "sim/frmFault.h"

#include "model/RunState.h"
#include "sim/ArrowSelectList.h"

#include <QComboBox>
#include <QRadioButton>
#include <QVBoxLayout>

frmFault::frmFault(RunState &state, QWidget *parent) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmFault"));
    setWindowTitle(QStringLiteral("Задание неисправности"));
    elementList = new QComboBox(this);
    elementList->setObjectName(QStringLiteral("cbElement"));
    for (int i = 1; i <= state.ElemCount; ++i)
        elementList->addItem(state.ElemName[i]);
    elementList->setCurrentIndex(0);
    normalOption = new QRadioButton(QStringLiteral("Нормальная работа"), this);
    feedLossOption = new QRadioButton(QStringLiteral("Обрыв питания"), this);
    backfeedOption = new QRadioButton(QStringLiteral("Подпитка"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(elementList);
    QRadioButton *const options[] = {normalOption, feedLossOption, backfeedOption};
    for (uint8_t fault = 0; fault < 3; ++fault) {
        QRadioButton *option = options[fault];
        option->setObjectName(QStringLiteral("Option%1").arg(fault + 1));
        layout->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this, fault] { ChooseFault(fault); });
    }
    elementListKeys = std::make_unique<ArrowSelectList>(*elementList, true, [this] { ShowFaultOfElement(); });
    ShowFaultOfElement();
    elementList->setFocus();
}

void frmFault::ChooseFault(uint8_t fault)
{
    SetFault(m_state, elementList->currentIndex() + 1, fault);
}

void frmFault::SetFault(RunState &state, int element, uint8_t fault)
{
    if (element >= 1 && element <= state.ElemCount)
        state.ElemFault[element] = fault;
}

void frmFault::ShowFaultOfElement()
{
    const int element = elementList->currentIndex() + 1;
    if (element < 1 || element > m_state.ElemCount)
        return;
    switch (m_state.ElemFault[element]) {
    case 1: feedLossOption->setChecked(true); break;
    case 2: backfeedOption->setChecked(true); break;
    default: normalOption->setChecked(true); break;
    }
}

frmFault::~frmFault() = default;
