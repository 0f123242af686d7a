// The exports of modelrun read back: the decoder under code 1 lights ЛКЖ at
// step 75, and every export must say so. modelrun runs with no display and
// no platform named in its environment.

#include "tests/tools/ModelrunProcess.h"
#include "analysis/SweepAxis.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Exports : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A shell with no desktop session at all.
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(MODELRUN_PATH),
                      {QStringLiteral(EXAMPLES_DIR "/decoder.mod"), QStringLiteral("--timing"),
                       QStringLiteral(EXAMPLES_DIR "/decoder.tim"), QStringLiteral("--code"), QStringLiteral("1"),
                       QStringLiteral("--steps"), QStringLiteral("100"), QStringLiteral("--png"), QStringLiteral("run.png"),
                       QStringLiteral("--svg"), QStringLiteral("run.svg"), QStringLiteral("--csv"), QStringLiteral("run.csv"),
                       QStringLiteral("--wavejson"), QStringLiteral("run.json")});
        ASSERT_TRUE(process.waitForFinished(60000));
        const QByteArray err = process.readAllStandardError();
        ASSERT_EQ(process.exitCode(), 0) << err.toStdString();
        EXPECT_EQ(err.toStdString(), ""); // not even a warning of Qt's
    }

    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
};

const QStringList DecoderSignals{QStringLiteral("p"),  QStringLiteral("И"),  QStringLiteral("Б"),
                                 QStringLiteral("Д"),  QStringLiteral("П"),  QStringLiteral("ЖЗ"),
                                 QStringLiteral("КЖ"), QStringLiteral("ЛКЖ"), QStringLiteral("ЛЖЗ")};

TEST_F(Exports, CsvHasARowAtEachChange)
{
    const QStringList lines = QString::fromUtf8(readFile(path("run.csv"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    const QStringList header = lines[0].split(QLatin1Char(','));
    EXPECT_EQ(header.mid(3, DecoderSignals.size()), DecoderSignals);
    const qsizetype lkzh = header.indexOf(QStringLiteral("ЛКЖ"));
    qint64 previousStep = -1;
    QString previousLkzh;
    qint64 lkzhLit = -1;
    for (const QString &line : lines.mid(1)) {
        const QStringList fields = line.split(QLatin1Char(','));
        ASSERT_EQ(fields.size(), header.size() - 1) << line.toStdString(); // "время, с" is one quoted field
        const qint64 step = fields[0].toLongLong();
        EXPECT_GT(step, previousStep);
        if (fields[lkzh - 1] == QLatin1String("1") && previousLkzh == QLatin1String("0"))
            lkzhLit = step;
        previousStep = step;
        previousLkzh = fields[lkzh - 1];
    }
    EXPECT_EQ(lines[1].left(7), QStringLiteral("0,0.00,"));
    EXPECT_EQ(lkzhLit, 75);
}

TEST_F(Exports, WaveJsonParsesWithTheModelsNames)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(readFile(path("run.json")), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    QStringList names;
    QString lkzhWave;
    for (const QJsonValue &signal : document.object().value(QStringLiteral("signal")).toArray()) {
        names.append(signal[QStringLiteral("name")].toString());
        EXPECT_EQ(signal[QStringLiteral("wave")].toString().size(), 101) << names.last().toStdString();
        if (names.last() == QStringLiteral("ЛКЖ"))
            lkzhWave = signal[QStringLiteral("wave")].toString();
    }
    EXPECT_EQ(names, DecoderSignals);
    EXPECT_EQ(lkzhWave.indexOf(QLatin1Char('1')), 75);
}

TEST_F(Exports, PicturesOpen)
{
    const QImage png(path("run.png"));
    ASSERT_FALSE(png.isNull());
    EXPECT_GT(png.width(), png.height());
    // Traces are drawn: some pixels are dark.
    int dark = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            dark += qGray(png.pixel(x, y)) < 100;
    EXPECT_GT(dark, png.width());
    const QImage svg(path("run.svg"));
    EXPECT_FALSE(svg.isNull());
    EXPECT_TRUE(readFile(path("run.svg")).contains(QStringLiteral("ЛКЖ").toUtf8()));
}

// The two times of a relay have one name wherever the user reads them: the
// legend of the pictures, the columns of the table, the sweep's axes.
TEST_F(Exports, TheTwoTimesAreCalledPickupAndDropOutEverywhere)
{
    const QString csvHeader = QString::fromUtf8(readFile(path("run.csv"))).section(QLatin1Char('\n'), 0, 0);
    const QString svg = QString::fromUtf8(readFile(path("run.svg")));
    const auto title = [](const char *vary) {
        const auto axis = ParseSweepAxis(QString::fromUtf8(vary));
        return axis ? axis->title() : axis.error();
    };
    const struct { const char *where; QString text; QStringList named; } cases[] = {
        {"csv", csvHeader, {QStringLiteral("КЖ притяжение"), QStringLiteral("КЖ отпадание")}},
        {"svg legend", svg, {QStringLiteral(">притяжение<"), QStringLiteral(">отпадание<")}},
        {"pickup axis", title("pickup:КЖ=50..150/10"), {QStringLiteral("Время притяжения КЖ, %")}},
        {"release axis", title("release:Д=0.1..0.6/0.05s"), {QStringLiteral("Время отпадания Д, с")}},
    };
    for (const auto &c : cases) {
        for (const QString &name : c.named)
            EXPECT_TRUE(c.text.contains(name)) << c.where << ": " << name.toStdString();
        for (const char *old : {"срабатыв", "отпуска"})
            EXPECT_FALSE(c.text.contains(QString::fromUtf8(old))) << c.where;
    }
}

} // namespace
