#include "tools/BatchRun.h"

#include "model/LoadedModel.h"
#include "report/ReportOutput.h"
#include "sim/RunRecording.h"
#include "sim/RunSession.h"
#include "tools/ConsoleText.h"

namespace {

// The screen of a session: its rows on the diagram stream, its messages on
// the error stream.
class BatchHost final : public OutputDevices, public StepObserver
{
public:
    BatchHost(const RunSession &session, DiagramStream &out, std::FILE *err, bool verbose)
        : m_session(session), m_out(out), m_err(err), m_verbose(verbose)
    {
    }

    bool reportFailed = false;

    void commandChanged(const QString &message) override
    {
        if (m_verbose)
            WriteLine(m_err, QStringLiteral("шаг %1: %2").arg(m_session.currentStep()).arg(message));
    }

    void ScreenRow(const QByteArray &row) override { m_out.writeLine(row); }
    void ScreenHeading(const QByteArray &heading) override { m_out.writeLine(heading); }

    void ReportError(const QString &message) override
    {
        WriteLine(m_err, message);
        reportFailed = true;
    }

private:
    const RunSession &m_session;
    DiagramStream &m_out;
    std::FILE *m_err;
    bool m_verbose;
};

// Writes every export asked for; one that fails is reported and the others
// are still written. False when any failed.
bool writeExports(const RunOptions &options, const std::vector<RunExporter> &exporters, const RunRecording &recording,
                  std::FILE *err)
{
    bool written = true;
    for (const RunExporter &exporter : exporters) {
        const QString &file = options.exportFile(exporter.name);
        if (file.isEmpty())
            continue;
        if (const ExportResult result = exporter.write(recording, nullptr, file); !result) {
            WriteLine(err, result.error());
            written = false;
        }
    }
    return written;
}

} // namespace

int RunModel(const RunOptions &options, std::FILE *out, std::FILE *err, const PictureWriter &writePicture)
{
    const std::expected<SharedModel, QString> model = LoadSharedModel(options.modelPath);
    if (!model) {
        WriteLine(err, model.error());
        return ExitFileError;
    }
    // The timing file is read here rather than by the session, so that what
    // looks wrong in it is said before the run.
    RunOptions run = options;
    if (!options.timingFile.isEmpty()) {
        const int elemCount = (*model)->definition.ElemCount;
        const FileResult<TimingValues> timing = ReadTimingFile(options.timingFile, elemCount);
        if (!timing) {
            WriteLine(err, timing.error());
            return ExitFileError;
        }
        for (const QString &warning : TimingFileWarnings(options.timingFile, *timing, elemCount, !options.steps))
            WriteLine(err, warning);
        run.timing = *timing;
    }
    if (options.code < 0 || options.code > 3)
        WriteLine(err, QStringLiteral("Внимание: --code %1: такого кода нет (0 нет кода, 1 КЖ, 2 Ж, 3 З): "
                                      "трансмиттер не меняет свой выход, и вход остаётся прежним")
                           .arg(options.code));
    DiagramStream stream(out, options.encoding);
    RunSession session(*model);
    BatchHost host(session, stream, err, options.verbose);
    ReportOutput report(session.state(), host);
    session.addObserver(host);
    session.addObserver(report);
    if (const auto prepared = session.setUp(run); !prepared) {
        WriteLine(err, prepared.error().message);
        return prepared.error().kind == SetUpError::Kind::Scenario ? ExitUsageError : ExitFileError;
    }
    report.setReportFileName(run.reportFile);

    const std::vector<RunExporter> exporters = RunExporters(writePicture);
    bool recorded = false;
    for (const RunExporter &exporter : exporters) {
        const QString &file = options.exportFile(exporter.name);
        recorded = recorded || !file.isEmpty();
        if (file.isEmpty() || !exporter.createBeforeRun)
            continue;
        if (const ExportResult created = exporter.createBeforeRun(file); !created) {
            WriteLine(err, created.error());
            return ExitFileError;
        }
    }
    RunRecording recording;
    if (recorded)
        session.addObserver(recording);
    session.start();
    session.run();

    int status = host.reportFailed ? ExitFileError : ExitSuccess;
    if (!stream.flush()) {
        WriteLine(err, QStringLiteral("Ошибка записи в стандартный вывод"));
        status = ExitFileError;
    }
    if (recorded && !writeExports(options, exporters, recording, err))
        status = ExitFileError;
    return status;
}
