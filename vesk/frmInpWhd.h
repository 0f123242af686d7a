#pragma once

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace Vesk {

// Entry of the twelve times, each in a field on its pulse or interval of the
// three drawn trains. "Ok" sets OkPressed and hides the window; the close box
// hides it with OkPressed false. A field selects its whole text when it gets
// the focus, so typing replaces the value. The button is cmdOk by objectName.
class frmInpWhd : public QDialog
{
    Q_OBJECT
public:
    static constexpr std::size_t FieldCount = 12;

    explicit frmInpWhd(QWidget *parent = nullptr);

    // In the order of the times: txtTimp, txtTint, txtTimpv1 ... txtTintz3.
    std::array<QLineEdit *, FieldCount> fields{};
    QPushButton *okButton; // cmdOk
    bool OkPressed = false;

    // How the user knows the time of field i: "Время 1-го импульса кода Ж".
    static QString fieldDescription(std::size_t i);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void Confirm();

private:
    void SelectAllOnFocus(QLineEdit *field);
};

} // namespace Vesk
