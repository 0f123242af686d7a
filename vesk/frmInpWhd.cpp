#include "vesk/frmInpWhd.h"

#include "vesk/PulseTrainFrame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace Vesk {

namespace {

struct FieldInfo
{
    const char *name;
    const char *description;
};

constexpr FieldInfo Fields[frmInpWhd::FieldCount] = {
    {"txtTimp", "Время импульса кода КЖ"},       {"txtTint", "Время интервала кода КЖ"},
    {"txtTimpv1", "Время 1-го импульса кода Ж"}, {"txtTintv1", "Время 1-го интервала кода Ж"},
    {"txtTimpv2", "Время 2-го импульса кода Ж"}, {"txtTintv2", "Время 2-го интервала кода Ж"},
    {"txtTimpz1", "Время 1-го импульса кода З"}, {"txtTintz1", "Время 1-го интервала кода З"},
    {"txtTimpz2", "Время 2-го импульса кода З"}, {"txtTintz2", "Время 2-го интервала кода З"},
    {"txtTimpz3", "Время 3-го импульса кода З"}, {"txtTintz3", "Время 3-го интервала кода З"},
};

QStringList namesOf(std::size_t first, std::size_t count)
{
    QStringList names;
    for (std::size_t i = first; i < first + count; ++i)
        names << QLatin1String(Fields[i].name);
    return names;
}

} // namespace

QString frmInpWhd::fieldDescription(std::size_t i) { return QString::fromUtf8(Fields[i].description); }

frmInpWhd::frmInpWhd(QWidget *parent)
    : QDialog(parent)
    , okButton(new QPushButton(QStringLiteral("Ok"), this))
{
    setObjectName(QStringLiteral("frmInpWhd"));
    setWindowTitle(QStringLiteral("Входной сигнал трансмиттера типа КПТШ"));
    okButton->setObjectName(QStringLiteral("cmdOk"));
    okButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    std::size_t next = 0;
    auto frame = [&](const char *name, const QString &title, std::size_t count) {
        auto *f = new PulseTrainFrame(title, namesOf(next, count), this);
        f->setObjectName(QLatin1String(name));
        for (QLineEdit *field : f->fields()) {
            field->installEventFilter(this);
            fields[next++] = field;
        }
        layout->addWidget(f, 0, Qt::AlignLeft);
    };
    frame("fraKV", QStringLiteral("КЖ"), 2);
    frame("fraV", QStringLiteral("Ж"), 4);
    frame("fraZ", QStringLiteral("З"), 6);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    layout->addLayout(buttons);
    setTabOrder(fields.back(), okButton);
    connect(okButton, &QPushButton::clicked, this, &frmInpWhd::Confirm);
}

bool frmInpWhd::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto *field = qobject_cast<QLineEdit *>(watched))
            SelectAllOnFocus(field);
    return QDialog::eventFilter(watched, event);
}

void frmInpWhd::SelectAllOnFocus(QLineEdit *field)
{
    // After the event: a mouse click that brought the focus would otherwise
    // place the cursor and drop the selection.
    QTimer::singleShot(0, field, &QLineEdit::selectAll);
}

void frmInpWhd::Confirm()
{
    OkPressed = true;
    hide();
}

} // namespace Vesk
