#include "model/frmTimeInput.h"

#include "model/TimingFile.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

frmTimeInput::frmTimeInput(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTimeInput"));
    setWindowTitle(QStringLiteral("Временные характеристики:"));

    elementLabel = new QLabel(this);
    elementLabel->setObjectName(QStringLiteral("lblElement"));
    pickupField = new QLineEdit(DefaultText(), this);
    pickupField->setObjectName(QStringLiteral("txtTpr"));
    releaseField = new QLineEdit(DefaultText(), this);
    releaseField->setObjectName(QStringLiteral("txtTotp"));
    okButton = new QPushButton(QStringLiteral("Ok"), this);
    okButton->setObjectName(QStringLiteral("Command1"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Элемент"), this), 0, 0);
    layout->addWidget(elementLabel, 0, 1);
    layout->addWidget(pickupField, 1, 0);
    layout->addWidget(releaseField, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("притяжение"), this), 2, 0);
    layout->addWidget(new QLabel(QStringLiteral("отпадание"), this), 2, 1);
    layout->addWidget(okButton, 3, 0, 1, 2);

    setTabOrder(pickupField, releaseField);
    setTabOrder(releaseField, okButton);
    pickupField->installEventFilter(this);
    releaseField->installEventFilter(this);
    connect(okButton, &QPushButton::clicked, this, &frmTimeInput::Confirm);
    pickupField->setFocus();
}

bool frmTimeInput::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && event->type() == QEvent::FocusIn) {
        // After the event: a mouse press would otherwise place the cursor
        // and drop the selection again.
        QTimer::singleShot(0, field, &QLineEdit::selectAll);
    } else if (field && event->type() == QEvent::FocusOut) {
        field->setText(CommaDecimal(field->text()));
    }
    return QDialog::eventFilter(watched, event);
}

void frmTimeInput::Confirm()
{
    OkPressed = true;
    hide();
}
