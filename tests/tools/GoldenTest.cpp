// End-to-end scenarios of modelrun, one folder per case under golden/: the
// model, its timing and code-timing files, `args` (one argument per line, run
// in the case folder), `expected.txt` (standard output, byte for byte),
// optionally `expected-stderr.txt` (else standard error must stay empty),
// `expected-status` (else 0) and `locale` (else C). The expected outputs are
// worked out by hand from the step rules; each case's `notes.txt` says how.

#include "tests/tools/ModelrunProcess.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Cases are counted so that a lost or misnamed folder fails the run.
constexpr int GoldenCaseCount = 12;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString readText(const QString &path, const QString &fallback)
{
    const QString text = QString::fromUtf8(readFile(path)).trimmed();
    return text.isEmpty() ? fallback : text;
}

TEST(Golden, EveryCaseMatches)
{
    const QDir root(QStringLiteral(GOLDEN_DIR));
    const QStringList cases = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_EQ(cases.size(), GoldenCaseCount) << cases.join(QLatin1Char(' ')).toStdString();

    for (const QString &name : cases) {
        SCOPED_TRACE(name.toStdString());
        const QString dir = root.filePath(name);
        ASSERT_TRUE(QFile::exists(dir + QStringLiteral("/expected.txt")));
        const QStringList arguments =
            QString::fromUtf8(readFile(dir + QStringLiteral("/args"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(arguments.isEmpty());

        const ModelrunResult result =
            RunModelrun(arguments, dir, readText(dir + QStringLiteral("/locale"), QStringLiteral("C")));

        EXPECT_EQ(result.status, readText(dir + QStringLiteral("/expected-status"), QStringLiteral("0")).toInt());
        EXPECT_EQ(result.out, readFile(dir + QStringLiteral("/expected.txt")));
        EXPECT_EQ(result.err, QString::fromUtf8(readFile(dir + QStringLiteral("/expected-stderr.txt"))));
    }
}

} // namespace
