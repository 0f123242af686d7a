#pragma once

#include <QDialog>

class QPushButton;

// Where the timing characteristics come from: a file or the keyboard. Each
// button sets Tag ("1" file, "0" keyboard) and hides the window; the close
// box leaves Tag empty, which counts as the keyboard.
class frmIndev : public QDialog
{
    Q_OBJECT
public:
    explicit frmIndev(QWidget *parent = nullptr);

    QPushButton *cmdInfile;
    QPushButton *cmdInkeyb;
    QString Tag;

    // The numeric value of Tag: 1 for the file, 0 otherwise.
    int TagValue() const { return Tag.toInt(); }

private:
    void choose(const QString &tag);
};
