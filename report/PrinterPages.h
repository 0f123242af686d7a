#pragma once

#include "model/RunState.h"
#include "report/ReportHeader.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QFont>
#include <QPainter>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;

// Where printed pages go: the main window's printer (may be null) when it
// is an installed printer or set to a PDF file the user chose; otherwise a
// PDF printer made here for ModelPath + ".pdf" beside the model, or the
// first of ModelPath + "-2.pdf", "-3.pdf", ... that does not exist, and the
// user is told its name.
struct PrintTarget
{
    QPrinter *printer = nullptr;
    std::unique_ptr<QPrinter> pdf; // the PDF printer made here, if any
    QString pdfFileName;           // empty for a real printer
};
PrintTarget ChoosePrintTarget(QPrinter *mainPrinter, const QString &modelPath, const QString &docName);

// The printed pages of one run: the header, the diagram rows, a page number
// at the foot of every full page and the header again at the top of the
// next. Positions are character cells of the fixed-pitch header font (its
// line height by its average character width); columns count from 1.
//
// The job starts with the first line printed and ends, its pages written,
// at EndDoc or when the object goes. When the main window's printer is not a
// usable printer (none installed, the usual case on a fresh machine) the
// pages go to the PDF file ModelPath + ".pdf" beside the model, or, when
// that file exists, to the first of ModelPath + "-2.pdf", "-3.pdf", ... that
// does not; the user is told the name once per job. A printer that cannot
// start or take a new page, or whose page cannot hold the header of a page
// and five rows, gives an error message and switches printer output off
// (ToPrinter := 0); the run goes on, and the next line printed after
// ToPrinter was set again starts a new job.
class PrinterPages
{
public:
    using Clock = std::function<QDateTime()>;

    // printer: the main window's printer, may be null; not owned.
    PrinterPages(RunState &state, QPrinter *printer);
    ~PrinterPages();
    PrinterPages(const PrinterPages &) = delete;
    PrinterPages &operator=(const PrinterPages &) = delete;

    // The clock of the page headers after a page break; the system clock by
    // default.
    void setClock(Clock clock);

    // The printer header: the date at column 10, the time at column 12, with
    // the timing table the model name, "Временные характеристики" and a line
    // per element; last the heading line in the row font.
    void PrintHeader(const ReportHeaderContent &header);
    // A diagram row (code page 866) at column 3 in the row font.
    void PrintRow(QByteArrayView row);
    // Prints text at column (0 counts as 1) and ends the line. When the
    // position is past the printable height less 5 rows, first ends the page
    // with "Стр. N" and starts the next with the header, printer only.
    void PrintLine(const QString &text, int column);

    // Ends the job; its pages are printed (or written). Nothing when no job
    // is open.
    void EndDoc();

    bool JobOpen() const { return m_painter.isActive(); }
    // Where the pages of a PDF job went; empty for a real printer.
    QString PdfFileName() const { return m_pdfFileName; }

private:
    bool ensureJob();
    QPrinter *chooseTarget();
    void fail(const QString &message);
    void breakPage();
    void printHeaderLines(const ReportHeaderContent &header);
    void setFont(const QFont &font);
    void placeText(int column, const QString &text);
    void endLine();
    qreal columnX(int column) const;

    RunState &m_state;
    QPrinter *m_mainPrinter;
    std::unique_ptr<QPrinter> m_pdfPrinter;
    QString m_pdfFileName;
    Clock m_clock;

    QPainter m_painter;
    QPrinter *m_target = nullptr;
    QFont m_font;
    qreal m_cellWidth = 0;
    qreal m_rowHeight = 0;
    qreal m_y = 0;        // top of the current line, device units
    qreal m_lineEnd = 0;  // x just past the text of the current line
    int m_page = 1;
    bool m_breaking = false; // printing the header of a new page
};
