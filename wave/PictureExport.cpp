#include "wave/PictureExport.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace {

std::optional<QByteArray> pngPicture(const TracePainter &tracePainter, const TraceView &view, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    tracePainter.paint(painter, image.rect(), view);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return std::nullopt;
    return bytes;
}

} // namespace

QByteArray SvgPicture(QSize size, const QString &title, const std::function<void(QPainter &)> &paint)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(title);
    QPainter painter(&generator);
    paint(painter);
    painter.end();
    return bytes;
}

ExportResult ExportPicture(const RunRecording &recording, const TraceView &view, const QString &fileName)
{
    return WriteExport(recording, fileName, [&]() -> std::optional<QByteArray> {
        const TracePainter tracePainter(recording);
        const QSize size = tracePainter.pictureSize(QFontMetrics(QFont()), view, PictureWidth);
        if (QFileInfo(fileName).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0)
            return SvgPicture(size, recording.modelName(), [&](QPainter &painter) {
                tracePainter.paint(painter, QRect(QPoint(0, 0), size), view);
            });
        return pngPicture(tracePainter, view, size);
    });
}

ExportResult WritePicture(const RunRecording &recording, const TraceView *view, const QString &fileName)
{
    return ExportPicture(recording, view ? *view : TraceView::wholeRun(recording), fileName);
}
