#include "frmIndev.h"

#include <QPushButton>
#include <QVBoxLayout>

frmIndev::frmIndev(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmIndev"));
    setWindowTitle(QStringLiteral("Ввести внутренние параметры:"));
    cmdInfile = new QPushButton(QStringLiteral("Из файла"), this);
    cmdInfile->setObjectName(QStringLiteral("cmdInfile"));
    cmdInkeyb = new QPushButton(QStringLiteral("С клавиатуры"), this);
    cmdInkeyb->setObjectName(QStringLiteral("cmdInkeyb"));
    setMinimumWidth(260);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(cmdInfile);
    layout->addWidget(cmdInkeyb);
    connect(cmdInfile, &QPushButton::clicked, this, [this] { choose(QStringLiteral("1")); });
    connect(cmdInkeyb, &QPushButton::clicked, this, [this] { choose(QStringLiteral("0")); });
}

void frmIndev::choose(const QString &tag)
{
    Tag = tag;
    hide();
}
