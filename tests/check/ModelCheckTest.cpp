// The model check against small models whose findings are worked out by hand
// from how the function language reads a term: every finding of a model,
// with its line and column, and nothing else.

#include "check/ModelCheck.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Expected
{
    const char *kind;
    int line;
    int column;
    const char *operand = "";
};

struct Case
{
    const char *title;
    std::vector<const char *> elements;
    std::vector<const char *> outputs;
    std::vector<Expected> findings;
};

QString modelText(const Case &c)
{
    QString text = QStringLiteral("Модель\r\n %1 \r\n").arg(c.elements.size());
    for (const char *line : c.elements)
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    text += QStringLiteral(" %1 \r\n").arg(c.outputs.size());
    for (const char *line : c.outputs)
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text;
}

// Lines: 1 the name, 2 the element count, elements from line 3, then the
// output count and the outputs.
const std::vector<Case> cases = {
    {"a clean model", {"А=p", "Б=А"}, {"В=Б"}, {}},
    {"a name not found swallows the next", {"А=p", "Б=Х*А"}, {"В=Б"},
     {{"unused-element", 3, 1, "А"}, {"unknown-name", 4, 3, "Х*А"}}},
    {"a Latin P in an output", {"РЕЛ=p"}, {"Л=PЕЛ"},
     {{"unused-element", 3, 1, "РЕЛ"}, {"look-alike", 5, 3, "PЕЛ"}}},
    {"a trailing blank", {"И=p", "Б=И "}, {"В=Б"}, {{"unused-element", 3, 1, "И"}, {"look-alike", 4, 3, "И "}}},
    {"another case", {"Ин=p", "Б=ИН"}, {"В=Б*Ин"}, {{"look-alike", 4, 3, "ИН"}}},
    {"a Cyrillic р for the input", {"И=р"}, {"В=И"}, {{"look-alike", 3, 3, "р"}}},
    {"a name run into p in an element function", {"А=p", "Б=Аp"}, {"В=Б"},
     {{"unused-element", 3, 1, "А"}, {"name-into-p", 4, 3, "А"}}},
    {"a name run into p in an output function", {"А=p"}, {"В=Аp"}, {{"name-into-p", 5, 3, "Аp"}}},
    {"a name run into the next name", {"А=p", "Б=p", "ХБ=А*Б", "Ц=Х*Б"}, {},
     {{"unused-element", 6, 1, "Ц"}, {"merged-name", 6, 3, "Х*Б"}}},
    {"a name dropped by a minus", {"А=p", "Б=p", "Ц=А-Б"}, {"В=Ц"},
     {{"unused-element", 3, 1, "А"}, {"dropped-name", 5, 3, "А"}}},
    {"a trailing minus negates the next term", {"А=p", "Б=А*-+А"}, {"В=Б"},
     {{"constant-function", 4, 1}, {"trailing-minus", 4, 5}}},
    {"a double minus", {"А=p", "Б=--А"}, {"В=Б"}, {{"double-minus", 4, 4}}},
    // The first minus waits past the dropped name: the name's finding says it.
    {"a minus pending across a dropped name", {"А=p", "Б=-Х-А"}, {"В=Б"}, {{"dropped-name", 4, 4, "Х"}}},
    {"a blank inside a name", {"Р1=p"}, {"В=Р 1"}, {{"unused-element", 3, 1, "Р1"}, {"look-alike", 5, 3, "Р 1"}}},
    {"a leading star and an empty term", {"А=p", "Б=*А+"}, {"В=Б"},
     {{"stray-star", 4, 3}, {"empty-term", 4, 6}}},
    {"duplicate names", {"А=p", "А=А"}, {"В=А", "В=А"},
     {{"duplicate-name", 4, 1, "А"}, {"duplicate-name", 7, 1, "В"}}},
    {"an output that is never 1", {"А=p", "Б=А"}, {"В=А*-А"},
     {{"unused-element", 4, 1, "Б"}, {"constant-function", 6, 1}, {"contradictory-term", 6, 3}}},
    {"a name that no function can read", {"А=p", "Пуpск=А"}, {"В=А"}, {{"unreadable-name", 4, 1, "Пуpск"}}},
    // Both the excitation and the state are watched, and one of them
    // changes at every step; the delays are one step, so the check looks
    // from step 10 on.
    {"a relay that never settles", {"А=-А"}, {"В=А"},
     {{"never-settles", 3, 1, "А"}, {"never-settles", 3, 1, "А"}}},
};

TEST(ModelCheck, FindsWhatTheLanguageReads)
{
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        const std::vector<Finding> findings = CheckModelText(QStringLiteral("m.mod"), modelText(c), QString());
        ASSERT_EQ(findings.size(), c.findings.size());
        for (size_t k = 0; k < findings.size(); ++k) {
            SCOPED_TRACE(findings[k].message.toStdString());
            EXPECT_EQ(findings[k].kind, QString::fromUtf8(c.findings[k].kind));
            EXPECT_EQ(findings[k].line, c.findings[k].line);
            EXPECT_EQ(findings[k].column, c.findings[k].column);
            EXPECT_EQ(findings[k].operand, QString::fromUtf8(c.findings[k].operand));
            EXPECT_EQ(findings[k].file, QStringLiteral("m.mod"));
        }
    }
}

