#include "frmTimeInput.h"

#include "TimingFile.h"

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

    lblElement = new QLabel(this);
    lblElement->setObjectName(QStringLiteral("lblElement"));
    txtTpr = new QLineEdit(DefaultText(), this);
    txtTpr->setObjectName(QStringLiteral("txtTpr"));
    txtTotp = new QLineEdit(DefaultText(), this);
    txtTotp->setObjectName(QStringLiteral("txtTotp"));
    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Элемент"), this), 0, 0);
    layout->addWidget(lblElement, 0, 1);
    layout->addWidget(txtTpr, 1, 0);
    layout->addWidget(txtTotp, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("притяжение"), this), 2, 0);
    layout->addWidget(new QLabel(QStringLiteral("отпадание"), this), 2, 1);
    layout->addWidget(Command1, 3, 0, 1, 2);

    setTabOrder(txtTpr, txtTotp);
    setTabOrder(txtTotp, Command1);
    txtTpr->installEventFilter(this);
    txtTotp->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, &frmTimeInput::Command1_Click);
    txtTpr->setFocus();
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

void frmTimeInput::Command1_Click()
{
    OkPressed = true;
    hide();
}
