#include "frmSpeed.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

frmSpeed::frmSpeed(int16_t speed, QWidget *parent) : QDialog(parent), m_speed(speed)
{
    setObjectName(QStringLiteral("frmSpeed"));
    setWindowTitle(QStringLiteral("Скорость"));
    Label1 = new QLabel(QStringLiteral("Задержка"), this);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    HScroll1 = new QScrollBar(Qt::Vertical, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    // A stored delay beyond the usual range stays what it is until the bar is moved.
    HScroll1->setRange(std::min<int>(0, speed), std::max<int>(MaxDelay, speed));
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(10);
    HScroll1->setMinimumHeight(120);
    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(HScroll1, 0, 1, 3, 1);
    layout->addWidget(Command1, 2, 0);
    connect(HScroll1, &QScrollBar::valueChanged, Label2,
            [this](int value) { Label2->setText(QString::number(value)); });
    connect(Command1, &QPushButton::clicked, this, &QDialog::hide);
    HScroll1->setValue(speed);
    Label2->setText(QString::number(HScroll1->value()));
}

void frmSpeed::reject()
{
    HScroll1->setValue(m_speed);
    QDialog::reject();
}
