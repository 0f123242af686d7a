#include "report/PrinterPages.h"

#include "platform/CodePage.h"
#include "platform/Prompts.h"
#include "report/ReportFonts.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace {

constexpr qreal PointSize = 10;
constexpr int FreeRowsAtFoot = 5;
// The header of a continued page: date, time and the column heading.
constexpr int ContinuedHeaderLines = 3;

void tell(const QString &text, Prompt::Icon icon)
{
    prompts().message({text, {}, Prompt::Buttons::Ok, icon, std::nullopt});
}

// ModelPath.pdf, or ModelPath-2.pdf, -3.pdf, ... when it is taken: the
// pages of an earlier job or run are never replaced.
QString unusedPdfName(const QString &modelPath)
{
    QString name = modelPath + QLatin1String(".pdf");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QStringLiteral("%1-%2.pdf").arg(modelPath).arg(n);
    return name;
}

QString pageSizeText(const QPrinter &printer)
{
    const QSizeF size = printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
    const QLocale russian(QLocale::Russian);
    return russian.toString(size.width(), 'g', 4) + QStringLiteral(" × ") + russian.toString(size.height(), 'g', 4)
           + QStringLiteral(" мм");
}

} // namespace

PrinterPages::PrinterPages(RunState &state, QPrinter *printer)
    : m_state(state), m_mainPrinter(printer), m_clock([] { return QDateTime::currentDateTime(); })
{
}

PrinterPages::~PrinterPages()
{
    if (m_painter.isActive())
        m_painter.end();
}

void PrinterPages::setClock(Clock clock) { m_clock = std::move(clock); }

PrintTarget ChoosePrintTarget(QPrinter *mainPrinter, const QString &modelPath, const QString &docName)
{
    PrintTarget target;
    if (mainPrinter) {
        const bool toChosenFile =
            mainPrinter->outputFormat() == QPrinter::PdfFormat && !mainPrinter->outputFileName().isEmpty();
        const bool toInstalledPrinter = mainPrinter->outputFormat() == QPrinter::NativeFormat
                                        && mainPrinter->isValid()
                                        && !QPrinterInfo::availablePrinterNames().isEmpty();
        if (toChosenFile || toInstalledPrinter) {
            target.pdfFileName = toChosenFile ? mainPrinter->outputFileName() : QString();
            target.printer = mainPrinter;
            return target;
        }
    }
    target.pdfFileName = unusedPdfName(modelPath);
    target.pdf = std::make_unique<QPrinter>(QPrinter::HighResolution);
    target.pdf->setOutputFormat(QPrinter::PdfFormat);
    target.pdf->setOutputFileName(target.pdfFileName);
    target.pdf->setPageMargins(QMarginsF(20, 15, 10, 15), QPageLayout::Millimeter);
    target.pdf->setDocName(docName);
    target.printer = target.pdf.get();
    tell(QStringLiteral("Принтер не установлен. Страницы печатаются в файл ")
             + QDir::toNativeSeparators(target.pdfFileName),
         Prompt::Icon::Information);
    return target;
}

QPrinter *PrinterPages::chooseTarget()
{
    PrintTarget target = ChoosePrintTarget(m_mainPrinter, m_state.ModelPath, m_state.ModelName);
    m_pdfFileName = target.pdfFileName;
    m_pdfPrinter = std::move(target.pdf);
    return target.printer;
}

bool PrinterPages::ensureJob()
{
    if (m_painter.isActive())
        return true;
    if (m_state.ToPrinter == FlagFalse)
        return false; // switched off, by the user or after a failure
    m_target = chooseTarget();
    const QFontMetricsF cell(ReportFonts::Fixed(PointSize), m_target);
    m_cellWidth = cell.averageCharWidth();
    m_rowHeight = cell.lineSpacing();
    // A smaller page would break again inside the header of every new page.
    if (m_target->height() < (ContinuedHeaderLines + FreeRowsAtFoot) * m_rowHeight) {
        fail(QStringLiteral("Страница %1 слишком мала: на ней не помещаются заголовок и пять строк диаграммы.")
                 .arg(pageSizeText(*m_target)));
        return false;
    }
    if (!m_painter.begin(m_target)) {
        fail(m_pdfFileName.isEmpty()
                 ? QStringLiteral("Не удалось начать печать на принтере \"%1\".").arg(m_target->printerName())
                 : QStringLiteral("Не удалось создать файл печати %1.").arg(QDir::toNativeSeparators(m_pdfFileName)));
        return false;
    }
    m_page = 1;
    m_y = 0;
    m_lineEnd = 0;
    setFont(ReportFonts::Fixed(PointSize));
    return true;
}

