#include "tools/AigerCommand.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

// The command's exit statuses, and the input count in the header of what it
// writes: two code bits, or p alone.
TEST(AigerCommand, WritesTheCircuitOrSaysWhyNot)
{
    QTemporaryDir dir;
    const QString model = QStringLiteral(EXAMPLES_DIR "/decoder.mod");
    const struct
    {
        QStringList arguments;
        int status;
        QString written;
        QByteArray head; // the format word and, after M, the input count
    } rows[] = {
        {{model, QStringLiteral("-o"), dir.filePath(QStringLiteral("d.aig"))}, 0, QStringLiteral("d.aig"), "aig 2"},
        {{model, QStringLiteral("--input"), QStringLiteral("free"), QStringLiteral("--kpt"), QStringLiteral("7"),
          QStringLiteral("-o"), dir.filePath(QStringLiteral("d.aag"))},
         0, QStringLiteral("d.aag"), "aag 1"},
        {{model}, 2, {}, {}},
        {{model, QStringLiteral("-o"), dir.filePath(QStringLiteral("d.txt"))}, 2, {}, {}},
        {{model, QStringLiteral("--input"), QStringLiteral("p"), QStringLiteral("-o"), dir.filePath(QStringLiteral("e.aig"))}, 2, {}, {}},
        {{dir.filePath(QStringLiteral("missing.mod")), QStringLiteral("-o"), dir.filePath(QStringLiteral("m.aig"))}, 1, {}, {}},
    };
    for (const auto &row : rows) {
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        EXPECT_EQ(RunAigerCommand(row.arguments, out, err), row.status) << row.arguments.join(QLatin1Char(' ')).toStdString();
        std::fclose(out);
        std::fclose(err);
        if (row.written.isEmpty())
            continue;
        QFile file(dir.filePath(row.written));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> header = file.readLine().trimmed().split(' ');
        ASSERT_EQ(header.size(), 6);
        EXPECT_EQ(header[0] + ' ' + header[2], row.head);
    }
}
