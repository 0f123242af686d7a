#pragma once

#include "report/BackgroundBeep.h"

#include <cstdint>

class QPushButton;
class QRadioButton;

// "Сейчас нужно:": what to do after a stop. Each option carries its choice
// code; the window opens with Option2 ("Продолдить вывод") selected and the
// result 2. "Ok" hides it keeping the choice; the close box (or Esc) discards
// the choice, so the caller reads 2, as from a freshly loaded window. The
// options keep the objectNames Option1..Option5, the button Command1.
class frmSubmenu : public BackgroundBeepDialog
{
public:
    // The choice codes, as the end-of-run dialogue acts on them.
    enum Choice : int16_t {
        ChangeParameters = 1,
        ContinueOutput = 2,
        RedirectOutput = 3,
        FinishWork = 4,
        EmptyReport = 5,
    };

    explicit frmSubmenu(QWidget *parent = nullptr);

    int16_t Result() const { return m_result; }

    QRadioButton *changeParametersOption; // Option1
    QRadioButton *continueOutputOption;   // Option2
    QRadioButton *redirectOutputOption;   // Option3
    QRadioButton *emptyReportOption;      // Option4
    QRadioButton *finishWorkOption;       // Option5
    QPushButton *okButton;                // Command1

    void reject() override;

private:
    QRadioButton *addOption(const QString &name, const QString &caption, int16_t code);

    int16_t m_result = ContinueOutput;
};

// "Продолжить вывод?"; Yes gives 2 at once, No asks frmSubmenu and gives its
// choice code.
int16_t AskContinue();
