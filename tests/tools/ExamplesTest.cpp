// The three example devices, run through modelrun, against the step numbers
// worked out by hand for them (КПТШ-5 unless a case says otherwise).

#include "tests/tools/ModelrunProcess.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Spans = std::vector<std::pair<int, int>>;

// Which cells count: a state 1 (░, or ▓ for an element still up), or one glyph.
enum class Shows { Up, Pickup, Release };

struct Fact
{
    const char *title;
    const char *example;
    const char *options;
    int column; // -1: every column
    Shows shows;
    int from, to; // the window of steps looked at
    Spans expected; // the steps in the window that show it
};

QList<int> expand(const Spans &spans, int from, int to)
{
    QList<int> steps;
    for (int k = from; k <= to; ++k)
        for (const auto &[first, last] : spans)
            if (k >= first && k <= last) {
                steps.append(k);
                break;
            }
    return steps;
}

QList<int> showing(const Diagram &diagram, int column, Shows shows, int from, int to)
{
    QList<int> steps;
    for (int k = from; k <= to && k <= diagram.rows.size(); ++k) {
        const QChar glyph = diagram.cell(k - 1, column);
        const bool match = shows == Shows::Up       ? glyph == Glyphs::On || glyph == Glyphs::ReleasePending
                           : shows == Shows::Pickup ? glyph == Glyphs::PickupPending
                                                    : glyph == Glyphs::ReleasePending;
        if (match)
            steps.append(k);
    }
    return steps;
}

