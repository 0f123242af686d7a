#pragma once

#include <QByteArray>
#include <QString>

struct ReportHeaderContent;

// The devices a run writes to, other than the report file, which the core
// writes itself. The diagram window implements them with its drawing surface,
// its heading label and the printer; the headless runner with standard output.
// Every text arrives already in code page 866.
class OutputDevices
{
public:
    virtual ~OutputDevices() = default;

    // One diagram row on the screen (Printto). Called only while ToScreen is on.
    virtual void ScreenRow(const QByteArray &row) = 0;
    // The column heading on the screen (the label under the diagram). Called
    // only while ToScreen is on.
    virtual void ScreenHeading(const QByteArray &heading) = 0;

    // One diagram row on the printer, at print column 3. Called only while
    // ToPrinter is on. Until the printer pages exist, a device without a
    // printer ignores it.
    virtual void PrinterRow(const QByteArray &row) { Q_UNUSED(row); }
    // The printer's header: the same content the report file gets, laid out
    // for the printer. Called only while ToPrinter is on.
    virtual void PrinterHeader(const ReportHeaderContent &header) { Q_UNUSED(header); }

    // A failure the user must hear about (a report file that cannot be
    // written), as an error message box. The run goes on afterwards.
    virtual void ReportError(const QString &message) = 0;
};
