#pragma once

#include <QDialog>

#include <memory>

class ArrowSelectList;
class QComboBox;
class QPushButton;

// "Задание входного кода": the code the transmitter starts with. A mouse
// choice in the list confirms at once; the arrow keys only move, and Tab or
// "Ok" confirm. The chosen index is the code number.
class frmKod : public QDialog
{
    Q_OBJECT
public:
    explicit frmKod(QWidget *parent = nullptr);
    ~frmKod() override;

    QComboBox *Combo1;
    QPushButton *Command1;
    std::unique_ptr<ArrowSelectList> Combo1Rule;

    // The code number: the index of the chosen entry (-1 for none).
    int16_t ChosenCode() const;

private:
    void Command1_Click();
};
