#include "report/PrinterPages.h"

#include "report/ReportFonts.h"
#include "tests/support/ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using A = Prompt::Answer;

// The pitch of the fixed row font, in points: pdftotext lays the pages out on
// this grid, so a text's column can be read off its leading blanks.
double fixedPitchPoints()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    return QFontMetricsF(ReportFonts::Fixed(10), &printer).averageCharWidth() * 72.0 / printer.resolution();
}

// The pages of a PDF as text on the character grid, one list of lines per page.
QList<QStringList> pdfPages(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-fixed"), QString::number(fixedPitchPoints()), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    QList<QStringList> pages;
    const QStringList texts = QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\f'));
    for (const QString &text : texts) {
        QStringList lines;
        for (const QString &line : text.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                lines << line;
        if (!lines.isEmpty())
            pages << lines;
    }
    return pages;
}

qsizetype indent(const QString &line)
{
    qsizetype n = 0;
    while (n < line.size() && line[n] == QLatin1Char(' '))
        ++n;
    return n;
}

// Columns on a page, counted from 1 at the left edge of the printable area.
// The heading line is printed from column 1, so its indent is the margin.
class PageColumns
{
public:
    explicit PageColumns(const QStringList &lines) : m_lines(lines)
    {
        for (const QString &line : lines)
            if (line.trimmed().startsWith(QStringLiteral("Вх.")))
                m_margin = indent(line);
    }
    // The column of the first line holding text, or 0 when none does.
    qsizetype columnOf(const QString &text) const
    {
        for (const QString &line : m_lines) {
            const qsizetype at = line.indexOf(text);
            if (at >= 0)
                return at - m_margin + 1;
        }
        return 0;
    }
    QString line(qsizetype i) const { return m_lines.value(i).mid(m_margin); }
    qsizetype size() const { return m_lines.size(); }

private:
    QStringList m_lines;
    qsizetype m_margin = -1;
};

MessageRequest notice(const QString &text, Prompt::Icon icon)
{
    return {text, {}, Prompt::Buttons::Ok, icon, std::nullopt};
}

class PrinterPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(dir.isValid());
        state.ModelName = QStringLiteral("Повторитель кодов");
        state.ModelPath = dir.filePath(QStringLiteral("dev"));
        state.InputCaption = QStringLiteral("Вх.");
        state.ElemCount = 2;
        state.ElemName[1] = QStringLiteral("К1");
        state.ElemName[2] = QStringLiteral("Длинное");
        state.OutCount = 1;
        state.OutName[1] = QStringLiteral("В");
        state.Tpr[1] = 0.05f;
        state.Totp[1] = 0.1f;
        state.Tpr[2] = 1.5f;
        state.Totp[2] = 0;
        state.ToPrinter = FlagTrue;
    }

    ReportHeaderContent header(bool withTable)
    {
        state.ReportHeadDue = withTable ? FlagTrue : FlagFalse;
        return MakeReportHeader(state, now, QLocale(QLocale::Russian));
    }
    QString pdfPath() const { return state.ModelPath + QLatin1String(".pdf"); }
    QString noPrinterNotice() const
    {
        return QStringLiteral("Принтер не установлен. Страницы печатаются в файл ") + QDir::toNativeSeparators(pdfPath());
    }
    static QByteArray row(int i)
    {
        return QByteArray("\xB3    \xB0    \xDB    \xB2    ") + QByteArray::number(i);
    }

    QTemporaryDir dir;
    RunState state;
    const QDateTime now{QDate(2026, 12, 7), QTime(9, 5)};
    ScriptedPrompts prompts;
};

