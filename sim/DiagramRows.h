#pragma once

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

// The rows of the diagram as the window shows them: each new row is drawn
// once into a pixmap strip of a ring and the older rows move up one line
// height, which costs nothing, since painting takes the strips newest first
// from the bottom up. Only as many rows as the tallest screen can show are
// kept.
class DiagramRows
{
public:
    DiagramRows();

    const QFont &Font() const { return m_font; }
    int LineHeight() const { return m_lineHeight; }

    // Draws text as the newest row.
    void AddRow(const QString &text);
    // Forgets every row.
    void Clear() { m_count = 0; }
    int Count() const { return m_count; }

    // Paints the rows into area (clipped to it), the newest with its top one
    // line height above newRowTop, each older one a line height higher.
    void Paint(QPainter &painter, const QRect &area, int newRowTop) const;

private:
    QFont m_font;
    int m_lineHeight;
    int m_ascent;
    int m_capacity;
    QPixmap m_ring; // m_capacity strips of m_lineHeight, slot k at k * m_lineHeight
    int m_next = 0; // slot of the next row
    int m_count = 0;
};
