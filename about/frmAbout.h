#pragma once

#include "AboutInfo.h"
#include "SystemInfo.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The About window shared by the program and the transmitter library: title,
// version, description and owner's notice of whoever shows it, and a button
// that starts the system-information tool. "&OK", Enter and Esc close it.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(const AboutInfo &info, QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;
    QPushButton *cmdSysInfo;

    // The registry that "О системе..." consults.
    KeyReader readKey = GetKeyValue;

private:
    void Form_Load(const AboutInfo &info);
    void cmdOK_Click();
    void cmdSysInfo_Click();
};

// Shows the About window for info modally, through prompts().
void showAboutBox(const AboutInfo &info, QWidget *parent = nullptr);
