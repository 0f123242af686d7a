#pragma once

#include "schematic/SchematicPainter.h"

#include <QWidget>

#include <memory>
#include <optional>

// The picture of «Схема» on the screen, at its natural size inside a scroll
// area. Hovering a coil or a contact highlights every contact of that relay,
// a click on a contact asks for its coil's rung, a double click on a rung
// for its function, a right click on a coil for that element's menu.
class SchematicCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit SchematicCanvas(QWidget *parent = nullptr);

    void setSchematic(schematic::Schematic schematic);
    const schematic::Schematic &schematic() const { return *m_schematic; }
    const schematic::SchematicPainter &painter() const { return *m_painter; }

    // The state the picture shows; none draws the circuits alone.
    void setLive(const std::optional<schematic::LiveState> &live);
    const std::optional<schematic::LiveState> &live() const { return m_live; }
    schematic::SchematicPainter::View view() const;

    // The relay whose contacts stand out; -1 none.
    int highlighted() const { return m_highlight; }
    void setHighlighted(int element);
    // The area of rung r, for the scroll area to bring into view.
    QRect rungArea(int r) const;

    QSize sizeHint() const override;

signals:
    void rungWanted(int rung);            // a click on a contact: its coil's rung
    void functionWanted(int rung);        // a double click on a rung
    void coilMenuWanted(int element, QPoint globalPosition);
    // A right click on a contact, by its number as ModelContacts numbers them.
    void contactMenuWanted(int contact, QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    std::unique_ptr<schematic::Schematic> m_schematic;
    std::unique_ptr<schematic::SchematicPainter> m_painter;
    std::optional<schematic::LiveState> m_live;
    int m_highlight = -1;
};
