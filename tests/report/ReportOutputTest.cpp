// The header and rows on the enabled devices, and the report file on disk.

#include "platform/CodePage.h"
#include "report/ReportHeader.h"
#include "report/ReportOutput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include <unistd.h>

namespace {

QString S(const char *utf8) { return QString::fromUtf8(utf8); }

class RecordingDevices : public OutputDevices
{
public:
    QList<QByteArray> screenRows, headings, printerRows;
    QList<bool> printerHeaderTables;
    QStringList errors;

    void ScreenRow(const QByteArray &row) override { screenRows.append(row); }
    void ScreenHeading(const QByteArray &heading) override { headings.append(heading); }
    void PrinterRow(const QByteArray &row) override { printerRows.append(row); }
    void PrinterHeader(const ReportHeaderContent &header) override { printerHeaderTables.append(header.withTimingTable); }
    void ReportError(const QString &message) override { errors.append(message); }
};

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class ReportOutputTest : public testing::Test
{
protected:
    void SetUp() override
    {
        state.ModelName = S("Реле");
        state.ModelPath = dir.filePath(QStringLiteral("model"));
        state.InputCaption = S("Вх.");
        state.ElemCount = 1;
        state.ElemName[1] = S("А");
        state.Tpr[1] = 0.05f;
        state.Totp[1] = 0.2f;
        output.setClock([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4)); });
        output.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    }
    QString reportPath() const { return state.ModelPath + QStringLiteral(".out"); }

    QTemporaryDir dir;
    RunState state;
    RecordingDevices devices;
    ReportOutput output{state, devices};
};

const QByteArray Heading = CodePage::toOem(S("Вх.   А     Ti"));
const QByteArray ShortBlock = "\r\n02.01.2026\r\n03:04\r\n" + Heading + "\r\n";
QString B(int blanks) { return QString(blanks, QLatin1Char(' ')); }
const QByteArray FullBlock = "\r\n02.01.2026\r\n03:04\r\n"
                             + CodePage::toOem(B(38) + S("Реле\r\n") // 4 characters: column 39
                                               + S("     Временные характеристики\r\n"
                                                   "    Элемент     Tпр     T отп\r\n")
                                               + S("    А") + B(10) + S(" 0,05 ") + B(2) + S(" 0,2 \r\n")
                                               + S("\r\n"))
                             + Heading + "\r\n";

TEST_F(ReportOutputTest, HeaderGoesOnlyToTheEnabledDevices)
{
    struct Case { int16_t screen, printer, file, headDue; int headings; QList<bool> printerTables; QByteArray fileText; };
    const Case cases[] = {
        {FlagTrue, FlagFalse, FlagFalse, FlagTrue, 1, {}, "<missing>"},
        {FlagFalse, FlagFalse, FlagTrue, FlagTrue, 0, {}, FullBlock},
        {FlagFalse, FlagFalse, FlagTrue, FlagFalse, 0, {}, ShortBlock},
        {FlagTrue, FlagTrue, FlagTrue, FlagTrue, 1, {true}, FullBlock},
        {FlagFalse, FlagTrue, FlagFalse, FlagFalse, 0, {false}, "<missing>"},
    };
    for (const Case &c : cases) {
        QFile::remove(reportPath());
        devices = RecordingDevices();
        state.ToScreen = c.screen;
        state.ToPrinter = c.printer;
        state.ToFile = c.file;
        state.ReportHeadDue = c.headDue;
        state.OemName.clear();
        output.WriteReportHeader();
        EXPECT_EQ(devices.headings, QList<QByteArray>(c.headings, Heading));
        EXPECT_EQ(devices.printerHeaderTables, c.printerTables);
        EXPECT_EQ(readAll(reportPath()), c.fileText);
        EXPECT_EQ(state.ReportHeadDue, FlagFalse);
        // The model name in code page 866 is kept once the file got it.
        EXPECT_EQ(state.OemName, c.file && c.headDue ? CodePage::toOem(S("Реле")) : QByteArray());
        EXPECT_TRUE(devices.errors.isEmpty());
    }
}

TEST_F(ReportOutputTest, ScreenOnlyHeaderStillUsesUpTheTimingTable)
{
    state.ToScreen = FlagTrue;
    state.ReportHeadDue = FlagTrue;
    output.WriteReportHeader();
    state.ToFile = FlagTrue;
    output.WriteReportHeader();
    EXPECT_EQ(readAll(reportPath()), ShortBlock);
}

