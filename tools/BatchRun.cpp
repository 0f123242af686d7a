#include "BatchRun.h"

#include "ConsoleText.h"
#include "LoadedModel.h"
#include "RunSession.h"
#include "VcdWriter.h"

namespace {

// The batch answers of a session, its rows on the diagram stream, its
// messages on the error stream.
class BatchHost final : public SessionHost
{
public:
    BatchHost(DiagramStream &out, std::FILE *err, bool verbose) : m_out(out), m_err(err), m_verbose(verbose) {}

    bool reportFailed = false;

    void ShowCommandMessage(qint64 step, const QString &message) override
    {
        if (m_verbose)
            WriteLine(m_err, QStringLiteral("шаг %1: %2").arg(step).arg(message));
    }

    void ScreenRow(const QByteArray &row) override { m_out.writeLine(row); }
    void ScreenHeading(const QByteArray &heading) override { m_out.writeLine(heading); }

    void ReportError(const QString &message) override
    {
        WriteLine(m_err, message);
        reportFailed = true;
    }

private:
    DiagramStream &m_out;
    std::FILE *m_err;
    bool m_verbose;
};

} // namespace

int RunModel(const RunOptions &options, std::FILE *out, std::FILE *err)
{
    const std::expected<SharedModel, QString> model = LoadSharedModel(options.modelPath);
    if (!model) {
        WriteLine(err, model.error());
        return ExitFileError;
    }
    DiagramStream stream(out, options.encoding);
    BatchHost host(stream, err, options.verbose);
    RunSession session(*model, host);
    if (const auto prepared = session.setUp(options); !prepared) {
        WriteLine(err, prepared.error().message);
        return prepared.error().kind == SetUpError::Kind::Scenario ? ExitUsageError : ExitFileError;
    }

    VcdWriter vcd;
    QString error;
    if (!options.vcdFile.isEmpty()) {
        if (!vcd.open(options.vcdFile, &error)) {
            WriteLine(err, error);
            return ExitFileError;
        }
    }
    session.start();
    if (!options.vcdFile.isEmpty())
        vcd.begin(session.state());
    while (session.step())
        if (!options.vcdFile.isEmpty())
            vcd.step(session.currentStep(), session.state());

    int status = host.reportFailed ? ExitFileError : ExitSuccess;
    if (!stream.flush()) {
        WriteLine(err, QStringLiteral("Ошибка записи в стандартный вывод"));
        status = ExitFileError;
    }
    if (!options.vcdFile.isEmpty() && !vcd.finish(session.currentStep(), &error)) {
        WriteLine(err, error);
        status = ExitFileError;
    }
    return status;
}