TEST(ModelCheck, SaysWhatATermIsReadAsAndWhereADeviceStillChanges)
{
    const std::vector<Finding> unknown =
        CheckModelText(QStringLiteral("m.mod"), modelText({"", {"Б=p", "КЖ=Б*-Ж3"}, {"В=КЖ"}, {}}), QString());
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].message, QStringLiteral("«Ж3» не найдено: терм читается как «Б»"));
    EXPECT_EQ(unknown[0].severity, Severity::Error);

    // The nearest element names are offered, and the term is shown in the
    // order written.
    const std::vector<Finding> misspelt =
        CheckModelText(QStringLiteral("m.mod"), modelText({"", {"Р1=p", "Р2=Р1"}, {"В=Р2*Р1*Р11"}, {}}), QString());
    ASSERT_EQ(misspelt.size(), 1u);
    EXPECT_EQ(misspelt[0].message, QStringLiteral("«Р11» не найдено: терм читается как «Р2*Р1»; может быть, «Р1»?"));
    const std::vector<Finding> blank =
        CheckModelText(QStringLiteral("m.mod"), modelText({"", {"Р1=p", "Р2=Р1"}, {"В=-Р2*Р 1"}, {}}), QString());
    ASSERT_EQ(blank.size(), 1u);
    EXPECT_EQ(blank[0].message, QStringLiteral("«Р 1» не найдено, но похоже на элемент «Р1» (отличается: пробел в имени): "
                                               "терм читается как «-Р2»"));

    const std::vector<Finding> oscillator =
        CheckModelText(QStringLiteral("m.mod"), modelText({"", {"А=-А"}, {"В=А"}, {}}), QString());
    ASSERT_EQ(oscillator.size(), 2u);
    EXPECT_TRUE(oscillator[0].message.contains(QStringLiteral("входе 0"))) << oscillator[0].message.toStdString();
    EXPECT_TRUE(oscillator[0].message.contains(QStringLiteral("на шаге 11"))) << oscillator[0].message.toStdString();
    EXPECT_TRUE(oscillator[1].message.contains(QStringLiteral("входе 1")));
}

TEST(ModelCheck, ReportsTimingAndUnreadableModelsWithTheirPlace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString timing = dir.filePath(QStringLiteral("m.tim"));
    QFile file(timing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0.005\r\n  abc\r\n100\r\n");
    file.close();
    const std::vector<Finding> findings =
        CheckModelText(QStringLiteral("m.mod"), modelText({"", {"А=p"}, {"В=А"}, {}}), timing);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].kind, QStringLiteral("timing-under-step"));
    EXPECT_EQ(findings[0].severity, Severity::Warning);
    EXPECT_EQ(findings[0].file, timing);
    EXPECT_EQ(std::pair(findings[0].line, findings[0].column), std::pair(1, 1));
    EXPECT_EQ(findings[1].kind, QStringLiteral("timing-not-number"));
    EXPECT_EQ(std::pair(findings[1].line, findings[1].column), std::pair(2, 3));

    // A decimal comma: "0,25" is read as 0 and 25, and the rest slides by one.
    file.setFileName(timing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("0,25\r\n0.3\r\n100\r\n");
    file.close();
    const std::vector<Finding> comma =
        CheckModelText(QStringLiteral("m.mod"), modelText({"", {"А=p"}, {"В=А"}, {}}), timing);
    const std::pair<const char *, std::pair<int, int>> commaFindings[] = {
        {"timing-under-step", {1, 1}}, // the pickup time 0
        {"timing-decimal-comma", {1, 2}},
        {"timing-zero-run", {2, 1}}, // 0.3 steps as the run length
        {"timing-extra-values", {3, 1}},
    };
    ASSERT_EQ(comma.size(), std::size(commaFindings));
    for (size_t k = 0; k < comma.size(); ++k) {
        EXPECT_EQ(comma[k].kind, QString::fromUtf8(commaFindings[k].first));
        EXPECT_EQ(std::pair(comma[k].line, comma[k].column), commaFindings[k].second) << comma[k].kind.toStdString();
    }
    EXPECT_EQ(comma[1].severity, Severity::Error);
    EXPECT_EQ(comma[1].message, QStringLiteral("десятичная запятая: «0,25» читается как два числа 0 и 25; в файле времён "
                                               "дробную часть отделяет точка"));

    const std::vector<Finding> broken = CheckModelText(QStringLiteral("m.mod"), QStringLiteral("Т\r\n два\r\n"), QString());
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0].kind, QStringLiteral("model-file"));
    EXPECT_EQ(broken[0].line, 2);
    EXPECT_TRUE(HasErrors(broken));
}

TEST(ModelCheck, FindsNoErrorInTheExamples)
{
    for (const char *name : {"stick-relay", "code-present", "decoder"}) {
        const QString model = QStringLiteral(EXAMPLES_DIR "/%1.mod").arg(QString::fromUtf8(name));
        const std::vector<Finding> findings = CheckModelFile(model, TimingFileBeside(model));
        EXPECT_FALSE(TimingFileBeside(model).isEmpty());
        EXPECT_FALSE(HasErrors(findings)) << name << ": " << (findings.empty() ? "" : findings[0].message.toStdString());
    }
}

} // namespace
