#include "schematic/Schematic.h"

#include "model/TermWalk.h"

#include <algorithm>

namespace schematic {

namespace {

// Collects what the walk reads of one function as items in text order.
class BranchReader final : public TermVisitor
{
public:
    BranchReader(const ModelDefinition &definition, const QString *terms) : m_definition(definition), m_terms(terms) {}

    struct Placed
    {
        qsizetype from;
        Item item;
    };
    std::vector<std::vector<Placed>> terms;

    void operand(int term, int element, bool negated, qsizetype from, qsizetype to) override
    {
        Item item;
        item.kind = negated ? Item::Kind::Back : Item::Kind::Front;
        item.element = element;
        item.label = element == 0 ? QStringLiteral("p") : m_definition.ElemName[element];
        const QString raw = m_terms[term].mid(from, to - from);
        if (element != 0 && raw != item.label)
            item.note = QStringLiteral("«%1» читается как «%2»").arg(raw, item.label);
        if (negated && m_negationTerm != term)
            item.note = QStringLiteral("отрицание — «-» в конце предыдущего терма");
        add(term, from, std::move(item));
    }

    void unfound(int term, const QString &name, qsizetype from, qsizetype at) override
    {
        // A name not found at "*" runs on into the next one; only the end of
        // the term drops it.
        if (name.isEmpty() || at < m_terms[term].size())
            return;
        const QString raw = m_terms[term].mid(from, at - from);
        addDropped(term, from, raw, QStringLiteral("«%1» не найдено и отбрасывается").arg(raw));
    }

    void dropped(int term, const QString &, qsizetype from, qsizetype at) override
    {
        const QString raw = m_terms[term].mid(from, at - from);
        addDropped(term, from, raw,
                   m_terms[term][at] == QLatin1Char('-')
                       ? QStringLiteral("«%1» отбрасывается: «-» начинает новое имя").arg(raw)
                       : QStringLiteral("«%1» отбрасывается: p обрывает имя").arg(raw));
    }

    void negation(int term, qsizetype, bool) override { m_negationTerm = term; }

    void termEnd(int term, bool) override { placedOf(term); }

private:
    std::vector<Placed> &placedOf(int term)
    {
        if (terms.size() <= size_t(term))
            terms.resize(size_t(term) + 1);
        return terms[size_t(term)];
    }
    void add(int term, qsizetype from, Item item) { placedOf(term).push_back(Placed{from, std::move(item)}); }
    void addDropped(int term, qsizetype from, const QString &raw, const QString &note)
    {
        Item item;
        item.kind = Item::Kind::Dropped;
        item.label = raw;
        item.note = note;
        add(term, from, std::move(item));
    }

    const ModelDefinition &m_definition;
    const QString *m_terms;
    int m_negationTerm = -1;
};

Rung layOutRung(const ModelDefinition &definition, const QString *terms, int termCount, bool inputEndsName)
{
    BranchReader reader(definition, terms);
    WalkTerms(definition, terms, termCount, inputEndsName, reader);
    reader.terms.resize(size_t(termCount));
    Rung rung;
    int row = 0;
    for (int t = 0; t < termCount; ++t) {
        std::vector<BranchReader::Placed> &placed = reader.terms[size_t(t)];
        // The walk reports a dropped name after the "p" that cut it off.
        std::ranges::stable_sort(placed, {}, &BranchReader::Placed::from);
        Branch branch;
        branch.term = t;
        branch.row = row;
        for (size_t i = 0; i < placed.size(); ++i) {
            Item item = std::move(placed[i].item);
            item.row = row + int(i) / ContactsPerRow;
            item.column = int(i) % ContactsPerRow;
            branch.items.push_back(std::move(item));
        }
        branch.rowCount = std::max(1, int((placed.size() + ContactsPerRow - 1) / ContactsPerRow));
        if (terms[t].isEmpty())
            branch.note = QStringLiteral("пустой терм: всегда 1");
        row += branch.rowCount;
        rung.branches.push_back(std::move(branch));
    }
    rung.rowCount = std::max(1, row);
    return rung;
}

void addReference(std::vector<int> &rungs, int number)
{
    if (rungs.empty() || rungs.back() != number)
        rungs.push_back(number);
}

} // namespace

const Rung *Schematic::elementRung(int element) const
{
    const auto found = std::ranges::find_if(rungs, [&](const Rung &r) {
        return r.kind == Rung::Kind::Element && r.index == element;
    });
    return found == rungs.end() ? nullptr : &*found;
}

const Rung *Schematic::outputRung(int output) const
{
    const auto found = std::ranges::find_if(rungs, [&](const Rung &r) {
        return r.kind == Rung::Kind::Output && r.index == output;
    });
    return found == rungs.end() ? nullptr : &*found;
}

Schematic BuildSchematic(const ModelDefinition &definition, const std::optional<RelayTimes> &times)
{
    Schematic schematic;
    schematic.modelName = definition.ModelName;
    const int elementCount = std::clamp<int>(definition.ElemCount, 0, MaxElements);
    const int outputCount = std::clamp<int>(definition.OutCount, 0, MaxOutputs);
    for (int i = 1; i <= elementCount; ++i) {
        Rung rung = layOutRung(definition, &definition.ElemTerm[i][1],
                               std::clamp<int>(definition.ElemTermCount[i], 0, MaxElemTerms), true);
        rung.kind = Rung::Kind::Element;
        rung.index = i;
        rung.name = definition.ElemName[i];
        if (times) {
            rung.pickup = times->pickup[i];
            rung.release = times->release[i];
        }
        schematic.rungs.push_back(std::move(rung));
    }
    for (int j = 1; j <= outputCount; ++j) {
        Rung rung = layOutRung(definition, &definition.OutTerm[j][1],
                               std::clamp<int>(definition.OutTermCount[j], 0, MaxOutTerms), false);
        rung.kind = Rung::Kind::Output;
        rung.index = j;
        rung.name = definition.OutName[j];
        schematic.rungs.push_back(std::move(rung));
    }
    schematic.references.resize(size_t(elementCount) + 1);
    // Rungs, branches and items follow the functions, terms and text, the
    // order in which the contacts of a model are numbered.
    int contact = 0;
    for (size_t r = 0; r < schematic.rungs.size(); ++r) {
        Rung &rung = schematic.rungs[r];
        rung.number = int(r) + 1;
        for (Branch &branch : rung.branches)
            for (Item &item : branch.items) {
                if (item.kind == Item::Kind::Dropped)
                    continue;
                item.contact = ++contact;
                CrossReference &reference = schematic.references[size_t(item.element)];
                addReference(item.kind == Item::Kind::Front ? reference.front : reference.back, rung.number);
            }
    }
    return schematic;
}

} // namespace schematic
