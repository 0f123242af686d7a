#include "report/ReportOutput.h"

#include "platform/CodePage.h"
#include "report/ReportFile.h"
#include "report/ReportHeader.h"

ReportOutput::ReportOutput(RunState &state, OutputDevices &devices)
    : m_state(state), m_devices(devices), m_clock([] { return QDateTime::currentDateTime(); })
{
}

ReportOutput::~ReportOutput() = default;

void ReportOutput::setClock(Clock clock) { m_clock = std::move(clock); }

void ReportOutput::setLocale(const QLocale &locale) { m_locale = locale; }

void ReportOutput::setReportFileName(const QString &fileName) { m_fileName = fileName; }

QString ReportOutput::reportFileName() const
{
    return m_fileName.isEmpty() ? m_state.ModelPath + QLatin1String(".out") : m_fileName;
}

void ReportOutput::WriteReportHeader()
{
    if (!m_state.ToScreen && !m_state.ToPrinter && !m_state.ToFile) {
        m_state.ReportHeadDue = FlagFalse;
        return; // nobody reads it, and the clock need not be asked
    }
    const ReportHeaderContent header = MakeReportHeader(m_state, m_clock(), m_locale);
    if (m_state.ToScreen)
        m_devices.ScreenHeading(header.heading);
    if (m_state.ToPrinter)
        m_devices.PrinterHeader(header);
    if (m_state.ToFile) {
        if (header.withTimingTable)
            m_state.OemName = CodePage::toOem(m_state.ModelName);
        appendToFile(RenderFileHeader(header), false);
    }
    m_state.ReportHeadDue = FlagFalse;
}

void ReportOutput::WriteRow(const QByteArray &row)
{
    if (m_state.ToScreen)
        m_devices.ScreenRow(row);
    if (m_state.ToPrinter)
        m_devices.PrinterRow(row);
    if (m_state.ToFile)
        appendToFile(row, true);
}

bool ReportOutput::EmptyReport()
{
    const FileResult<> emptied = file().Empty();
    if (!emptied)
        fileFailed(emptied.error());
    return emptied.has_value();
}

bool ReportOutput::appendToFile(QByteArrayView bytes, bool asLine)
{
    const FileResult<> written = asLine ? file().AppendLine(bytes) : file().Append(bytes);
    if (!written)
        fileFailed(written.error());
    return written.has_value();
}

ReportFile &ReportOutput::file()
{
    const QString fileName = reportFileName();
    if (!m_file || m_file->fileName() != fileName)
        m_file = std::make_unique<ReportFile>(fileName);
    return *m_file;
}

void ReportOutput::fileFailed(const QString &error)
{
    // Keep the run going without the file rather than failing at every row.
    m_state.ToFile = FlagFalse;
    m_file.reset(); // the next time file output is on, the file is opened afresh
    m_devices.ReportError(error + QStringLiteral(" Вывод в файл отключен."));
}
