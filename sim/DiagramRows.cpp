#include "sim/DiagramRows.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {

// The widest row: the input, 20 elements and 5 outputs in 5-character
// cells, then the time label.
constexpr int WidestRow = (1 + 20 + 5) * 5 + 8;

QFont diagramFont()
{
    // Monospace, with the box-drawing glyphs of the cells and Cyrillic.
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPointSize(9);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

int tallestScreen()
{
    int height = 0;
    for (const QScreen *screen : QGuiApplication::screens())
        height = std::max(height, screen->virtualGeometry().height());
    return std::max(height, 768);
}

} // namespace

DiagramRows::DiagramRows() : m_font(diagramFont())
{
    const QFontMetrics metrics(m_font);
    m_lineHeight = std::max(metrics.height(), 1);
    m_ascent = metrics.ascent();
    m_capacity = tallestScreen() / m_lineHeight + 2;
    m_ring = QPixmap(metrics.horizontalAdvance(QLatin1Char('W')) * WidestRow, m_capacity * m_lineHeight);
    m_ring.fill(Qt::white);
}

void DiagramRows::AddRow(const QString &text)
{
    const int top = m_next * m_lineHeight;
    QPainter painter(&m_ring);
    painter.fillRect(0, top, m_ring.width(), m_lineHeight, Qt::white);
    painter.setFont(m_font);
    painter.setPen(Qt::black);
    painter.drawText(0, top + m_ascent, text);
    m_next = (m_next + 1) % m_capacity;
    m_count = std::min(m_count + 1, m_capacity);
}

void DiagramRows::Paint(QPainter &painter, const QRect &area, int newRowTop) const
{
    painter.save();
    painter.setClipRect(area);
    for (int age = 1; age <= m_count; ++age) {
        const int y = newRowTop - age * m_lineHeight;
        if (y + m_lineHeight <= area.top())
            break;
        const int slot = (m_next - age + m_capacity) % m_capacity;
        painter.drawPixmap(area.left(), y, m_ring, 0, slot * m_lineHeight, area.width(), m_lineHeight);
    }
    painter.restore();
}
