#include "frmInitFunc.h"

#include "Prompts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

frmInitFunc::frmInitFunc(QWidget *parent)
    : QDialog(parent)
    , lblHeader(new QLabel(this))
    , txtFunc(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmInitFunc"));
    setWindowTitle(QStringLiteral("Функция возбуждения"));
    lblHeader->setObjectName(QStringLiteral("lblHeader"));
    txtFunc->setObjectName(QStringLiteral("txtFunc"));
    txtFunc->setMinimumWidth(420);
    auto *row = new QHBoxLayout(this);
    row->addWidget(lblHeader);
    row->addWidget(txtFunc, 1);
    // The window sees the keys before its field does.
    txtFunc->installEventFilter(this);
}

QString frmInitFunc::AskFunction(const QString &name)
{
    lblHeader->setText(name + QLatin1Char('='));
    txtFunc->clear();
    m_entered = false;
    txtFunc->setFocus();
    prompts().exec(*this);
    hide();
    return m_entered ? txtFunc->text() : QString();
}

bool frmInitFunc::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFunc && event->type() == QEvent::KeyPress) {
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
