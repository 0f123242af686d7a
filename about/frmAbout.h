#pragma once

#include "about/AboutInfo.h"
#include "about/SystemInfo.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The About window shared by the program and the transmitter library: title,
// version, description and owner's notice of whoever shows it, and a button
// that starts the system-information tool. "&OK", Enter and Esc close it.
// By objectName: Image1, lblTitle, lblVersion, lblDescription, lblDisclaimer,
// cmdOK and cmdSysInfo.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(const AboutInfo &info, QWidget *parent = nullptr);

    QLabel *iconLabel;             // Image1
    QLabel *titleLabel;            // lblTitle
    QLabel *versionLabel;          // lblVersion
    QLabel *descriptionLabel;      // lblDescription
    QLabel *disclaimerLabel;       // lblDisclaimer
    QPushButton *okButton;         // cmdOK
    QPushButton *systemInfoButton; // cmdSysInfo

    // The registry that "О системе..." consults.
    KeyReader readKey = GetKeyValue;

private slots:
    void ShowSystemInfo();

private:
    void Fill(const AboutInfo &info);
};

// Shows the About window for info modally, through prompts().
void showAboutBox(const AboutInfo &info, QWidget *parent = nullptr);
