#pragma once

#include "schematic/Schematic.h"
#include "schematic/SchematicState.h"

#include <QRectF>
#include <QSizeF>

#include <vector>

class QPainter;

namespace schematic {

// Draws a schematic with a QPainter on any device: the window, a QImage,
// an SVG, a PDF or a printer page. Units are pixels of a 96 dpi screen; a
// device of another resolution is drawn on with the painter scaled. The
// rungs stand one below the other under a title line, each as tall as its
// rows, its marks' notes and its coil's cross-reference need.
class SchematicPainter
{
public:
    explicit SchematicPainter(const Schematic &schematic);

    // What the picture shows beyond the circuits: the state of a run, and a
    // relay whose coil and contacts stand out (0: none; the input has none).
    struct View
    {
        const LiveState *live = nullptr;
        int highlight = -1;
    };

    // The picture as a whole, title included.
    QSizeF size() const;
    static constexpr qreal Width = 1020;
    static constexpr qreal TitleHeight = 40;

    // Rung r (index into rungs) in picture coordinates.
    QRectF rungRect(int r) const;
    QRectF itemRect(int r, const Item &item) const;
    QRectF coilRect(int r) const;

    // What lies under a point of the picture.
    struct Hit
    {
        enum class What : uint8_t { Nothing, Rung, Contact, Coil };
        What what = What::Nothing;
        int rung = -1;    // index into rungs
        int element = -1; // the relay of a contact or coil; 0 the input
        const Item *item = nullptr; // a contact, or a dropped name on the rung
    };
    Hit hitAt(QPointF point) const;

    // The whole picture, title included; only rungs that meet exposed are drawn.
    void paint(QPainter &painter, const View &view, const QRectF &exposed = {}) const;
    // The title line at top, width wide: the model's name and what follows it.
    void paintTitle(QPainter &painter, qreal top, const QString &trailer = {}) const;
    // Rung r with its top at y (the rung's own position ignored), the rails
    // along it; of its contacts only those that meet exposed (when given).
    void paintRung(QPainter &painter, int r, qreal top, const View &view, const QRectF &exposed = {}) const;

    const Schematic &schematic() const { return m_schematic; }

private:
    qreal rungHeight(const Rung &rung) const;
    int elementOfRung(const Rung &rung) const;

    const Schematic &m_schematic;
    std::vector<qreal> m_tops; // top of rung r, and at the end the bottom of the last
};

} // namespace schematic
