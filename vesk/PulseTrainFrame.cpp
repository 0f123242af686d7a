#include "vesk/PulseTrainFrame.h"

#include <QLineEdit>
#include <QPainter>
#include <QPolygon>

namespace Vesk {

namespace {

// Geometry of the drawing, in pixels.
constexpr int Left = 16;
constexpr int Lead = 16; // low line before the first pulse and after the last interval
constexpr int Segment = 96;
constexpr int High = 30;
constexpr int Low = 92;
constexpr int FieldWidth = 72;
constexpr int Bottom = 108;

bool isPulse(qsizetype index) { return index % 2 == 0; }

} // namespace

PulseTrainFrame::PulseTrainFrame(const QString &title, const QStringList &fieldNames, QWidget *parent)
    : QGroupBox(title, parent)
{
    for (qsizetype i = 0; i < fieldNames.size(); ++i) {
        auto *field = new QLineEdit(this);
        field->setObjectName(fieldNames[i]);
        field->setAlignment(Qt::AlignCenter);
        const int height = field->sizeHint().height();
        const int x = Left + Lead + int(i) * Segment + (Segment - FieldWidth) / 2;
        // A pulse's field sits inside the raised part, an interval's just
        // above the low line.
        const int y = isPulse(i) ? High + 8 : Low - height - 8;
        field->setGeometry(x, y, FieldWidth, height);
        m_fields << field;
    }
    setMinimumSize(Left + 2 * Lead + int(fieldNames.size()) * Segment + Left, Bottom);
}

void PulseTrainFrame::paintEvent(QPaintEvent *event)
{
    QGroupBox::paintEvent(event);
    QPolygon train;
    int x = Left;
    train << QPoint(x, Low);
    x += Lead;
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (isPulse(i))
            train << QPoint(x, Low) << QPoint(x, High) << QPoint(x + Segment, High) << QPoint(x + Segment, Low);
        else
            train << QPoint(x + Segment, Low);
        x += Segment;
    }
    train << QPoint(x + Lead, Low);
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
    painter.drawPolyline(train);
}

} // namespace Vesk
