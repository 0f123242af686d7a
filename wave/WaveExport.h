#pragma once

#include "RunRecording.h"
#include "TracePainter.h"

#include <QString>

// The exports of a recorded run. Each creates or overwrites fileName and
// returns false with a Russian message naming the file when it cannot be
// written or the run made no step.

// One column per lane, one row per step at which some lane changed (step 0
// first): the step, its time in seconds, then the values.
bool ExportCsv(const RunRecording &recording, const QString &fileName, QString *error);

// WaveJSON for WaveDrom: one character per step; an element's pickup and
// release phases show as "x", WaveDrom's hatched value; every element that
// had a fault gets a lane with the fault's name while it lasts.
bool ExportWaveJson(const RunRecording &recording, const QString &fileName, QString *error);

// A picture of view drawn by TracePainter, as PNG or SVG by the file's
// suffix. Needs a QGuiApplication (fonts), but no display.
bool ExportPicture(const RunRecording &recording, const TraceView &view, const QString &fileName, QString *error);

// The width of pictures of a whole run.
inline constexpr int PictureWidth = 1600;
