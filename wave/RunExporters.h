#pragma once

#include "wave/WaveExport.h"

#include <QString>

#include <functional>
#include <vector>

struct TraceView;

// Draws a picture of a recorded run, PNG or SVG by the file's suffix: the
// part view shows, the whole run when view is null. Needs Qt Gui, which this
// library does not link: the program hands one in.
using PictureWriter = std::function<ExportResult(const RunRecording &, const TraceView *view, const QString &fileName)>;

// One way to write a recorded run to a file, for the window «Графики» and
// for modelrun's option of the same name.
struct RunExporter
{
    QString name{};       // "csv": modelrun takes it as --csv
    QString suffix{};     // of its files, without the dot
    QString filter{};     // in the window's file dialog; empty when the window does not offer it
    QString optionHelp{}; // the help of modelrun's option
    // Only the pictures read view; the other exports always hold the whole run.
    std::function<ExportResult(const RunRecording &, const TraceView *view, const QString &fileName)> write{};
    // A run that writes the file creates it before its first step, so that a
    // file that cannot be created stops the run before any output; empty for
    // the exports that write their file whole at the end or not at all.
    std::function<ExportResult(const QString &fileName)> createBeforeRun{};
};

// Every export, in the order of modelrun's help: VCD, PNG, SVG, CSV,
// WaveJSON. Without a picture writer, a picture asked for is refused with a
// message naming the file.
std::vector<RunExporter> RunExporters(const PictureWriter &picture = {});

// The filter of the window's file dialog: its exports in order.
QString ExportDialogFilter(const std::vector<RunExporter> &exporters);
// The export of the window that writes fileName by its suffix; the first
// (the picture PNG) for any other suffix.
const RunExporter &ExporterForFile(const std::vector<RunExporter> &exporters, const QString &fileName);
