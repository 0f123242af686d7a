#pragma once

#include <QDialog>

// "frmIndev" of the model: where the pickup and release times come from, a
// file (button cmdInfile) or the keyboard (cmdInkeyb). Each button sets Tag
// ("1" file, "0" keyboard) and hides the window; the close box leaves Tag
// empty, which counts as the keyboard.
class TimingSourceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TimingSourceDialog(QWidget *parent = nullptr);

    QString Tag;

    // The numeric value of Tag: 1 for the file, 0 otherwise.
    int TagValue() const { return Tag.toInt(); }

private:
    void choose(const QString &tag);
};
