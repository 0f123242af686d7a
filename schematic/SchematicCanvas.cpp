#include "schematic/SchematicCanvas.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

using namespace schematic;

SchematicCanvas::SchematicCanvas(QWidget *parent)
    : QWidget(parent), m_schematic(std::make_unique<Schematic>()),
      m_painter(std::make_unique<SchematicPainter>(*m_schematic))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SchematicCanvas::setSchematic(Schematic schematic)
{
    // The painter refers to the schematic: a new one gets a new painter.
    auto next = std::make_unique<Schematic>(std::move(schematic));
    m_painter = std::make_unique<SchematicPainter>(*next);
    m_schematic = std::move(next);
    m_highlight = -1;
    resize(sizeHint());
    updateGeometry();
    update();
}

void SchematicCanvas::setLive(const std::optional<LiveState> &live)
{
    m_live = live;
    update();
}

SchematicPainter::View SchematicCanvas::view() const
{
    return SchematicPainter::View{m_live ? &*m_live : nullptr, m_highlight};
}

void SchematicCanvas::setHighlighted(int element)
{
    if (element == m_highlight)
        return;
    m_highlight = element;
    update();
}

QRect SchematicCanvas::rungArea(int r) const { return m_painter->rungRect(r).toAlignedRect(); }

QSize SchematicCanvas::sizeHint() const { return m_painter->size().toSize(); }

void SchematicCanvas::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    m_painter->paint(painter, view(), QRectF(event->rect()));
}

void SchematicCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const SchematicPainter::Hit hit = m_painter->hitAt(event->position());
    const bool relay = hit.what == SchematicPainter::Hit::What::Coil || hit.what == SchematicPainter::Hit::What::Contact;
    setHighlighted(relay && hit.element > 0 ? hit.element : -1);
    setCursor(hit.what == SchematicPainter::Hit::What::Contact && hit.element > 0 ? Qt::PointingHandCursor
                                                                                   : Qt::ArrowCursor);
}

void SchematicCanvas::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const SchematicPainter::Hit hit = m_painter->hitAt(event->position());
    if (hit.what != SchematicPainter::Hit::What::Contact || hit.element <= 0)
        return;
    if (const Rung *coil = m_schematic->elementRung(hit.element))
        emit rungWanted(coil->number - 1);
}

void SchematicCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    const SchematicPainter::Hit hit = m_painter->hitAt(event->position());
    if (hit.rung >= 0)
        emit functionWanted(hit.rung);
}

void SchematicCanvas::contextMenuEvent(QContextMenuEvent *event)
{
    const SchematicPainter::Hit hit = m_painter->hitAt(QPointF(event->pos()));
    if (hit.what == SchematicPainter::Hit::What::Coil && hit.element > 0)
        emit coilMenuWanted(hit.element, event->globalPos());
    else if (hit.what == SchematicPainter::Hit::What::Contact && hit.item && hit.item->contact > 0)
        emit contactMenuWanted(hit.item->contact, event->globalPos());
}

void SchematicCanvas::leaveEvent(QEvent *event)
{
    setHighlighted(-1);
    QWidget::leaveEvent(event);
}

bool SchematicCanvas::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const SchematicPainter::Hit hit = m_painter->hitAt(QPointF(help->pos()));
    QString tip;
    if (hit.item && !hit.item->note.isEmpty())
        tip = hit.item->note;
    else if (hit.what == SchematicPainter::Hit::What::Contact)
        tip = QStringLiteral("Щелчок — к обмотке %1").arg(hit.item->label);
    else if (hit.what == SchematicPainter::Hit::What::Coil && hit.element > 0)
        tip = QStringLiteral("Правая кнопка — неисправность элемента");
    else if (hit.what == SchematicPainter::Hit::What::Rung)
        tip = QStringLiteral("Двойной щелчок — функция в редакторе");
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, this);
    return true;
}
