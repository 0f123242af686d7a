#pragma once

#include "wave/TracePainter.h"
#include "wave/WaveExport.h"

// A picture of view drawn by TracePainter, as PNG or SVG by the file's
// suffix. Needs a QGuiApplication (fonts), but no display.
ExportResult ExportPicture(const RunRecording &recording, const TraceView &view, const QString &fileName);

// The width of pictures of a whole run.
inline constexpr int PictureWidth = 1600;
