#pragma once

#include <QDialog>

#include <memory>

class ArrowSelectList;
class QComboBox;
class QPushButton;

// "Задание входного кода": the code the transmitter starts with. A mouse
// choice in the list confirms at once; the arrow keys only move, and Tab or
// "Ok" confirm. The chosen index is the code number. The list is Combo1 and
// the button Command1 by objectName.
class frmKod : public QDialog
{
    Q_OBJECT
public:
    explicit frmKod(QWidget *parent = nullptr);
    ~frmKod() override;

    QComboBox *codeList;   // Combo1
    QPushButton *okButton; // Command1
    std::unique_ptr<ArrowSelectList> codeListKeys;

    // The code number: the index of the chosen entry (-1 for none).
    int16_t ChosenCode() const;

private slots:
    void Confirm();
};
