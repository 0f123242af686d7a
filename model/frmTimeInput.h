#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The entry of one element's pickup and release times. Each field starts
// with " 0,01", selects its whole text on receiving the focus and turns a
// typed "." into the decimal comma on losing it. "Ok" hides the window;
// OkPressed tells it apart from the close box. By objectName the label is
// lblElement, the fields txtTpr and txtTotp, the button Command1.
class frmTimeInput : public QDialog
{
    Q_OBJECT
public:
    explicit frmTimeInput(QWidget *parent = nullptr);

    static QString DefaultText() { return QStringLiteral(" 0,01"); }

    QLabel *elementLabel;     // lblElement
    QLineEdit *pickupField;   // txtTpr
    QLineEdit *releaseField;  // txtTotp
    QPushButton *okButton;    // Command1
    bool OkPressed = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void Confirm();
};
