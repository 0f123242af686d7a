#pragma once

#include <QDialog>

#include <cstdint>

class QPushButton;

namespace Vesk {

// Where new code timing comes from. Each button leaves its choice in
// TimingSource and hides the window; closing it without a button leaves 0,
// the keyboard.
class frmIndev : public QDialog
{
    Q_OBJECT
public:
    enum Source : int16_t { Keyboard = 0, File = 1, Kpt5 = 5, Kpt7 = 7 };

    explicit frmIndev(QWidget *parent = nullptr);

    QPushButton *cmdInfile;
    QPushButton *cmdInkeyb;
    QPushButton *cmd5;
    QPushButton *cmd7;
    int16_t TimingSource = Keyboard;

private:
    void choose(Source source);
};

} // namespace Vesk
