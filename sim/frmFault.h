#pragma once

#include "model/Fault.h"

#include <QDialog>

#include <memory>

struct RunState;
class ArrowSelectList;
class QComboBox;
class QRadioButton;

// "Задание неисправности": the fault of one element at a time, written to
// ElemFault as soon as an option is clicked. The options show the fault of
// the listed element once the list loses the focus (at once for a mouse
// choice). Closed with its close box only. By objectName the list is
// cbElement and the options Option1..Option3.
class frmFault : public QDialog
{
    Q_OBJECT
public:
    explicit frmFault(RunState &state, QWidget *parent = nullptr);
    ~frmFault() override;

    QComboBox *elementList;        // cbElement
    QRadioButton *normalOption;    // Option1, Fault::None
    QRadioButton *feedLossOption;  // Option2, Fault::Break
    QRadioButton *backfeedOption;  // Option3, Fault::Feed
    std::unique_ptr<ArrowSelectList> elementListKeys;

private slots:
    void ChooseFault(Fault fault);
    void ShowFaultOfElement();

private:

    RunState &m_state;
};
