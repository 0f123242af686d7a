#include "model/TimingSourceDialog.h"

#include <QPushButton>
#include <QVBoxLayout>

TimingSourceDialog::TimingSourceDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmIndev"));
    setWindowTitle(QStringLiteral("Ввести внутренние параметры:"));
    auto *fromFile = new QPushButton(QStringLiteral("Из файла"), this);
    fromFile->setObjectName(QStringLiteral("cmdInfile"));
    auto *fromKeyboard = new QPushButton(QStringLiteral("С клавиатуры"), this);
    fromKeyboard->setObjectName(QStringLiteral("cmdInkeyb"));
    setMinimumWidth(260);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fromFile);
    layout->addWidget(fromKeyboard);
    connect(fromFile, &QPushButton::clicked, this, [this] { choose(QStringLiteral("1")); });
    connect(fromKeyboard, &QPushButton::clicked, this, [this] { choose(QStringLiteral("0")); });
}

void TimingSourceDialog::choose(const QString &tag)
{
    Tag = tag;
    hide();
}
