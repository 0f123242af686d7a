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
    normalOption = new QRadioButton(FaultName(Fault::None), this);
    feedLossOption = new QRadioButton(FaultName(Fault::Break), this);
    backfeedOption = new QRadioButton(FaultName(Fault::Feed), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(elementList);
    QRadioButton *const options[] = {normalOption, feedLossOption, backfeedOption};
    for (int kind = 0; kind < 3; ++kind) {
        QRadioButton *option = options[kind];
        const Fault fault = FaultOfKind(kind);
        option->setObjectName(QStringLiteral("Option%1").arg(kind + 1));
        layout->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this, fault] { ChooseFault(fault); });
    }
    elementListKeys = std::make_unique<ArrowSelectList>(*elementList, true, [this] { ShowFaultOfElement(); });
    ShowFaultOfElement();
    elementList->setFocus();
}

void frmFault::ChooseFault(Fault fault)
{
    m_state.setFault(elementList->currentIndex() + 1, fault);
}

void frmFault::ShowFaultOfElement()
{
    const int element = elementList->currentIndex() + 1;
    if (element < 1 || element > m_state.ElemCount)
        return;
    switch (m_state.now().ElemFault[element]) {
    case Fault::Break: feedLossOption->setChecked(true); break;
    case Fault::Feed: backfeedOption->setChecked(true); break;
    case Fault::None: normalOption->setChecked(true); break;
    }
}

frmFault::~frmFault() = default;
