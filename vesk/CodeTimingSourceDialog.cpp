#include "vesk/CodeTimingSourceDialog.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace Vesk {

CodeTimingSourceDialog::CodeTimingSourceDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmIndev"));
    setWindowTitle(QStringLiteral("Ввести данные:"));
    auto *layout = new QVBoxLayout(this);
    auto button = [this, layout](const char *name, const QString &caption, Source source) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        layout->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, source] { choose(source); });
    };
    button("cmdInfile", QStringLiteral("Из файла"), File);
    button("cmdInkeyb", QStringLiteral("С клавиатуры"), Keyboard);
    button("cmd5", QStringLiteral("КПТШ-5"), Kpt5);
    button("cmd7", QStringLiteral("КПТШ-7"), Kpt7);
    setMinimumWidth(220);
}

void CodeTimingSourceDialog::choose(Source source)
{
    TimingSource = source;
    hide();
}

} // namespace Vesk
