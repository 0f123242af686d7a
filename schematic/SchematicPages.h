#pragma once

#include "schematic/SchematicPainter.h"

#include <QByteArray>
#include <QString>

#include <expected>
#include <functional>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace schematic {

// The schematic on pages: whole rungs on each page (a rung taller than a
// page gets a page of its own, drawn smaller), the model's name and the page
// number at the top of every page. The picture fills the page's width.
class SchematicPages
{
public:
    // pageWidth and pageHeight: the printable area in device pixels.
    SchematicPages(const SchematicPainter &painter, qreal pageWidth, qreal pageHeight);

    int pageCount() const { return int(m_firstRungs.size()); }

    // Draws every page on device, whose painter is active; newPage starts
    // each page after the first. False when a new page could not be started.
    bool paint(QPainter &painter, const std::function<bool()> &newPage,
               const SchematicPainter::View &view = {}) const;

private:
    const SchematicPainter &m_painter;
    qreal m_scale;
    qreal m_pageHeight; // in picture units
    std::vector<int> m_firstRungs; // the first rung of each page
};

// The schematic as PNG, painted and compressed in bands of bandHeight rows
// on all cores; nullopt when there is no memory for it.
std::optional<QByteArray> SchematicPng(const SchematicPainter &painter, const SchematicPainter::View &view = {},
                                       int bandHeight = 2048);

// Writes the schematic to fileName as SVG, PDF or PNG by its suffix, whole
// or not at all; a Russian message naming the file when it cannot be
// written or the suffix is none of those. Needs a QGuiApplication (fonts).
std::expected<void, QString> ExportSchematic(const SchematicPainter &painter, const QString &fileName,
                                             const SchematicPainter::View &view = {});

} // namespace schematic