TEST_F(PrinterPagesTest, PagesOfARunWithoutAnInstalledPrinterGoToAPdfBesideTheModel)
{
    prompts.expectMessage(notice(noPrinterNotice(), Prompt::Icon::Information), A::Ok); // once per job
    {
        PrinterPages pages(state, nullptr);
        pages.setClock([this] { return now.addSecs(120); });
        pages.PrintHeader(header(true));
        for (int i = 0; i < 100; ++i)
            pages.PrintRow(row(i));
        EXPECT_EQ(pages.PdfFileName(), pdfPath());
        EXPECT_TRUE(pages.JobOpen()); // until the diagram window closes
        pages.EndDoc(); // the window closes: the pages are written
        EXPECT_FALSE(pages.JobOpen());
    }
    const QList<QStringList> pages = pdfPages(pdfPath());
    ASSERT_EQ(pages.size(), 2);
    const PageColumns first(pages[0]);
    const PageColumns second(pages[1]);

    struct Placed
    {
        const PageColumns *page;
        const char16_t *text;
        qsizetype column;
    };
    const Placed placed[] = {
        {&first, u"07.12.2026", 10},
        {&first, u"09:05", 12},
        {&first, u"Повторитель кодов", 5},
        {&first, u"Временные характеристики", 3},
        {&first, u"Элемент     Tпр     T отп", 5}, // the title line from column 1
        {&first, u"К1", 5},
        {&first, u"0,05", 17}, // a blank in place of the sign at 16
        {&first, u"0,1", 25},
        {&first, u"Длинное", 5},
        {&first, u"1,5", 17},
        {&first, u"Вх.   К1   ДлиннВ     Ti", 1},
        {&first, u"│    ░    █    ▓    0", 3},
        {&first, u"Стр. 1", 30},
        // A continued page: the date and time of the break, the heading, rows.
        {&second, u"07.12.2026", 10},
        {&second, u"09:07", 12},
        {&second, u"Вх.   К1   ДлиннВ     Ti", 1},
        {&second, u"│    ░    █    ▓    99", 3},
    };
    for (const Placed &p : placed) {
        SCOPED_TRACE(QString::fromUtf16(p.text).toStdString());
        EXPECT_EQ(p.page->columnOf(QString::fromUtf16(p.text)), p.column);
    }
    EXPECT_EQ(first.line(first.size() - 1).trimmed(), QStringLiteral("Стр. 1")); // the foot of the page
    EXPECT_EQ(second.columnOf(QStringLiteral("Временные характеристики")), 0);
    EXPECT_EQ(second.columnOf(QStringLiteral("Повторитель")), 0);
    EXPECT_EQ(second.columnOf(QStringLiteral("Стр.")), 0);

    // Every row once, in order, across the page break.
    QStringList rows;
    for (const PageColumns *page : {&first, &second})
        for (qsizetype i = 0; i < page->size(); ++i)
            if (page->line(i).startsWith(QStringLiteral("  │")))
                rows << page->line(i).section(QLatin1Char(' '), -1);
    QStringList expected;
    for (int i = 0; i < 100; ++i)
        expected << QString::number(i);
    EXPECT_EQ(rows, expected);
}

TEST_F(PrinterPagesTest, APrinterThatCannotStartSwitchesPrinterOutputOff)
{
    state.ModelPath = dir.filePath(QStringLiteral("missing/dev"));
    prompts.expectMessage(notice(noPrinterNotice(), Prompt::Icon::Information), A::Ok)
        .expectMessage(notice(QStringLiteral("Не удалось создать файл печати ") + QDir::toNativeSeparators(pdfPath())
                                  + QStringLiteral(". Вывод на принтер отключен."),
                              Prompt::Icon::Critical),
                       A::Ok);
    PrinterPages pages(state, nullptr);
    pages.PrintHeader(header(true));
    for (int i = 0; i < 3; ++i)
        pages.PrintRow(row(i)); // no further message: the output is off
    EXPECT_EQ(state.ToPrinter, FlagFalse);
    EXPECT_FALSE(pages.JobOpen());
    EXPECT_TRUE(prompts.finished());
}

TEST_F(PrinterPagesTest, EveryJobWithoutAPrinterKeepsItsOwnPdf)
{
    const auto pdf = [this](const char *suffix) -> QString { return state.ModelPath + QLatin1String(suffix); };
    const auto noticeOf = [](const QString &file) {
        return notice(QStringLiteral("Принтер не установлен. Страницы печатаются в файл ") + QDir::toNativeSeparators(file),
                      Prompt::Icon::Information);
    };
    // A file of another run, in the middle of the numbers.
    {
        QFile other(pdf("-3.pdf"));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("other run");
    }
    const auto printJob = [this](PrinterPages &pages, int rowNumber) {
        state.ToPrinter = FlagTrue;
        pages.PrintRow(row(rowNumber));
        pages.EndDoc();
    };
    {
        PrinterPages pages(state, nullptr);
        prompts.expectMessage(noticeOf(pdf(".pdf")), A::Ok);
        printJob(pages, 1);
        prompts.expectMessage(noticeOf(pdf("-2.pdf")), A::Ok);
        printJob(pages, 2);
    }
    {
        PrinterPages nextRun(state, nullptr);
        prompts.expectMessage(noticeOf(pdf("-4.pdf")), A::Ok);
        printJob(nextRun, 4);
        EXPECT_EQ(nextRun.PdfFileName(), pdf("-4.pdf"));
    }
    EXPECT_TRUE(prompts.finished());
    struct Kept { const char *suffix; int row; };
    for (const Kept &k : {Kept{".pdf", 1}, Kept{"-2.pdf", 2}, Kept{"-4.pdf", 4}}) {
        const QList<QStringList> printed = pdfPages(pdf(k.suffix));
        ASSERT_EQ(printed.size(), 1) << k.suffix;
        EXPECT_NE(PageColumns(printed[0]).columnOf(QStringLiteral("│    ░    █    ▓    %1").arg(k.row)), 0) << k.suffix;
    }
    QFile other(pdf("-3.pdf"));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("other run"));
}

