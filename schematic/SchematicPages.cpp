#include "schematic/SchematicPages.h"

#include "schematic/BandedPng.h"

#include "wave/PictureExport.h"
#include "wave/WaveExport.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

namespace schematic {

namespace {

constexpr qreal HeaderHeight = SchematicPainter::TitleHeight;

std::optional<QByteArray> pdfBytes(const SchematicPainter &painter, const SchematicPainter::View &view)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 15, 10, 15), QPageLayout::Millimeter);
    writer.setTitle(painter.schematic().modelName);
    writer.setCreator(QStringLiteral("Модель"));
    QPainter pdfPainter;
    if (!pdfPainter.begin(&writer))
        return std::nullopt;
    const SchematicPages pages(painter, writer.width(), writer.height());
    const bool done = pages.paint(pdfPainter, [&writer] { return writer.newPage(); }, view);
    pdfPainter.end();
    if (!done)
        return std::nullopt;
    return bytes;
}

} // namespace

SchematicPages::SchematicPages(const SchematicPainter &painter, qreal pageWidth, qreal pageHeight)
    : m_painter(painter), m_scale(pageWidth / SchematicPainter::Width), m_pageHeight(pageHeight / m_scale)
{
    const int rungs = int(painter.schematic().rungs.size());
    qreal used = m_pageHeight; // no page open yet
    for (int r = 0; r < rungs; ++r) {
        const qreal height = painter.rungRect(r).height();
        if (used + height > m_pageHeight) {
            m_firstRungs.push_back(r);
            used = HeaderHeight;
        }
        used += height;
    }
    if (m_firstRungs.empty())
        m_firstRungs.push_back(0); // an empty model still prints its title
}

bool SchematicPages::paint(QPainter &painter, const std::function<bool()> &newPage,
                           const SchematicPainter::View &view) const
{
    const int rungs = int(m_painter.schematic().rungs.size());
    for (int page = 0; page < pageCount(); ++page) {
        if (page > 0 && !newPage())
            return false;
        const int first = m_firstRungs[size_t(page)];
        const int end = page + 1 < pageCount() ? m_firstRungs[size_t(page) + 1] : rungs;
        painter.save();
        painter.scale(m_scale, m_scale);
        m_painter.paintTitle(painter, 0, QStringLiteral("Стр. %1").arg(page + 1));
        qreal top = HeaderHeight;
        if (end - first == 1) {
            // A rung taller than the page is drawn smaller to fit it.
            const qreal height = m_painter.rungRect(first).height();
            if (height > m_pageHeight - HeaderHeight) {
                const qreal fit = (m_pageHeight - HeaderHeight) / height;
                painter.translate(0, top);
                painter.scale(fit, fit);
                top = 0;
            }
        }
        for (int r = first; r < end; ++r) {
            m_painter.paintRung(painter, r, top, view);
            top += m_painter.rungRect(r).height();
        }
        painter.restore();
    }
    return true;
}

std::optional<QByteArray> SchematicPng(const SchematicPainter &painter, const SchematicPainter::View &view,
                                       int bandHeight)
{
    return BandedPng(
        painter.size().toSize(),
        [&](QPainter &bandPainter, const QRect &band) {
            // A stroke on a rung's edge reaches a pixel into the rung beside it.
            painter.paint(bandPainter, view, QRectF(band).adjusted(0, -2, 0, 2));
        },
        bandHeight);
}

std::expected<void, QString> ExportSchematic(const SchematicPainter &painter, const QString &fileName,
                                             const SchematicPainter::View &view)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    std::optional<QByteArray> bytes;
    if (suffix == QLatin1String("svg"))
        bytes = SvgPicture(painter.size().toSize(), painter.schematic().modelName,
                           [&](QPainter &svgPainter) { painter.paint(svgPainter, view); });
    else if (suffix == QLatin1String("pdf"))
        bytes = pdfBytes(painter, view);
    else if (suffix == QLatin1String("png"))
        bytes = SchematicPng(painter, view);
    else
        return std::unexpected(
            QStringLiteral("Файл «%1» не записан: схема записывается в файлы .svg, .pdf и .png").arg(fileName));
    return WriteRenderedFile(fileName, bytes);
}

} // namespace schematic
