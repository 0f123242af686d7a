#include "model/frmInitFunc.h"

#include "platform/Prompts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

frmInitFunc::frmInitFunc(QWidget *parent)
    : QDialog(parent)
    , nameLabel(new QLabel(this))
    , functionField(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmInitFunc"));
    setWindowTitle(QStringLiteral("Функция возбуждения"));
    nameLabel->setObjectName(QStringLiteral("lblHeader"));
    functionField->setObjectName(QStringLiteral("txtFunc"));
    functionField->setMinimumWidth(420);
    auto *row = new QHBoxLayout(this);
    row->addWidget(nameLabel);
    row->addWidget(functionField, 1);
    // The window sees the keys before its field does.
    functionField->installEventFilter(this);
}

QString frmInitFunc::AskFunction(const QString &name)
{
    nameLabel->setText(name + QLatin1Char('='));
    functionField->clear();
    m_entered = false;
    functionField->setFocus();
    prompts().exec(*this);
    hide();
    return m_entered ? functionField->text() : QString();
}

bool frmInitFunc::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == functionField && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_entered = true;
            hide();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmInitFunc::keyPressEvent(QKeyEvent *event)
{
    // A dialog would close on Escape; this window has no such key.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