// The folder of the model cannot take files (tests run as root, where a
// read-only folder still takes them, so the folder is a regular file here).
TEST_F(PrinterPagesTest, AFolderThatCannotTakeThePdfIsNamedAndAnotherFolderStillWorks)
{
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    QFile(plainFile).open(QIODevice::WriteOnly);
    const QString goodPath = state.ModelPath;
    state.ModelPath = plainFile + QStringLiteral("/dev");
    prompts.expectMessage(notice(noPrinterNotice(), Prompt::Icon::Information), A::Ok)
        .expectMessage(notice(QStringLiteral("Не удалось создать файл печати ") + QDir::toNativeSeparators(pdfPath())
                                  + QStringLiteral(". Вывод на принтер отключен."),
                              Prompt::Icon::Critical),
                       A::Ok);
    PrinterPages pages(state, nullptr);
    pages.PrintRow(row(1));
    EXPECT_EQ(state.ToPrinter, FlagFalse);

    state.ModelPath = goodPath;
    state.ToPrinter = FlagTrue;
    prompts.expectMessage(notice(noPrinterNotice(), Prompt::Icon::Information), A::Ok);
    pages.PrintRow(row(2));
    pages.EndDoc();
    EXPECT_EQ(pdfPages(pdfPath()).size(), 1);
    EXPECT_TRUE(prompts.finished());
}

// A label or a custom page: the header of every new page would itself need
// a new page.
TEST_F(PrinterPagesTest, APageTooSmallForTheHeaderAndFiveRowsSwitchesPrinterOutputOff)
{
    const QString chosen = dir.filePath(QStringLiteral("label.pdf"));
    QPrinter mainPrinter(QPrinter::HighResolution);
    mainPrinter.setOutputFormat(QPrinter::PdfFormat);
    mainPrinter.setOutputFileName(chosen);
    mainPrinter.setPageSize(QPageSize(QSizeF(100, 25), QPageSize::Millimeter));
    prompts.expectMessage(notice(QStringLiteral("Страница 100 × 25 мм слишком мала: на ней не помещаются заголовок и "
                                                "пять строк диаграммы. Вывод на принтер отключен."),
                                 Prompt::Icon::Critical),
                          A::Ok);
    PrinterPages pages(state, &mainPrinter);
    pages.PrintHeader(header(true));
    for (int i = 0; i < 20; ++i)
        pages.PrintRow(row(i)); // the run goes on, without another message
    pages.EndDoc();
    EXPECT_EQ(state.ToPrinter, FlagFalse);
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_TRUE(prompts.finished());
}

TEST_F(PrinterPagesTest, APrintToFileChosenInThePrinterDialogIsKept)
{
    const QString chosen = dir.filePath(QStringLiteral("chosen.pdf"));
    QPrinter mainPrinter(QPrinter::HighResolution);
    mainPrinter.setOutputFormat(QPrinter::PdfFormat);
    mainPrinter.setOutputFileName(chosen);
    PrinterPages pages(state, &mainPrinter);
    pages.PrintHeader(header(false));
    pages.PrintRow(row(7));
    pages.EndDoc();

    EXPECT_FALSE(QFile::exists(pdfPath()));
    const QList<QStringList> printed = pdfPages(chosen);
    ASSERT_EQ(printed.size(), 1);
    const PageColumns page(printed[0]);
    EXPECT_EQ(page.columnOf(QStringLiteral("│    ░    █    ▓    7")), 3);
    EXPECT_EQ(page.columnOf(QStringLiteral("Временные")), 0);
}

} // namespace