TEST_F(ReportOutputTest, RowsAreAppendedAndTheReportCanBeEmptied)
{
    state.ToFile = FlagTrue;
    QFile old(reportPath());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier run\r\n");
    old.close();

    output.WriteRow("\xB3    \xB0    ");
    EXPECT_EQ(readAll(reportPath()), "earlier run\r\n\xB3    \xB0    \r\n");
    output.WriteRow("\xB0    \xB0    0,10");
    EXPECT_EQ(readAll(reportPath()), "earlier run\r\n\xB3    \xB0    \r\n\xB0    \xB0    0,10\r\n");
    EXPECT_TRUE(devices.screenRows.isEmpty());

    EXPECT_TRUE(output.EmptyReport());
    EXPECT_EQ(QFileInfo(reportPath()).size(), 0);
    output.WriteRow("\xB3    \xB3    ");
    EXPECT_EQ(readAll(reportPath()), "\xB3    \xB3    \r\n");
    EXPECT_TRUE(devices.errors.isEmpty());
}

TEST_F(ReportOutputTest, AReportDeletedOrReplacedBetweenRowsIsWrittenAfreshByName)
{
    struct Case
    {
        const char *what;
        std::function<void(const QString &)> meddle;
        QByteArray expected;
    };
    const Case cases[] = {
        {"deleted", [](const QString &path) { QFile::remove(path); }, "\xB0    \r\n"},
        {"replaced as a whole, as an editor saves",
         [](const QString &path) {
             QFile replacement(path + QStringLiteral(".new"));
             ASSERT_TRUE(replacement.open(QIODevice::WriteOnly));
             replacement.write("edited\r\n");
             replacement.close();
             ASSERT_EQ(::rename(QFile::encodeName(replacement.fileName()).constData(), QFile::encodeName(path).constData()), 0);
         },
         "edited\r\n\xB0    \r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        state.ToFile = FlagTrue;
        output.WriteRow("\xB3    ");
        c.meddle(reportPath());
        output.WriteRow("\xB0    ");
        EXPECT_EQ(readAll(reportPath()), c.expected);
        QFile::remove(reportPath());
    }
    EXPECT_TRUE(devices.errors.isEmpty());
}

TEST_F(ReportOutputTest, OtherReportFileName)
{
    state.ToFile = FlagTrue;
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    output.setReportFileName(other);
    EXPECT_EQ(output.reportFileName(), other);
    output.WriteRow("\xB3    ");
    EXPECT_EQ(readAll(other), "\xB3    \r\n");
    EXPECT_FALSE(QFile::exists(reportPath()));
}

TEST_F(ReportOutputTest, UnwritableReportSwitchesFileOutputOffOnce)
{
    QDir(dir.path()).mkdir(QStringLiteral("folder.out"));
    const QString readOnlyFolder = dir.filePath(QStringLiteral("locked"));
    QDir(dir.path()).mkdir(QStringLiteral("locked"));
    QFile::setPermissions(readOnlyFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool permissionsBind = ::access(QFile::encodeName(readOnlyFolder).constData(), W_OK) != 0;

    struct Case { QString fileName; bool applicable; };
    const Case cases[] = {
        {dir.filePath(QStringLiteral("missing/model.out")), true},
        {dir.filePath(QStringLiteral("folder.out")), true}, // a folder where the file should be
        {QStringLiteral("/dev/full"), QFile::exists(QStringLiteral("/dev/full"))}, // a full disk
        {readOnlyFolder + QStringLiteral("/model.out"), permissionsBind}, // not for root
    };
    for (const Case &c : cases) {
        if (!c.applicable)
            continue;
        devices = RecordingDevices();
        state.ToFile = FlagTrue;
        state.ToScreen = FlagTrue;
        output.setReportFileName(c.fileName);
        output.WriteRow("\xB3    ");
        output.WriteRow("\xB0    ");
        ASSERT_EQ(devices.errors.size(), 1) << c.fileName.toStdString();
        EXPECT_TRUE(devices.errors[0].contains(QDir::toNativeSeparators(c.fileName))) << devices.errors[0].toStdString();
        EXPECT_EQ(state.ToFile, FlagFalse);
        EXPECT_EQ(devices.screenRows.size(), 2); // the run goes on
    }
    QFile::setPermissions(readOnlyFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(ReportOutputTest, EmptyingAnUnwritableReportIsReported)
{
    output.setReportFileName(dir.filePath(QStringLiteral("missing/model.out")));
    state.ToFile = FlagTrue;
    EXPECT_FALSE(output.EmptyReport());
    ASSERT_EQ(devices.errors.size(), 1);
    EXPECT_TRUE(devices.errors[0].contains(QStringLiteral("model.out")));
    EXPECT_EQ(state.ToFile, FlagFalse);
}

} // namespace
