#include "wave/RunExporters.h"

#include "wave/VcdExport.h"

#include <QFileInfo>

#include <algorithm>

std::vector<RunExporter> RunExporters(const PictureWriter &picture)
{
    const auto drawn = [picture](const RunRecording &recording, const TraceView *view, const QString &fileName) -> ExportResult {
        if (!picture)
            return std::unexpected(QStringLiteral("Файл «%1» не записан: рисунки в этом режиме не выводятся").arg(fileName));
        return picture(recording, view, fileName);
    };
    return {
        {.name = QStringLiteral("vcd"),
         .suffix = QStringLiteral("vcd"),
         .optionHelp = QStringLiteral("записать временные диаграммы в формате VCD"),
         .write = [](const RunRecording &recording, const TraceView *, const QString &fileName) { return ExportVcd(recording, fileName); },
         .createBeforeRun = CreateVcdFile},
        {.name = QStringLiteral("png"),
         .suffix = QStringLiteral("png"),
         .filter = QStringLiteral("Картинка PNG (*.png)"),
         .optionHelp = QStringLiteral("записать графики всего прогона картинкой PNG"),
         .write = drawn},
        {.name = QStringLiteral("svg"),
         .suffix = QStringLiteral("svg"),
         .filter = QStringLiteral("Картинка SVG (*.svg)"),
         .optionHelp = QStringLiteral("записать графики всего прогона картинкой SVG"),
         .write = drawn},
        {.name = QStringLiteral("csv"),
         .suffix = QStringLiteral("csv"),
         .filter = QStringLiteral("Таблица CSV (*.csv)"),
         .optionHelp = QStringLiteral("записать значения сигналов в CSV (строка на каждое изменение)"),
         .write = [](const RunRecording &recording, const TraceView *, const QString &fileName) { return ExportCsv(recording, fileName); }},
        {.name = QStringLiteral("wavejson"),
         .suffix = QStringLiteral("json"),
         .filter = QStringLiteral("WaveJSON (*.json)"),
         .optionHelp = QStringLiteral("записать графики в формате WaveJSON (WaveDrom)"),
         .write = [](const RunRecording &recording, const TraceView *, const QString &fileName) {
             return ExportWaveJson(recording, fileName);
         }},
    };
}

QString ExportDialogFilter(const std::vector<RunExporter> &exporters)
{
    QStringList parts;
    for (const RunExporter &exporter : exporters)
        if (!exporter.filter.isEmpty())
            parts << exporter.filter << QStringLiteral("*.") + exporter.suffix;
    return parts.join(QLatin1Char('|'));
}

const RunExporter &ExporterForFile(const std::vector<RunExporter> &exporters, const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const auto offered = [](const RunExporter &e) { return !e.filter.isEmpty(); };
    const auto bySuffix = std::ranges::find_if(exporters, [&](const RunExporter &e) { return offered(e) && e.suffix == suffix; });
    return bySuffix != exporters.end() ? *bySuffix : *std::ranges::find_if(exporters, offered);
}
