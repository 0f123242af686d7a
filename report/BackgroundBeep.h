#pragma once

#include <QDialog>

// A small modal window that answers a click on its bare background with the
// system beep and nothing else; clicks on its controls are theirs.
class BackgroundBeepDialog : public QDialog
{
public:
    using QDialog::QDialog;

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
