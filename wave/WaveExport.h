#pragma once

#include "sim/RunRecording.h"

#include <QByteArray>
#include <QString>

#include <expected>
#include <functional>
#include <optional>

// The exports of a recorded run. Each creates or overwrites fileName whole or
// not at all, and fails with a Russian message naming the file when it
// cannot be written or the run made no step.
using ExportResult = std::expected<void, QString>;

// Writes rendered bytes whole or not at all (nullopt: rendering failed),
// with the exports' messages naming the file.
ExportResult WriteRenderedFile(const QString &fileName, const std::optional<QByteArray> &bytes);

// The steps every export shares: refuse a run with no step, render the
// bytes (nullopt when rendering failed), write them.
ExportResult WriteExport(const RunRecording &recording, const QString &fileName,
                         const std::function<std::optional<QByteArray>()> &render);

// One column per lane, one row per step at which some lane changed (step 0
// first): the step, its time in seconds, then the values.
ExportResult ExportCsv(const RunRecording &recording, const QString &fileName);

// WaveJSON for WaveDrom: one character per step; an element's pickup and
// release phases show as "x", WaveDrom's hatched value; every element that
// had a fault gets a lane with the fault's name while it lasts.
ExportResult ExportWaveJson(const RunRecording &recording, const QString &fileName);