Diagram runExample(const char *example, const char *options, int *status)
{
    const QString base = QStringLiteral(EXAMPLES_DIR "/") + QString::fromUtf8(example);
    QStringList arguments{base + QStringLiteral(".mod"), QStringLiteral("--timing"), base + QStringLiteral(".tim")};
    arguments += QString::fromUtf8(options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const ModelrunResult result = RunModelrun(arguments);
    *status = result.status;
    return ParseDiagram(result.out);
}

void check(const std::vector<Fact> &facts, int expectedColumns)
{
    for (const Fact &fact : facts) {
        SCOPED_TRACE(fact.title);
        int status = -1;
        const Diagram diagram = runExample(fact.example, fact.options, &status);
        ASSERT_EQ(status, 0);
        ASSERT_GE(diagram.rows.size(), fact.to);
        const int first = fact.column < 0 ? 0 : fact.column;
        const int last = fact.column < 0 ? expectedColumns - 1 : fact.column;
        for (int c = first; c <= last; ++c)
            EXPECT_EQ(showing(diagram, c, fact.shows, fact.from, fact.to), expand(fact.expected, fact.from, fact.to))
                << "column " << c;
    }
}

// Stick relay: 0 input, 1 Ф, 2 ГФ, 3 ВЫХ; 400 steps.
TEST(Examples, StickRelay)
{
    check({
              {"no code: all 0", "stick-relay", "--code 0", -1, Shows::Up, 1, 400, {}},
              {"code 1: ВЫХ from 2 except 76-81 and every 80", "stick-relay", "--code 1", 3, Shows::Up, 1, 400,
               {{2, 75}, {82, 155}, {162, 235}, {242, 315}, {322, 395}}},
              {"code 1: ГФ pickup shown from 24", "stick-relay", "--code 1", 2, Shows::Pickup, 1, 74, {{24, 73}}},
              {"code 1: ГФ up at 74", "stick-relay", "--code 1", 2, Shows::Up, 1, 74, {{74, 74}}},
              {"code 2: ВЫХ 0 on 141-161, 301-321", "stick-relay", "--code 2", 3, Shows::Up, 1, 400,
               {{2, 140}, {162, 300}, {322, 400}}},
              {"code 2: ГФ only pending in the short interval", "stick-relay", "--code 2", 2, Shows::Pickup, 39, 50,
               {{39, 50}}},
              {"code 3: ВЫХ 0 on 156-161, 316-321", "stick-relay", "--code 3", 3, Shows::Up, 1, 400,
               {{2, 155}, {162, 315}, {322, 400}}},
              {"key 1 at 50, 0 at 100: ВЫХ 51-151", "stick-relay", "--key 50:1 --key 100:0", 3, Shows::Up, 1, 400,
               {{51, 151}}},
              {"key 1 at 50, 0 at 100: ГФ up at 150", "stick-relay", "--key 50:1 --key 100:0", 2, Shows::Up, 1, 150,
               {{150, 150}}},
          },
          4);
}

// Pulse relay, repeater and "code present": 0 input, 1 И, 2 ИП, 3 Б, 4 Б2,
// 5 КОД; 400 steps.
TEST(Examples, CodePresent)
{
    std::vector<Fact> facts;
    for (const char *options : {"--code 1", "--code 2", "--code 3", "--code 1 --kpt 7", "--code 2 --kpt 7",
                                "--code 3 --kpt 7"}) {
        facts.push_back({"И up at 3", "code-present", options, 1, Shows::Up, 1, 3, {{3, 3}}});
        facts.push_back({"ИП up at 5", "code-present", options, 2, Shows::Up, 1, 5, {{5, 5}}});
        facts.push_back({"Б up at 7", "code-present", options, 3, Shows::Up, 1, 7, {{7, 7}}});
        facts.push_back({"КОД from 7 on", "code-present", options, 5, Shows::Up, 1, 400, {{7, 400}}});
    }
    // Code 1 pulses on 1-23, 81-103, ...: a change of the input reaches Б's
    // excitation 5 steps later (И changes after 2 steps, ИП reads it one step
    // late and changes after 1, Б reads ИП one step late), so Б is seen
    // releasing from the 6th step of each interval to the 5th step of the
    // next pulse, and Б2 likewise from the 6th step of each pulse.
    facts.push_back({"code 1: Б releasing in every interval", "code-present", "--code 1", 3, Shows::Release, 1, 400,
                     {{29, 85}, {109, 165}, {189, 245}, {269, 325}, {349, 400}}});
    facts.push_back({"code 1: Б2 releasing in every pulse", "code-present", "--code 1", 4, Shows::Release, 1, 400,
                     {{6, 28}, {86, 108}, {166, 188}, {246, 268}, {326, 348}}});
    facts.push_back({"no code: КОД 0", "code-present", "--code 0", 5, Shows::Up, 1, 400, {}});
    facts.push_back({"code 1, no code at 200: last pulse ends at 183", "code-present", "--code 1 --key 200:)", 0,
                     Shows::Up, 161, 400, {{161, 183}}});
    facts.push_back({"code 1, no code at 200: КОД 0 from 289", "code-present", "--code 1 --key 200:)", 5, Shows::Up,
                     1, 400, {{7, 288}}});
    facts.push_back({"constant 1 from 50: КОД 56-114", "code-present", "--key 50:1", 5, Shows::Up, 1, 400,
                     {{56, 114}}});
    facts.push_back({"feed on И at 200: КОД 0 from 265", "code-present", "--code 1 --fault 200:1:2", 5, Shows::Up,
                     1, 400, {{7, 264}}});
    check(facts, 6);
}

// Decoder: 0 input, 1 И, 2 Б, 3 Д, 4 П, 5 ЖЗ, 6 КЖ, 7 ЛКЖ, 8 ЛЖЗ; 600 steps.
TEST(Examples, Decoder)
{
    check({
              {"code 1: ЛКЖ from 75", "decoder", "--code 1", 7, Shows::Up, 1, 600, {{75, 600}}},
              {"code 1: ЛЖЗ stays 0", "decoder", "--code 1", 8, Shows::Up, 1, 600, {}},
              {"code 1, КПТШ-7: ЛКЖ from 75", "decoder", "--code 1 --kpt 7", 7, Shows::Up, 1, 600, {{75, 600}}},
              {"code 1, КПТШ-7: ЛЖЗ stays 0", "decoder", "--code 1 --kpt 7", 8, Shows::Up, 1, 600, {}},
              {"code 2: ЛЖЗ from 54", "decoder", "--code 2", 8, Shows::Up, 1, 600, {{54, 600}}},
              {"code 2: ЛКЖ stays 0", "decoder", "--code 2", 7, Shows::Up, 1, 600, {}},
              {"code 2: КЖ pending for 50 steps", "decoder", "--code 2", 6, Shows::Pickup, 1, 600, {{5, 54}}},
              {"code 2: КЖ never up", "decoder", "--code 2", 6, Shows::Up, 1, 600, {}},
              {"code 2, КПТШ-7: ЛЖЗ from 56", "decoder", "--code 2 --kpt 7", 8, Shows::Up, 1, 600, {{56, 600}}},
              {"code 2, КПТШ-7: ЛКЖ stays 0", "decoder", "--code 2 --kpt 7", 7, Shows::Up, 1, 600, {}},
              {"code 3: ЛЖЗ from 51", "decoder", "--code 3", 8, Shows::Up, 1, 600, {{51, 600}}},
              {"code 3: ЛКЖ stays 0", "decoder", "--code 3", 7, Shows::Up, 1, 600, {}},
              {"no code: all 0", "decoder", "--code 0", -1, Shows::Up, 1, 600, {}},
              {"code 2 then 1 at 300: ЛЖЗ out at 401", "decoder", "--code 2 --key 300:!", 8, Shows::Up, 1, 600,
               {{54, 400}}},
              {"code 2 then 1 at 300: ЛКЖ at 472", "decoder", "--code 2 --key 300:!", 7, Shows::Up, 1, 600,
               {{472, 600}}},
              {"code 1 then none at 300: ЛКЖ out from 368", "decoder", "--code 1 --key 300:)", 7, Shows::Up, 1, 600,
               {{75, 367}}},
              {"code 3 then none at 300: ЛЖЗ out from 366", "decoder", "--code 3 --key 300:)", 8, Shows::Up, 1, 600,
               {{51, 365}}},
              {"constant 1 from 50: ЛКЖ at 124", "decoder", "--key 50:1", 7, Shows::Up, 1, 600, {{124, 600}}},
          },
          9);
}

} // namespace
