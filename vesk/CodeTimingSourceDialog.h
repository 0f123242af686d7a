#pragma once

#include <QDialog>

#include <cstdint>

namespace Vesk {

// "frmIndev" of the transmitter: where new code timing comes from, the file
// (button cmdInfile), the keyboard (cmdInkeyb) or one of the standard sets
// (cmd5, cmd7). Each button leaves its choice in TimingSource and hides the
// window; closing it without a button leaves 0, the keyboard.
class CodeTimingSourceDialog : public QDialog
{
    Q_OBJECT
public:
    enum Source : int16_t { Keyboard = 0, File = 1, Kpt5 = 5, Kpt7 = 7 };

    explicit CodeTimingSourceDialog(QWidget *parent = nullptr);

    int16_t TimingSource = Keyboard;

private:
    void choose(Source source);
};

} // namespace Vesk
