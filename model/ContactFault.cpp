#include "model/ContactFault.h"

#include "model/TermWalk.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace {

// The operands of one function, term by term in text order.
class ContactCollector final : public TermVisitor
{
public:
    ContactCollector(std::vector<Contact> &into, bool inOutput, int function)
        : m_into(into), m_inOutput(inOutput), m_function(function)
    {
    }

    void operand(int term, int element, bool negated, qsizetype from, qsizetype) override
    {
        Contact contact;
        contact.inOutput = m_inOutput;
        contact.function = m_function;
        contact.term = term + 1;
        contact.relay = element;
        contact.back = negated;
        contact.position = int(from) + 1;
        m_term.push_back(contact);
    }

    void termEnd(int, bool) override
    {
        // In an output function a name that runs on after "p" ends after
        // it, so the walk yields the "p" first.
        std::ranges::stable_sort(m_term, {}, &Contact::position);
        for (auto c = m_term.begin(); c != m_term.end(); ++c)
            c->repeat = 1 + int(std::count_if(m_term.begin(), c, [&](const Contact &before) {
                                return before.relay == c->relay && before.back == c->back;
                            }));
        m_into.insert(m_into.end(), m_term.begin(), m_term.end());
        m_term.clear();
    }

private:
    std::vector<Contact> &m_into;
    std::vector<Contact> m_term;
    bool m_inOutput;
    int m_function;
};

int termCountOf(const ModelDefinition &definition, bool inOutput, int function)
{
    return inOutput ? std::clamp<int>(definition.OutTermCount[function], 0, MaxOutTerms)
                    : std::clamp<int>(definition.ElemTermCount[function], 0, MaxElemTerms);
}

// The function an address names: element functions first, then outputs.
struct NamedFunction
{
    bool inOutput = false;
    int index = 0;
};

std::optional<int> elementNamed(const ModelDefinition &definition, QStringView name)
{
    for (int i = 1; i <= std::clamp<int>(definition.ElemCount, 0, MaxElements); ++i)
        if (definition.ElemName[i] == name)
            return i;
    return std::nullopt;
}

std::optional<int> outputNamed(const ModelDefinition &definition, QStringView name)
{
    for (int j = 1; j <= std::clamp<int>(definition.OutCount, 0, MaxOutputs); ++j)
        if (definition.OutName[j] == name)
            return j;
    return std::nullopt;
}

// An output's function that an element's name would hide.
bool outputWithElementsName(const ModelDefinition &definition, const Contact &contact)
{
    return contact.inOutput && elementNamed(definition, FunctionName(definition, contact));
}

// The function an address names: an element's before an output's of the
// same name, which the output mark reaches.
std::optional<NamedFunction> functionNamed(const ModelDefinition &definition, const QString &name)
{
    if (const std::optional<int> element = elementNamed(definition, name))
        return NamedFunction{false, *element};
    if (const std::optional<int> output = outputNamed(definition, name))
        return NamedFunction{true, *output};
    if (name.startsWith(OutputAddressMark))
        if (const std::optional<int> output = outputNamed(definition, QStringView(name).sliced(OutputAddressMark.size())))
            return NamedFunction{true, *output};
    return std::nullopt;
}

const QRegularExpression &addressPattern()
{
    // ФУНКЦИЯ/ТЕРМ/КОНТАКТ[/N]; a function name may itself hold "/".
    static const QRegularExpression pattern(QStringLiteral("^(.+)/(\\d+)/(.+?)(?:/(\\d+))?$"));
    return pattern;
}

} // namespace

bool IsContactFaultKind(uint8_t kind) { return kind == ContactWelded || kind == ContactOpen; }

uint8_t ContactFaultOf(const std::vector<ContactFault> &faults, int contact)
{
    const auto found = std::ranges::find(faults, contact, &ContactFault::contact);
    return found == faults.end() ? 0 : found->kind;
}

void ReplaceContactFault(std::vector<ContactFault> &faults, int contact, uint8_t kind)
{
    std::erase_if(faults, [contact](const ContactFault &fault) { return fault.contact == contact; });
    if (IsContactFaultKind(kind))
        faults.push_back({contact, kind});
}

std::vector<Contact> ModelContacts(const ModelDefinition &definition)
{
    std::vector<Contact> contacts;
    for (int i = 1; i <= std::clamp<int>(definition.ElemCount, 0, MaxElements); ++i) {
        ContactCollector collector(contacts, false, i);
        WalkTerms(definition, &definition.ElemTerm[i][1], termCountOf(definition, false, i), true, collector);
    }
    for (int j = 1; j <= std::clamp<int>(definition.OutCount, 0, MaxOutputs); ++j) {
        ContactCollector collector(contacts, true, j);
        WalkTerms(definition, &definition.OutTerm[j][1], termCountOf(definition, true, j), false, collector);
    }
    return contacts;
}

