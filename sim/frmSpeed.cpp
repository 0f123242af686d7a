#include "sim/frmSpeed.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

frmSpeed::frmSpeed(int16_t speed, QWidget *parent) : QDialog(parent), m_speed(speed)
{
    setObjectName(QStringLiteral("frmSpeed"));
    setWindowTitle(QStringLiteral("Скорость"));
    auto *captionLabel = new QLabel(QStringLiteral("Задержка"), this);
    captionLabel->setObjectName(QStringLiteral("Label1"));
    valueLabel = new QLabel(this);
    valueLabel->setObjectName(QStringLiteral("Label2"));
    delayBar = new QScrollBar(Qt::Vertical, this);
    delayBar->setObjectName(QStringLiteral("HScroll1"));
    // A stored delay beyond the usual range stays what it is until the bar is moved.
    delayBar->setRange(std::min<int>(0, speed), std::max<int>(MaxDelay, speed));
    delayBar->setSingleStep(1);
    delayBar->setPageStep(10);
    delayBar->setMinimumHeight(120);
    okButton = new QPushButton(QStringLiteral("Ok"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    auto *layout = new QGridLayout(this);
    layout->addWidget(captionLabel, 0, 0);
    layout->addWidget(valueLabel, 1, 0);
    layout->addWidget(delayBar, 0, 1, 3, 1);
    layout->addWidget(okButton, 2, 0);
    connect(delayBar, &QScrollBar::valueChanged, valueLabel,
            [this](int value) { valueLabel->setText(QString::number(value)); });
    connect(okButton, &QPushButton::clicked, this, &QDialog::hide);
    delayBar->setValue(speed);
    valueLabel->setText(QString::number(delayBar->value()));
}

void frmSpeed::reject()
{
    delayBar->setValue(m_speed);
    QDialog::reject();
}
