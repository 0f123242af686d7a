#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

class QPainter;

namespace schematic {

// Draws the part band of a picture (picture coordinates) on a white image
// whose painter is already moved to it. Called from several threads at once.
using PaintBand = std::function<void(QPainter &painter, const QRect &band)>;

// A picture of size as PNG, painted and compressed band by band on all
// cores: a tall picture never stands in memory as a whole. A picture of at
// most 256 colours (ink on paper, as a schematic is) is written with a
// palette, a byte a pixel; beyond that, while the colours past the 256
// commonest are at most a pixel in a thousand (the antialiased edges of a
// picture of several inks), those pixels take the nearest of the 256; a
// picture of more is written in full colour. nullopt for an empty size, or
// when a band's image or the compressor finds no memory.
std::optional<QByteArray> BandedPng(QSize size, const PaintBand &paint, int bandHeight);

} // namespace schematic
