#include "model/ContactFault.h"
#include "model/ModelFile.h"
#include "schematic/Schematic.h"
#include "schematic/SchematicPages.h"
#include "tests/schematic/PdfPages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace schematic;
using Kind = Item::Kind;

ModelDefinition definitionOf(const QString &text)
{
    const auto definition = ReadModelText(QStringLiteral("test.mod"), text);
    EXPECT_TRUE(definition) << definition.error().message.toStdString();
    return definition.value_or(ModelDefinition{});
}

// One item as the test expects it: kind, label, row, column, marked.
struct Expected
{
    Kind kind;
    const char *label;
    int row, column;
    bool marked;
};

TEST(SchematicLayout, PlacesContactsAsTheLanguageReadsThem)
{
    const ModelDefinition definition = definitionOf(QStringLiteral(
        "Проба\n7\nА=p\nБ=А*-В\nВ=А+Б*p\nГ=А*ХХ\nД=А*Б*В*А*Б*В*А*Б*В*А+Б\nЕ=Х*А\nЖ=А*-+Б\n0\n"));
    const Schematic schematic = BuildSchematic(definition);
    const struct
    {
        const char *what;
        int rowCount;
        std::vector<int> branchRows;
        std::vector<Expected> items; // all branches, in order
    } cases[] = {
        {"input", 1, {0}, {{Kind::Front, "p", 0, 0, false}}},
        {"series with a back contact", 1, {0}, {{Kind::Front, "А", 0, 0, false}, {Kind::Back, "В", 0, 1, false}}},
        {"parallel", 2, {0, 1},
         {{Kind::Front, "А", 0, 0, false}, {Kind::Front, "Б", 1, 0, false}, {Kind::Front, "p", 1, 1, false}}},
        {"unknown name dropped", 1, {0}, {{Kind::Front, "А", 0, 0, false}, {Kind::Dropped, "ХХ", 0, 1, true}}},
        {"ten contacts wrap after eight", 3, {0, 2},
         {{Kind::Front, "А", 0, 0, false}, {Kind::Front, "Б", 0, 1, false}, {Kind::Front, "В", 0, 2, false},
          {Kind::Front, "А", 0, 3, false}, {Kind::Front, "Б", 0, 4, false}, {Kind::Front, "В", 0, 5, false},
          {Kind::Front, "А", 0, 6, false}, {Kind::Front, "Б", 0, 7, false}, {Kind::Front, "В", 1, 0, false},
          {Kind::Front, "А", 1, 1, false}, {Kind::Front, "Б", 2, 0, false}}},
        // "Х" is not found at "*" and runs on into "ХА", which is not found either.
        {"name run into the next one", 1, {0}, {{Kind::Dropped, "Х*А", 0, 0, true}}},
        // The "-" at the end of the first term negates the first name of the next.
        {"leftover negation", 2, {0, 1}, {{Kind::Front, "А", 0, 0, false}, {Kind::Back, "Б", 1, 0, true}}},
    };
    ASSERT_EQ(schematic.rungs.size(), std::size(cases));
    for (size_t r = 0; r < std::size(cases); ++r) {
        const auto &expected = cases[r];
        const Rung &rung = schematic.rungs[r];
        SCOPED_TRACE(expected.what);
        EXPECT_EQ(rung.number, int(r) + 1);
        EXPECT_EQ(rung.rowCount, expected.rowCount);
        std::vector<int> rows;
        std::vector<const Item *> items;
        for (const Branch &branch : rung.branches) {
            rows.push_back(branch.row);
            for (const Item &item : branch.items)
                items.push_back(&item);
        }
        EXPECT_EQ(rows, expected.branchRows);
        ASSERT_EQ(items.size(), expected.items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i]->kind, expected.items[i].kind) << i;
            EXPECT_EQ(items[i]->label, QString::fromUtf8(expected.items[i].label)) << i;
            EXPECT_EQ(items[i]->row, expected.items[i].row) << i;
            EXPECT_EQ(items[i]->column, expected.items[i].column) << i;
            EXPECT_EQ(!items[i]->note.isEmpty(), expected.items[i].marked) << i;
        }
    }

    // A contact fault set on the drawing must reach the contact the run
    // numbers so: every drawn contact, and only those, in that order.
    const std::vector<Contact> contacts = ModelContacts(definition);
    int drawn = 0;
    for (const Rung &rung : schematic.rungs)
        for (const Branch &branch : rung.branches)
            for (const Item &item : branch.items) {
                if (item.kind == Kind::Dropped) {
                    EXPECT_EQ(item.contact, 0) << item.label.toStdString();
                    continue;
                }
                ++drawn;
                ASSERT_EQ(item.contact, drawn);
                const Contact &contact = contacts[size_t(drawn - 1)];
                EXPECT_EQ(contact.function, rung.index) << drawn;
                EXPECT_EQ(contact.inOutput, rung.kind == Rung::Kind::Output) << drawn;
                EXPECT_EQ(contact.term, branch.term + 1) << drawn;
                EXPECT_EQ(contact.relay, item.element) << drawn;
                EXPECT_EQ(contact.back, item.kind == Kind::Back) << drawn;
            }
    EXPECT_EQ(size_t(drawn), contacts.size());
}

