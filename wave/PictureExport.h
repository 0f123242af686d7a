#pragma once

#include "wave/RunExporters.h"
#include "wave/TracePainter.h"

#include <QByteArray>
#include <QSize>

#include <functional>

class QPainter;

// A picture of view drawn by TracePainter, as PNG or SVG by the file's
// suffix. Needs a QGuiApplication (fonts), but no display.
ExportResult ExportPicture(const RunRecording &recording, const TraceView &view, const QString &fileName);

// The picture writer of the exports: the whole run when view is null.
ExportResult WritePicture(const RunRecording &recording, const TraceView *view, const QString &fileName);

// The SVG text of a picture of size, with title, that paint draws.
QByteArray SvgPicture(QSize size, const QString &title, const std::function<void(QPainter &)> &paint);

// The width of pictures of a whole run.
inline constexpr int PictureWidth = 1600;