QString FunctionName(const ModelDefinition &definition, const Contact &contact)
{
    return contact.inOutput ? definition.OutName[contact.function] : definition.ElemName[contact.function];
}

QString ContactLabel(const ModelDefinition &definition, const Contact &contact)
{
    const QString relay = contact.relay == 0 ? QStringLiteral("p") : definition.ElemName[contact.relay];
    return contact.back ? QLatin1Char('-') + relay : relay;
}

QString ContactName(const ModelDefinition &definition, const Contact &contact)
{
    return ContactName(ContactLabel(definition, contact), FunctionName(definition, contact), contact.term,
                       contact.repeat, outputWithElementsName(definition, contact));
}

QString ContactName(const QString &label, const QString &function, int term, int repeat, bool outputWithElementsName)
{
    QString name = QStringLiteral("контакт %1 в функции %2%3, терм %4")
                       .arg(label, outputWithElementsName ? QStringLiteral("выхода ") : QString(), function)
                       .arg(term);
    if (repeat > 1)
        name += QStringLiteral(" (%1-й такой в терме)").arg(repeat);
    return name;
}

QString ContactFaultText(uint8_t kind)
{
    return kind == ContactWelded ? QStringLiteral("не размыкается") : QStringLiteral("не замыкается");
}

std::optional<uint8_t> ContactFaultKindNamed(const QString &word)
{
    QString key = word.trimmed();
    key.replace(QLatin1Char(' '), QLatin1Char('-'));
    if (key == QStringLiteral("не-размыкается"))
        return ContactWelded;
    if (key == QStringLiteral("не-замыкается"))
        return ContactOpen;
    if (key == QStringLiteral("норма"))
        return uint8_t(0);
    return std::nullopt;
}

QString ContactAddress(const QString &label, const QString &function, int term, int repeat)
{
    return QStringLiteral("%1/%2/%3").arg(function).arg(term).arg(label)
           + (repeat > 1 ? QLatin1Char('/') + QString::number(repeat) : QString());
}

QString ContactAddress(const ModelDefinition &definition, const Contact &contact)
{
    QString function = FunctionName(definition, contact);
    if (outputWithElementsName(definition, contact))
        function.prepend(OutputAddressMark);
    return ContactAddress(ContactLabel(definition, contact), function, contact.term, contact.repeat);
}

bool LooksLikeContactAddress(const QString &text) { return addressPattern().match(text).hasMatch(); }

std::expected<int, QString> FindContact(const ModelDefinition &definition, const std::vector<Contact> &contacts,
                                        const QString &address)
{
    const QRegularExpressionMatch match = addressPattern().match(address);
    if (!match.hasMatch())
        return std::unexpected(QStringLiteral("контакт задается как ФУНКЦИЯ/ТЕРМ/КОНТАКТ, например КЖ/1/-Б"));
    const QString functionText = match.captured(1);
    const std::optional<NamedFunction> function = functionNamed(definition, functionText);
    if (!function)
        return std::unexpected(QStringLiteral("нет элемента или выхода «%1»").arg(functionText));
    const int termCount = termCountOf(definition, function->inOutput, function->index);
    const int term = match.captured(2).toInt();
    if (term < 1 || term > termCount)
        return std::unexpected(QStringLiteral("в функции %1 термов: %2").arg(functionText).arg(termCount));
    const QString label = match.captured(3);
    const int repeat = match.captured(4).isEmpty() ? 1 : match.captured(4).toInt();
    QStringList present;
    for (size_t k = 0; k < contacts.size(); ++k) {
        const Contact &contact = contacts[k];
        if (contact.inOutput != function->inOutput || contact.function != function->index || contact.term != term)
            continue;
        if (ContactLabel(definition, contact) == label && contact.repeat == repeat)
            return int(k) + 1;
        present << ContactLabel(definition, contact)
                       + (contact.repeat > 1 ? QLatin1Char('/') + QString::number(contact.repeat) : QString());
    }
    const QString missing = QStringLiteral("в терме %1 функции %2 нет контакта «%3»")
                                .arg(term)
                                .arg(functionText, match.captured(3) + (repeat > 1 ? QStringLiteral("/%1").arg(repeat) : QString()));
    if (present.isEmpty())
        return std::unexpected(missing + QStringLiteral(": в нем нет контактов"));
    return std::unexpected(missing + QStringLiteral("; есть ") + present.join(QStringLiteral(", ")));
}
