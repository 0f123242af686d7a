#include "frmFault.h"

#include "ArrowSelectList.h"
#include "ModelState.h"

#include <QComboBox>
#include <QRadioButton>
#include <QVBoxLayout>

frmFault::frmFault(ModelState &state, QWidget *parent) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmFault"));
    setWindowTitle(QStringLiteral("Задание неисправности"));
    cbElement = new QComboBox(this);
    cbElement->setObjectName(QStringLiteral("cbElement"));
    for (int i = 1; i <= state.ElemCount; ++i)
        cbElement->addItem(state.ElemName[i]);
    cbElement->setCurrentIndex(0);
    Option1 = new QRadioButton(QStringLiteral("Нормальная работа"), this);
    Option2 = new QRadioButton(QStringLiteral("Обрыв питания"), this);
    Option3 = new QRadioButton(QStringLiteral("Подпитка"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(cbElement);
    QRadioButton *const options[] = {Option1, Option2, Option3};
    for (uint8_t fault = 0; fault < 3; ++fault) {
        QRadioButton *option = options[fault];
        option->setObjectName(QStringLiteral("Option%1").arg(fault + 1));
        layout->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this, fault] { Option_Click(fault); });
    }
    cbElementRule = std::make_unique<ArrowSelectList>(*cbElement, true, [this] { cbElement_LostFocus(); });
    cbElement_LostFocus();
    cbElement->setFocus();
}

void frmFault::Option_Click(uint8_t fault)
{
    const int element = cbElement->currentIndex() + 1;
    if (element >= 1 && element <= m_state.ElemCount)
        m_state.ElemFault[element] = fault;
}

void frmFault::cbElement_LostFocus()
{
    const int element = cbElement->currentIndex() + 1;
    if (element < 1 || element > m_state.ElemCount)
        return;
    switch (m_state.ElemFault[element]) {
    case 1: Option2->setChecked(true); break;
    case 2: Option3->setChecked(true); break;
    default: Option1->setChecked(true); break;
    }
}

frmFault::~frmFault() = default;
