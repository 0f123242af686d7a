// modelrun draw: the files it writes and its answers to bad input.

#include "tests/schematic/PdfPages.h"
#include "tools/DrawCommand.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

QString readAll(std::FILE *stream)
{
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stream)) > 0;)
        bytes.append(buffer, qsizetype(n));
    return QString::fromUtf8(bytes);
}

TEST(DrawCommand, WritesPicturesAndNamesWhatIsWrong)
{
    QTemporaryDir dir;
    const QString decoder = QStringLiteral(EXAMPLES_DIR "/decoder.mod");
    const QString svg = dir.filePath(QStringLiteral("d.svg"));
    const QString pdf = dir.filePath(QStringLiteral("d.pdf"));
    const QString png = dir.filePath(QStringLiteral("d.png"));
    const struct
    {
        QStringList arguments;
        int status;
        QString message; // a part of the error output
    } cases[] = {
        {{decoder, QStringLiteral("--svg"), svg, QStringLiteral("--pdf=") + pdf, QStringLiteral("--png"), png}, 0, {}},
        {{dir.filePath(QStringLiteral("none.mod")), QStringLiteral("--svg"), svg}, 1,
         QStringLiteral("Не удаётся открыть файл модели %1.").arg(dir.filePath(QStringLiteral("none.mod")))},
        {{decoder, QStringLiteral("--timing"), dir.filePath(QStringLiteral("none.tim")), QStringLiteral("--svg"), svg}, 1,
         dir.filePath(QStringLiteral("none.tim"))},
        {{decoder, QStringLiteral("--png"), QStringLiteral("/nonexistent/d.png")}, 1,
         QStringLiteral("Не удаётся создать файл «/nonexistent/d.png»")},
        {{decoder}, 2, QStringLiteral("modelrun draw: не задан файл схемы")},
        {{decoder, QStringLiteral("--svg")}, 2, QStringLiteral("--svg")},
        {{decoder, QStringLiteral("--steps"), QStringLiteral("5")}, 2, QStringLiteral("«--steps»")},
    };
    for (const auto &c : cases) {
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        ASSERT_TRUE(out && err);
        EXPECT_EQ(RunDrawCommand(c.arguments, out, err), c.status) << c.arguments.join(u' ').toStdString();
        const QString errors = readAll(err);
        if (c.message.isEmpty())
            EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
        else
            EXPECT_TRUE(errors.contains(c.message)) << errors.toStdString();
        std::fclose(out);
        std::fclose(err);
    }
    EXPECT_TRUE(QFile(svg).size() > 0);
    EXPECT_EQ(PdfPageCount(pdf), 1);
    // The decoder's eight rungs at their natural width.
    EXPECT_EQ(QImage(png).width(), 1020);
}

} // namespace
