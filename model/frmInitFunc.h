#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// "Функция возбуждения": one row, the name with "=" and the field for the
// function. Enter hides the window and keeps the text; the close box leaves
// the function empty. Escape is just a key for the field. By objectName the
// label is lblHeader and the field txtFunc.
class frmInitFunc : public QDialog
{
public:
    explicit frmInitFunc(QWidget *parent = nullptr);

    // Shows the window for one element or output and returns the function
    // exactly as typed.
    QString AskFunction(const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *nameLabel;        // lblHeader
    QLineEdit *functionField; // txtFunc
    bool m_entered = false;
};
