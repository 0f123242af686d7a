// The fault options as a user writes them: an element by name and a kind by
// its word run the same fault as the numbers, and an injection step past the
// end of the run is refused with the run length rather than reported as a
// campaign in which no fault has an effect.

#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Result
{
    int status = -1;
    QByteArray out;
    QString err;
};

Result modelrun(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(MODELRUN_PATH), arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

const QStringList Decoder = {QStringLiteral(EXAMPLES_DIR "/decoder.mod"), QStringLiteral("--timing"),
                             QStringLiteral(EXAMPLES_DIR "/decoder.tim"), QStringLiteral("--code"), QStringLiteral("1")};

} // namespace

TEST(FaultOptions, NamesAndWordsAreTheNumbersAndAnInjectionPastTheRunIsRefused)
{
    // ЖЗ is element 5 of the decoder; its feed lights ЛЖЗ under code 1.
    const Result byNumber = modelrun(Decoder + QStringList{QStringLiteral("--fault"), QStringLiteral("3:5:2")});
    ASSERT_EQ(byNumber.status, 0) << byNumber.err.toStdString();
    const Result healthy = modelrun(Decoder);
    ASSERT_NE(byNumber.out, healthy.out);

    struct Case
    {
        QStringList arguments;
        int status;
        const char16_t *message; // a part of the message on stderr; empty: the output is byNumber's
    };
    const Case cases[] = {
        {Decoder + QStringList{QStringLiteral("--fault"), QStringLiteral("3:ЖЗ:подпитка")}, 0, u""},
        {Decoder + QStringList{QStringLiteral("--fault"), QStringLiteral("3:ЖЗ:2")}, 0, u""},
        {Decoder + QStringList{QStringLiteral("--fault"), QStringLiteral("3:5:подпитка")}, 0, u""},
        {Decoder + QStringList{QStringLiteral("--fault"), QStringLiteral("3:ЖХ:обрыв")}, 2, u"нет элемента «ЖХ»"},
        {Decoder + QStringList{QStringLiteral("--fault"), QStringLiteral("3:ЖЗ:залипание")}, 2, u"норма, обрыв, подпитка"},
        {QStringList{QStringLiteral("faults")} + Decoder.mid(0, 3) + QStringList{QStringLiteral("--at"), QStringLiteral("601")},
         2, u"прогон длится 600 шагов"},
        {QStringList{QStringLiteral("faults")} + Decoder.mid(0, 3) + QStringList{QStringLiteral("--at"), QStringLiteral("9999999999")},
         2, u"от 1 до 2147483647"},
    };
    for (const Case &c : cases) {
        const Result result = modelrun(c.arguments);
        const std::string what = c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(result.status, c.status) << what << "\n" << result.err.toStdString();
        const QString message = QString::fromUtf16(c.message);
        if (message.isEmpty())
            EXPECT_EQ(result.out, byNumber.out) << what;
        else
            EXPECT_TRUE(result.err.contains(message)) << what << "\n" << result.err.toStdString();
    }
    // The last step still counts.
    const Result last = modelrun(QStringList{QStringLiteral("faults")} + Decoder.mid(0, 3)
                                 + QStringList{QStringLiteral("--at"), QStringLiteral("600"), QStringLiteral("--codes"),
                                               QStringLiteral("1")});
    EXPECT_EQ(last.status, 0) << last.err.toStdString();
}

TEST(FaultOptions, InjectionRangesThatCannotBeTriedAreRefused)
{
    struct Case
    {
        const char *at;
        int status;
        const char16_t *message; // a part of the message on stderr; empty for none
    };
    const Case cases[] = {
        {"5..3", 2, u"позже конца"},
        {"0..5", 2, u"от 1 до"},
        {"0", 2, u"от 1 до"},
        {"1..", 2, u"диапазон шагов"},
        {"0.005с..1с", 2, u"шаг 0.01 с"},
        {"590..601", 2, u"прогон длится 600 шагов"},
        {"6с..6.01с", 2, u"прогон длится 600 шагов"},
        {"5.99с..6с", 0, u""},
    };
    for (const Case &c : cases) {
        const Result result = modelrun(QStringList{QStringLiteral("faults")} + Decoder.mid(0, 3)
                                       + QStringList{QStringLiteral("--codes"), QStringLiteral("1"),
                                                     QStringLiteral("--at"), QString::fromUtf8(c.at)});
        EXPECT_EQ(result.status, c.status) << c.at << "\n" << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QString::fromUtf16(c.message))) << c.at << "\n" << result.err.toStdString();
    }
}