TEST(SchematicLayout, CrossReferencesTheDecoder)
{
    const auto definition = ReadModelFile(QStringLiteral(EXAMPLES_DIR "/decoder"));
    ASSERT_TRUE(definition) << definition.error().toStdString();
    const Schematic schematic = BuildSchematic(*definition);
    // Rungs 1-6: И=p, Б=И, Д=И, П=-И*Д+П*Д, ЖЗ=И*П, КЖ=Б*-ЖЗ; 7-8: ЛКЖ=КЖ*-ЖЗ, ЛЖЗ=ЖЗ*Б.
    const struct
    {
        int element;
        std::vector<int> front, back;
    } expected[] = {
        {0, {1}, {}}, {1, {2, 3, 5}, {4}}, {2, {6, 8}, {}}, {3, {4}, {}},
        {4, {4, 5}, {}}, {5, {8}, {6, 7}}, {6, {7}, {}},
    };
    ASSERT_EQ(schematic.references.size(), 7u);
    for (const auto &e : expected) {
        EXPECT_EQ(schematic.references[size_t(e.element)].front, e.front) << e.element;
        EXPECT_EQ(schematic.references[size_t(e.element)].back, e.back) << e.element;
    }
}

TEST(SchematicPrint, BreaksPagesBetweenRungs)
{
    QTemporaryDir folder;
    // Twelve parallel terms make a rung of twelve rows: more than half an
    // A4 page, so each of the three takes a page of its own. The decoder's
    // eight short rungs fit on one.
    QString terms = QStringLiteral("p");
    for (int t = 1; t < 12; ++t)
        terms += QStringLiteral("+p");
    const ModelDefinition tall = definitionOf(
        QStringLiteral("Высокая\n3\nА=%1\nБ=%1\nВ=%1\n0\n").arg(terms));
    const auto decoder = ReadModelFile(QStringLiteral(EXAMPLES_DIR "/decoder"));
    ASSERT_TRUE(decoder);
    const struct
    {
        const char *name;
        ModelDefinition definition;
        int pages;
    } cases[] = {{"tall.pdf", tall, 3}, {"decoder.pdf", *decoder, 1}, {"empty.pdf", ModelDefinition{}, 1}};
    for (const auto &c : cases) {
        const Schematic schematic = BuildSchematic(c.definition);
        const SchematicPainter painter(schematic);
        const QString fileName = folder.filePath(QLatin1String(c.name));
        const auto written = ExportSchematic(painter, fileName);
        ASSERT_TRUE(written) << written.error().toStdString();
        EXPECT_EQ(PdfPageCount(fileName), c.pages) << c.name;
    }
}

TEST(SchematicExport, RefusesWhatItCannotWrite)
{
    const Schematic schematic = BuildSchematic(ModelDefinition{});
    const SchematicPainter painter(schematic);
    const auto noFolder = ExportSchematic(painter, QStringLiteral("/nonexistent/folder/schema.svg"));
    ASSERT_FALSE(noFolder);
    EXPECT_EQ(noFolder.error(), QStringLiteral("Не удаётся создать файл «/nonexistent/folder/schema.svg»"));
    const auto badSuffix = ExportSchematic(painter, QStringLiteral("schema.txt"));
    ASSERT_FALSE(badSuffix);
    EXPECT_TRUE(badSuffix.error().contains(QStringLiteral("«schema.txt»")));
}

} // namespace
