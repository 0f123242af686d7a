#pragma once

#include "model/RunState.h"
#include "report/OutputDevices.h"
#include "sim/StepObserver.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>
#include <memory>

class ReportFile;

// Sends the header and the rows of a run to the enabled devices: the screen
// and the printer through OutputDevices, the report file itself. A report
// file that cannot be written is reported through OutputDevices::ReportError
// with its name, file output is switched off (ToFile := 0) and the run goes
// on; rows already on disk stay there. As an observer of a run it writes the
// header when the run starts and every row as it is composed.
class ReportOutput : public StepObserver
{
public:
    using Clock = std::function<QDateTime()>;

    ReportOutput(RunState &state, OutputDevices &devices);
    ~ReportOutput() override;

    // The clock of the header's date and time; the system clock by default.
    void setClock(Clock clock);
    // The decimal separator of the numbers in the header; the user's locale
    // by default.
    void setLocale(const QLocale &locale);
    // The report file; empty (the default) means ModelPath + ".out".
    void setReportFileName(const QString &fileName);
    QString reportFileName() const;

    // The header on every enabled device: the heading line on the screen, the
    // full header on the printer and in the report file. Sets OemName when the
    // file gets the timing table. Clears ReportHeadDue in every case, even when
    // no device took the table.
    void WriteReportHeader();

    // One diagram row (code page 866) on every enabled device.
    void WriteRow(const QByteArray &row);

    // Empties the report file ("Очистить отчет"). False after a failure,
    // which has been reported and has switched file output off.
    bool EmptyReport();

    // StepObserver
    void runStarted(const RunState &) override { WriteReportHeader(); }
    void rowComposed(const QByteArray &row) override { WriteRow(row); }

private:
    bool appendToFile(QByteArrayView bytes, bool asLine);
    void fileFailed(const QString &error);
    // The report file, open while rows go to it; reopened when its name
    // changes.
    ReportFile &file();

    RunState &m_state;
    OutputDevices &m_devices;
    Clock m_clock;
    QLocale m_locale;
    QString m_fileName;
    std::unique_ptr<ReportFile> m_file;
};
