// The three faces of each subcommand's options agree: every option its --help
// shows is one the completion offers (and no other), one the parser knows,
// and the three agree on whether it takes a value. The completion runs in
// bash with stand-ins for the two helpers of the bash-completion package.

#include "tests/tools/ModelrunProcess.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The options of a help text: those on its first line, those that begin a
// line of the list and those it names as the runner's, each with whether a
// value follows its name.
QMap<QString, bool> helpOptions(const QString &help)
{
    QMap<QString, bool> options;
    static const QRegularExpression option(QStringLiteral("(--[a-z0-9-]+)( [^ \\-|\\[][^ ]*)?"));
    QStringList lines = help.split(QLatin1Char('\n'));
    QStringList places{lines.value(0)};
    for (const QString &line : std::as_const(lines))
        if (line.startsWith(QLatin1String("  --")))
            places.append(line.mid(2).section(QStringLiteral("  "), 0, 0));
        else if (line.startsWith(QStringLiteral("Параметры прогона:")))
            places.append(line);
    for (const QString &place : std::as_const(places))
        for (const QRegularExpressionMatch &m : option.globalMatch(place))
            options.insert(m.captured(1), m.hasCaptured(2));
    return options;
}

class Completion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const ModelrunResult written = RunModelrun({QStringLiteral("--completion"), QStringLiteral("bash")});
        ASSERT_EQ(written.status, 0) << written.err.toStdString();
        script = dir.filePath(QStringLiteral("modelrun"));
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(written.out);
    }

    // What the completion offers for the last of words, one entry a line;
    // files show as "FILES:suffix".
    QStringList complete(const QStringList &words) const
    {
        QString line = QStringLiteral("COMP_WORDS=(modelrun");
        for (const QString &word : words)
            line += QStringLiteral(" '%1'").arg(word);
        line += QStringLiteral("); COMP_CWORD=%1; _modelrun; printf '%s\\n' \"${COMPREPLY[@]}\"").arg(words.size());
        QProcess bash;
        bash.start(QStringLiteral("bash"),
                   {QStringLiteral("-c"),
                    QStringLiteral("_init_completion() { words=(\"${COMP_WORDS[@]}\"); cword=$COMP_CWORD;"
                                   " cur=${words[cword]}; prev=${words[cword-1]}; }\n"
                                   "_filedir() { COMPREPLY+=(\"FILES:$1\"); }\n"
                                   "compopt() { :; }\n"
                                   "source '%1' || exit 3\n"
                                   "complete -p modelrun > /dev/null || exit 4\n")
                            .arg(script)
                        + line});
        EXPECT_TRUE(bash.waitForFinished(10000));
        EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
        return QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString script;
};

TEST_F(Completion, HelpCompletionAndParserAgree)
{
    const struct
    {
        const char *command; // empty for the run itself
        const char *operand; // a word before the option, so that it is not the first
    } commands[] = {{"", "m.mod"}, {"check", "m.mod"}, {"test", "t.bench"}, {"draw", "m.mod"}, {"sweep", "m.mod"},
                    {"faults", "m.mod"}, {"merge", "a.jsonl"}};
    for (const auto &c : commands) {
        SCOPED_TRACE(c.command);
        const QStringList command = *c.command ? QStringList{QString::fromUtf8(c.command)} : QStringList();
        const QStringList head = command + QStringList{QString::fromUtf8(c.operand)};
        const ModelrunResult help = RunModelrun(command + QStringList{QStringLiteral("--help")});
        ASSERT_EQ(help.status, 0);
        const QMap<QString, bool> options = helpOptions(QString::fromUtf8(help.out));
        ASSERT_TRUE(options.contains(QStringLiteral("--help")));

        QStringList offered = complete(head + QStringList{QStringLiteral("--")});
        offered.sort();
        EXPECT_EQ(offered.join(QLatin1Char(' ')).toStdString(),
                  QStringList(options.keys()).join(QLatin1Char(' ')).toStdString());
        const QStringList operandFiles = complete(head + QStringList{QString()});
        ASSERT_EQ(operandFiles.size(), 1);
        EXPECT_TRUE(operandFiles[0].startsWith(QLatin1String("FILES:")));

        for (auto option = options.begin(); option != options.end(); ++option) {
            SCOPED_TRACE(option.key().toStdString());
            const ModelrunResult parsed = RunModelrun(command + QStringList{option.key()});
            EXPECT_FALSE(parsed.err.contains(QStringLiteral("неизвестный параметр"))) << parsed.err.toStdString();
            EXPECT_EQ(parsed.err.contains(QStringLiteral("не хватает значения")), option.value()) << parsed.err.toStdString();
            // After an option with a value comes its value, not an operand.
            EXPECT_EQ(complete(head + QStringList{option.key(), QString()}) != operandFiles, option.value());
        }
    }
}

} // namespace
