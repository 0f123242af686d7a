#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollBar;

// "Скорость": the delay of the run, 0..MaxDelay; the timer interval is
// delay × 5 + 1 ms, so the slowest setting steps about once a second. The
// bar holds the chosen delay once the dialog is hidden: "Ok" keeps where it
// was moved, Esc and the close box put it back where it started. By
// objectName: Label1 the caption, Label2 the value, HScroll1 the bar and
// Command1 the "Ok" button.
class frmSpeed : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxDelay = 200;

    explicit frmSpeed(int16_t speed, QWidget *parent = nullptr);

    QLabel *valueLabel;    // Label2, the bar's value
    QScrollBar *delayBar;  // HScroll1
    QPushButton *okButton; // Command1

    void reject() override;

private:
    int16_t m_speed; // the delay the dialog started with
};
