#include "model/CompiledFunctions.h"
#include "model/ContactFault.h"
#include "model/ContactSensitivity.h"
#include "tests/model/LiteralFunctions.h"

#include <QStringList>

#include <random>

#include <gtest/gtest.h>

namespace {

using Bits = FunctionProgram::Bits;

void setFunction(int16_t &termCount, QString *terms, const QString &function)
{
    const QStringList parts = function.split(u'+');
    termCount = int16_t(parts.size());
    for (int t = 1; t <= termCount; ++t)
        terms[t] = parts[t - 1];
}

// Relays А and Б with empty functions, and В with the function under test.
ModelDefinition threeRelays(const QString &function)
{
    ModelDefinition definition;
    definition.ElemCount = 3;
    const QStringList names = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")};
    for (int k = 1; k <= 3; ++k) {
        definition.ElemName[k] = names[k - 1];
        setFunction(definition.ElemTermCount[k], definition.ElemTerm[k].data(), k == 3 ? function : QString());
    }
    return definition;
}

// Worked out by hand from the reading of the function: truth[4p + 2А + Б]
// is the value of В with the fault in force.
TEST(ContactFault, WeldedAndOpenContactsByHand)
{
    struct Case
    {
        QString function;
        QString contact;
        uint8_t kind;
        const char *truth;
    };
    const Case cases[] = {
        {QStringLiteral("А*Б"), QStringLiteral("В/1/А"), ContactWelded, "01010101"},   // just Б
        {QStringLiteral("-А*Б"), QStringLiteral("В/1/-А"), ContactWelded, "01010101"}, // back contact welded: Б
        {QStringLiteral("-А*Б"), QStringLiteral("В/1/Б"), ContactOpen, "00000000"},
        {QStringLiteral("А+Б"), QStringLiteral("В/2/Б"), ContactOpen, "00110011"},     // just А
        {QStringLiteral("p*А"), QStringLiteral("В/1/p"), ContactWelded, "00110011"},   // the track relay's contact
        // Ж3 is no element: "-" waits for the next name, so term 2 reads
        // as -А; the function is Б + -А.
        {QStringLiteral("Б*-Ж3+А"), QStringLiteral("В/2/-А"), ContactOpen, "01010101"},
        {QStringLiteral("Б*-Ж3+А"), QStringLiteral("В/2/-А"), ContactWelded, "11111111"},
        {QStringLiteral("Б*-Ж3+А"), QStringLiteral("В/1/Б"), ContactWelded, "11111111"},
        // Two contacts of one relay in a term: the other still opens.
        {QStringLiteral("Б*Б"), QStringLiteral("В/1/Б/2"), ContactWelded, "01010101"},
        // X and not X never holds, until one of them welds.
        {QStringLiteral("А*-А+Б"), QStringLiteral("В/1/А"), ContactWelded, "11011101"},
    };
    for (const Case &c : cases) {
        const ModelDefinition definition = threeRelays(c.function);
        const std::expected<int, QString> contact = FindContact(definition, ModelContacts(definition), c.contact);
        ASSERT_TRUE(contact.has_value()) << c.contact.toStdString() << ": " << contact.error().toStdString();
        const FunctionProgram program(definition, {{*contact, c.kind}});
        for (int row = 0; row < 8; ++row) {
            const Bits values = Bits((row >> 2) & 1) | Bits((row >> 1) & 1) << 1 | Bits(row & 1) << 2;
            EXPECT_EQ((program.elementResults(values) >> 3) & 1, Bits(c.truth[row] - '0'))
                << c.function.toStdString() << " " << c.contact.toStdString() << " row " << row;
        }
    }

    const ModelDefinition repeated = threeRelays(QStringLiteral("Б*Б"));
    const std::vector<Contact> contacts = ModelContacts(repeated);
    EXPECT_EQ(ContactName(repeated, contacts[1]), QStringLiteral("контакт Б в функции В, терм 1 (2-й такой в терме)"));
    EXPECT_EQ(FindContact(repeated, contacts, QStringLiteral("В/1/Г")).error(),
              QStringLiteral("в терме 1 функции В нет контакта «Г»; есть Б, Б/2"));
}

// An output may bear an element's name; its contacts are then addressed
// with the output mark, and every address leads back to its own contact.
TEST(ContactFault, AnOutputWithAnElementsNameIsAddressedWithTheOutputMark)
{
    ModelDefinition definition = threeRelays(QStringLiteral("А*-Б"));
    definition.OutCount = 2;
    definition.OutName[1] = QStringLiteral("В");
    setFunction(definition.OutTermCount[1], definition.OutTerm[1].data(), QStringLiteral("p+В*В"));
    definition.OutName[2] = QStringLiteral("ЛВ");
    setFunction(definition.OutTermCount[2], definition.OutTerm[2].data(), QStringLiteral("-В"));
    const std::vector<Contact> contacts = ModelContacts(definition);
    const QStringList expected = {QStringLiteral("В/1/А"), QStringLiteral("В/1/-Б"), QStringLiteral("выход/В/1/p"),
                                  QStringLiteral("выход/В/2/В"), QStringLiteral("выход/В/2/В/2"),
                                  QStringLiteral("ЛВ/1/-В")};
    ASSERT_EQ(contacts.size(), size_t(expected.size()));
    for (size_t k = 0; k < contacts.size(); ++k) {
        const QString address = ContactAddress(definition, contacts[k]);
        EXPECT_EQ(address, expected[qsizetype(k)]);
        EXPECT_EQ(FindContact(definition, contacts, address), int(k) + 1) << address.toStdString();
    }
    EXPECT_EQ(ContactName(definition, contacts[2]), QStringLiteral("контакт p в функции выхода В, терм 1"));
    EXPECT_EQ(ContactName(definition, contacts[5]), QStringLiteral("контакт -В в функции ЛВ, терм 1"));
    // The element's own name still means the element.
    EXPECT_EQ(FindContact(definition, contacts, QStringLiteral("В/2/В")).error(),
              QStringLiteral("в функции В термов: 1"));
}

// Function texts from pieces that misspell, join and negate across terms.
ModelDefinition randomDefinition(std::mt19937 &random)
{
    static const QStringList pieces = {
        QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"), QStringLiteral("А*"), QStringLiteral("Б*"),
        QStringLiteral("-В*"), QStringLiteral("p*"), QStringLiteral("X"), QStringLiteral("p"), QStringLiteral("-"),
        QStringLiteral("*"), QStringLiteral("Бp"), QStringLiteral("-p"), QStringLiteral("-А*"),
    };
    static const QStringList names = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"), QStringLiteral("АБ")};
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto function = [&] {
        QStringList terms;
        for (int t = pick(1, 4); t > 0; --t) {
            QString term;
            for (int n = pick(0, 5); n > 0; --n)
                term += pieces[pick(0, int(pieces.size()) - 1)];
            terms << term;
        }
        return terms.join(u'+');
    };
    ModelDefinition definition;
    definition.ElemCount = int16_t(pick(1, 4));
    definition.OutCount = int16_t(pick(1, 3));
    for (int i = 1; i <= definition.ElemCount; ++i) {
        definition.ElemName[i] = names[pick(0, int(names.size()) - 1)];
        setFunction(definition.ElemTermCount[i], definition.ElemTerm[i].data(), function());
    }
    for (int j = 1; j <= definition.OutCount; ++j)
        setFunction(definition.OutTermCount[j], definition.OutTerm[j].data(), function());
    return definition;
}

// Each function as the OR of its terms and each term as the AND of its
// contacts, with one contact forced closed or open.
Bits naiveResults(const ModelDefinition &definition, const std::vector<Contact> &contacts, bool outputs, Bits values,
                  const ContactFault &fault)
{
    Bits results = 0;
    const int count = outputs ? definition.OutCount : definition.ElemCount;
    for (int f = 1; f <= count; ++f) {
        const int terms = outputs ? definition.OutTermCount[f] : definition.ElemTermCount[f];
        for (int t = 1; t <= terms; ++t) {
            bool holds = true;
            for (size_t n = 0; n < contacts.size(); ++n) {
                const Contact &c = contacts[n];
                if (c.inOutput != outputs || c.function != f || c.term != t)
                    continue;
                const bool closed = fault.contact == int(n) + 1 ? fault.kind == ContactWelded
                                                                : (((values >> c.relay) & 1) != 0) != c.back;
                holds = holds && closed;
            }
            if (holds) {
                results |= Bits(1) << f;
                break;
            }
        }
    }
    return results;
}

// The contact list reads the functions as the literal walk does; a program
// with a contact fault equals the naive evaluation with that contact
// forced; and the sensitivity names exactly the faults that change a result.
TEST(ContactFault, VariantProgramsAgreeWithForcedContactsOnRandomDevices)
{
    std::mt19937 random(20261208);
    int changed = 0;
    for (int model = 0; model < 400; ++model) {
        const ModelDefinition definition = randomDefinition(random);
        const std::vector<Contact> contacts = ModelContacts(definition);
        const ContactSensitivity sensitivity(definition, contacts);
        std::vector<FunctionProgram> variants;
        for (const uint8_t kind : {ContactWelded, ContactOpen})
            for (size_t n = 0; n < contacts.size(); ++n)
                variants.emplace_back(definition, std::vector<ContactFault>{{int(n) + 1, kind}});
        for (int sample = 0; sample < 6; ++sample) {
            const Bits values = Bits(random()) & ((Bits(2) << definition.ElemCount) - 1);
            RunSignals literal;
            literal.InputVal[1] = int16_t(values & 1);
            for (int k = 1; k <= definition.ElemCount; ++k)
                literal.ElemState[k] = {int16_t((values >> k) & 1), int16_t((values >> k) & 1)};
            Literal::EvalElements(definition, literal);
            Literal::EvalOutputs(definition, literal);
            Bits literalElements = 0;
            Bits literalOutputs = 0;
            for (int i = 1; i <= definition.ElemCount; ++i)
                literalElements |= Bits(literal.Excit[i][1]) << i;
            for (int j = 1; j <= definition.OutCount; ++j)
                literalOutputs |= Bits(literal.OutState[j][1]) << j;
            ASSERT_EQ(naiveResults(definition, contacts, false, values, {}), literalElements) << "model " << model;
            ASSERT_EQ(naiveResults(definition, contacts, true, values, {}), literalOutputs) << "model " << model;

            std::vector<ContactFault> flips;
            sensitivity.elementFlips(values, flips);
            std::vector<ContactFault> outputFlips;
            sensitivity.outputFlips(values, outputFlips);
            flips.insert(flips.end(), outputFlips.begin(), outputFlips.end());
            size_t v = 0;
            for (const uint8_t kind : {ContactWelded, ContactOpen})
                for (size_t n = 0; n < contacts.size(); ++n, ++v) {
                    const ContactFault fault{int(n) + 1, kind};
                    const Bits elements = variants[v].elementResults(values);
                    const Bits outputs = variants[v].outputResults(values);
                    ASSERT_EQ(elements, naiveResults(definition, contacts, false, values, fault))
                        << "model " << model << " contact " << n + 1 << " kind " << int(kind);
                    ASSERT_EQ(outputs, naiveResults(definition, contacts, true, values, fault))
                        << "model " << model << " contact " << n + 1 << " kind " << int(kind);
                    const bool differs = elements != literalElements || outputs != literalOutputs;
                    EXPECT_EQ(differs, std::ranges::find(flips, fault) != flips.end())
                        << "model " << model << " contact " << n + 1 << " kind " << int(kind);
                    changed += differs;
                }
        }
    }
    EXPECT_GT(changed, 1000); // the faults really change results
}

} // namespace
