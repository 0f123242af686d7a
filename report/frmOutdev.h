#pragma once

#include "report/BackgroundBeep.h"

class QCheckBox;
class QPushButton;
struct OutputChoice;
class ReportOutput;

// "Устройства для вывода": three check boxes, "Монитор" checked whenever the
// window opens, and "Ok", which hides it. By objectName the boxes are chkScr,
// chkPrin and chkFiler, the button Command1.
class frmOutdev : public BackgroundBeepDialog
{
public:
    explicit frmOutdev(QWidget *parent = nullptr);

    QCheckBox *screenBox;  // chkScr
    QCheckBox *printerBox; // chkPrin
    QCheckBox *fileBox;    // chkFiler
    QPushButton *okButton; // Command1
};

// Lets the user choose the output devices in a fresh frmOutdev: "Принтер" and
// "Файл" start from ToPrinter and ToFile, then all three flags take the
// boxes' states. A checked "Файл" asks "Вывод в новый файл?"; Yes empties the
// report file through output (which reports a failure itself).
void ChooseOutputDevices(OutputChoice &state, ReportOutput &output);