void PrinterPages::fail(const QString &message)
{
    if (m_painter.isActive())
        m_painter.end();
    m_state.ToPrinter = FlagFalse;
    tell(message + QStringLiteral(" Вывод на принтер отключен."), Prompt::Icon::Critical);
}

void PrinterPages::PrintHeader(const ReportHeaderContent &header)
{
    if (ensureJob())
        printHeaderLines(header);
}

void PrinterPages::printHeaderLines(const ReportHeaderContent &header)
{
    setFont(ReportFonts::Fixed(PointSize)); // "Courier New Cyr"
    PrintLine(header.date, 10);
    PrintLine(header.time, 12);
    if (header.withTimingTable) {
        PrintLine(header.modelName, 5);
        PrintLine(QString(), 1);
        PrintLine(QStringLiteral("Временные характеристики"), 3);
        PrintLine(QStringLiteral("    Элемент     Tпр     T отп"), 1);
        // The element lines go straight on, without the page check.
        for (const auto &element : header.elements) {
            if (!m_painter.isActive())
                return;
            placeText(5, element.name);
            placeText(16, element.pickup);
            placeText(24, element.release);
            endLine();
        }
        PrintLine(QString(), 1);
    }
    setFont(ReportFonts::Fixed(PointSize)); // "Terminal"
    PrintLine(CodePage::fromOem(header.heading), 1);
}

void PrinterPages::PrintRow(QByteArrayView row)
{
    if (!ensureJob())
        return;
    setFont(ReportFonts::Fixed(PointSize)); // "Terminal"
    PrintLine(CodePage::fromOem(row), 3);
}

void PrinterPages::PrintLine(const QString &text, int column)
{
    if (!ensureJob())
        return;
    if (!m_breaking && m_y > m_target->height() - FreeRowsAtFoot * m_rowHeight) {
        breakPage();
        if (!m_painter.isActive())
            return;
    }
    placeText(column, text);
    endLine();
}

void PrinterPages::breakPage()
{
    setFont(ReportFonts::System(PointSize));
    placeText(30, QStringLiteral("Стр. ") + QString::number(m_page));
    endLine();
    if (!m_target->newPage()) {
        fail(QStringLiteral("Принтер не смог начать новую страницу."));
        return;
    }
    ++m_page;
    m_y = 0;
    m_lineEnd = 0;
    // The header of a continued page: date, time and the column heading; the
    // timing table belongs to the first page of a run only.
    ReportHeaderContent header = MakeReportHeader(m_state, m_clock(), QLocale());
    header.withTimingTable = false;
    m_breaking = true;
    printHeaderLines(header);
    m_breaking = false;
}

void PrinterPages::EndDoc()
{
    if (!m_painter.isActive())
        return;
    if (!m_painter.end())
        fail(QStringLiteral("Не удалось закончить печать."));
}

void PrinterPages::setFont(const QFont &font)
{
    m_font = font;
    m_painter.setFont(font);
}

qreal PrinterPages::columnX(int column) const { return (std::max(column, 1) - 1) * m_cellWidth; }

void PrinterPages::placeText(int column, const QString &text)
{
    const qreal x = columnX(column);
    // A column the line has already passed continues on a new line, so the
    // columns stay aligned.
    if (m_lineEnd > x + m_cellWidth / 2)
        endLine();
    const QFontMetricsF metrics(m_font, m_target);
    m_painter.drawText(QPointF(x, m_y + metrics.ascent()), text);
    m_lineEnd = x + metrics.horizontalAdvance(text);
}

void PrinterPages::endLine()
{
    m_y += QFontMetricsF(m_font, m_target).lineSpacing();
    m_lineEnd = 0;
}
