#include "check/FunctionCheck.h"

#include "check/NearestNames.h"
#include "model/TermWalk.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <cstdint>

namespace {

using Bits = uint32_t; // bit 0 the input, bit k element k

// A product term as the walk reads it: its operands as sets, and in the
// order the user wrote them (each once), to show it back.
struct ReadTerm
{
    struct Operand
    {
        int element;
        bool negated;
        bool operator==(const Operand &) const = default;
    };
    Bits one = 0;
    Bits zero = 0;
    std::vector<Operand> written;
};

// A name with Latin look-alikes made Cyrillic, without blanks and in upper
// case: two names that a reader cannot tell apart become equal.
QString lookAlikeKey(const QString &name)
{
    static const QHash<QChar, QChar> cyrillicOf = {
        {u'A', u'А'}, {u'B', u'В'}, {u'C', u'С'}, {u'E', u'Е'}, {u'H', u'Н'}, {u'K', u'К'},
        {u'M', u'М'}, {u'O', u'О'}, {u'P', u'Р'}, {u'T', u'Т'}, {u'X', u'Х'}, {u'Y', u'У'},
    };
    QString key;
    for (const QChar c : name)
        if (!c.isSpace())
            key += cyrillicOf.value(c.toUpper(), c.toUpper());
    return key;
}

// The first Latin letter of text that has a Cyrillic look-alike, or none.
QChar latinLookAlike(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x80 && c.isLetter() && lookAlikeKey(c) != c.toUpper())
            return c;
    return {};
}

bool hasBlank(const QString &text) { return std::ranges::any_of(text, [](QChar c) { return c.isSpace(); }); }

// Why name is not the element name it looks like.
QString lookAlikeReason(const QString &name, const QString &element)
{
    if (const QChar c = latinLookAlike(name); !c.isNull())
        return QStringLiteral("латинская «%1» вместо кириллической").arg(c);
    if (const QChar c = latinLookAlike(element); !c.isNull())
        return QStringLiteral("в имени элемента латинская «%1»").arg(c);
    if (hasBlank(name) || hasBlank(element))
        return hasBlank(name) ? QStringLiteral("пробел в имени") : QStringLiteral("пробел в имени элемента");
    return QStringLiteral("регистр букв");
}

class FunctionReader final : public TermVisitor
{
public:
    FunctionReader(const ModelDefinition &definition, const QString *terms, const FunctionLayout &layout,
                   const QString &file, std::vector<Finding> &findings)
        : m_definition(definition), m_terms(terms), m_layout(layout), m_file(file),
          m_findings(findings)
    {
    }

    std::vector<ReadTerm> readTerms;
    Bits referenced = 0;
    bool hasError = false;

    void operand(int term, int element, bool negated, qsizetype from, qsizetype to) override
    {
        ReadTerm &read = current(term);
        (negated ? read.zero : read.one) |= Bits(1) << element;
        if (const ReadTerm::Operand written{element, negated}; std::ranges::find(read.written, written) == read.written.end())
            read.written.push_back(written);
        referenced |= Bits(1) << element;
        const QString raw = m_terms[term].mid(from, to - from);
        if (element == 0 || raw == m_definition.ElemName[element])
            return;
        if (raw.contains(QLatin1Char('*')))
            report(Severity::Error, QStringLiteral("merged-name"), term, from,
                   QStringLiteral("«%1» читается как одно имя «%2»: имя, не найденное у «*», слилось со следующим")
                       .arg(raw, m_definition.ElemName[element]),
                   raw);
        else
            report(Severity::Warning, QStringLiteral("name-into-p"), term, from,
                   QStringLiteral("«%1» читается как вход p и имя «%2»").arg(raw, m_definition.ElemName[element]),
                   raw);
    }

    void unfound(int term, const QString &name, qsizetype from, qsizetype at) override
    {
        current(term);
        const QString &text = m_terms[term];
        if (name.isEmpty()) {
            const bool afterInput = at > 0 && text[at - 1] == QLatin1Char('p');
            if (text.isEmpty())
                report(Severity::Error, QStringLiteral("empty-term"), term, 0,
                       QStringLiteral("пустой терм: функция всегда равна 1"));
            else if (at == 0)
                report(Severity::Warning, QStringLiteral("stray-star"), term, 0, QStringLiteral("терм начинается с «*»"));
            else if (at == text.size() && text[at - 1] == QLatin1Char('*'))
                report(Severity::Warning, QStringLiteral("stray-star"), term, at - 1, QStringLiteral("терм кончается на «*»"));
            else if (at < text.size() && !afterInput)
                report(Severity::Warning, QStringLiteral("stray-star"), term, at, QStringLiteral("«*» без имени перед ним"));
            return;
        }
        // A name not found at "*" goes on into the next name; only a
        // look-alike is worth saying there.
        m_unknown.append(Unknown{term, name, from, at});
    }

    void dropped(int term, const QString &name, qsizetype from, qsizetype at) override
    {
        current(term);
        const QString raw = m_terms[term].mid(from, at - from);
        if (m_terms[term][at] == QLatin1Char('-'))
            report(Severity::Error, QStringLiteral("dropped-name"), term, from,
                   QStringLiteral("«%1» отбрасывается: «-» начинает новое имя").arg(name), raw);
        else
            report(Severity::Error, QStringLiteral("name-into-p"), term, from,
                   QStringLiteral("«%1» слилось с p и отбрасывается: в функции элемента p обрывает имя «%2»")
                       .arg(raw + QLatin1Char('p'), name),
                   raw);
    }

    void negation(int term, qsizetype at, bool pending) override
    {
        current(term);
        m_lastMinus = {term, at};
        // A minus still waiting from a name dropped before it, or from an
        // earlier term, has findings of its own; "--" is the one written so.
        if (pending && at > 0 && m_terms[term][at - 1] == QLatin1Char('-'))
            report(Severity::Warning, QStringLiteral("double-minus"), term, at,
                   QStringLiteral("«--» действует как один «-»"));
    }

    void termEnd(int term, bool negationPending) override
    {
        const ReadTerm read = current(term);
        const QString reading = readingOf(read);
        for (const Unknown &unknown : std::as_const(m_unknown))
            reportUnknown(unknown, reading);
        m_unknown.clear();
        if (read.one & read.zero)
            report(Severity::Warning, QStringLiteral("contradictory-term"), term, 0,
                   QStringLiteral("терм «%1» содержит имя и его отрицание и никогда не равен 1").arg(m_terms[term]));
        // A negation still pending after a name that was not found belongs
        // to that name's finding.
        if (negationPending && m_terms[term].endsWith(QLatin1Char('-')))
            m_trailingMinus = m_lastMinus;
    }

    // After the walk: a "-" left at the end of the last term.
    void finish(int termCount)
    {
        if (m_trailingMinus.term < 0)
            return;
        const bool last = m_trailingMinus.term == termCount - 1;
        report(Severity::Warning, QStringLiteral("trailing-minus"), m_trailingMinus.term, m_trailingMinus.at,
               last ? QStringLiteral("«-» в конце функции ничего не отрицает")
                    : QStringLiteral("«-» в конце терма отрицает первое имя следующего терма"));
        // Only the last such "-" is remembered; one finding per function is enough.
    }

private:
    struct Unknown
    {
        int term;
        QString name;
        qsizetype from, at;
    };
    struct Place
    {
        int term = -1;
        qsizetype at = 0;
    };

    ReadTerm &current(int term)
    {
        if (readTerms.size() <= size_t(term))
            readTerms.resize(size_t(term) + 1);
        return readTerms[size_t(term)];
    }

    QString readingOf(const ReadTerm &read) const
    {
        if (read.one & read.zero)
            return QStringLiteral("0");
        QStringList operands;
        for (const ReadTerm::Operand &operand : read.written)
            operands.append((operand.negated ? QStringLiteral("-") : QString())
                            + (operand.element == 0 ? QStringLiteral("p") : m_definition.ElemName[operand.element]));
        return operands.isEmpty() ? QStringLiteral("1") : operands.join(QLatin1Char('*'));
    }

    void reportUnknown(const Unknown &unknown, const QString &reading)
    {
        const bool atEnd = unknown.at == m_terms[unknown.term].size();
        const QString raw = m_terms[unknown.term].mid(unknown.from, unknown.at - unknown.from);
        const QString merged = raw == unknown.name ? QString()
                                                   : QStringLiteral(" (читается как одно имя «%1»)").arg(unknown.name);
        const QString readAs = QStringLiteral(": терм читается как «%1»").arg(reading);
        if (unknown.name.trimmed() == QStringLiteral("р")) {
            report(Severity::Error, QStringLiteral("look-alike"), unknown.term, unknown.from,
                   QStringLiteral("«%1» — кириллическая буква, а вход обозначается латинской p%2").arg(raw, readAs), raw);
            return;
        }
        const QString key = lookAlikeKey(unknown.name);
        for (int k = 1; k <= m_definition.ElemCount; ++k) {
            if (lookAlikeKey(m_definition.ElemName[k]) == key) {
                report(Severity::Error, QStringLiteral("look-alike"), unknown.term, unknown.from,
                       QStringLiteral("«%1» не найдено, но похоже на элемент «%2» (отличается: %3)%4")
                           .arg(raw, m_definition.ElemName[k], lookAlikeReason(unknown.name, m_definition.ElemName[k]),
                                readAs),
                       raw);
                return;
            }
        }
        if (atEnd)
            report(Severity::Error, QStringLiteral("unknown-name"), unknown.term, unknown.from,
                   QStringLiteral("«%1» не найдено%2%3%4").arg(raw, merged, readAs, didYouMean(raw)), raw);
    }

    // "; может быть, «Р1»?" with the element names nearest to the name not
    // found (the head of raw, before any "*" it ran into), or nothing when
    // none is near.
    QString didYouMean(const QString &raw) const
    {
        QStringList names;
        for (int k = 1; k <= m_definition.ElemCount; ++k)
            names.append(m_definition.ElemName[k]);
        const QStringList nearest = NearestNames(raw.left(raw.indexOf(QLatin1Char('*'))), names);
        if (nearest.isEmpty())
            return {};
        QStringList quoted;
        for (const QString &name : nearest)
            quoted.append(QStringLiteral("«%1»").arg(name));
        return QStringLiteral("; может быть, %1?").arg(quoted.join(QStringLiteral(" или ")));
    }

    void report(Severity severity, const QString &kind, int term, qsizetype at, const QString &message,
                const QString &operand = QString())
    {
        hasError |= severity == Severity::Error;
        m_findings.push_back(Finding{kind, severity, m_file, m_layout.line,
                                     m_layout.termColumn.value(term, 1) + int(at), message, operand});
    }

    const ModelDefinition &m_definition;
    const QString *m_terms;
    const FunctionLayout &m_layout;
    const QString &m_file;
    std::vector<Finding> &m_findings;
    QList<Unknown> m_unknown;
    Place m_lastMinus;
    Place m_trailingMinus;
};

// 1 or 0 when the terms give that for every value of the signals they read;
// -1 when the function depends on them.
int constantValue(const std::vector<ReadTerm> &terms, Bits referenced)
{
    // Too many signals to try them all: only the obvious cases.
    const int count = std::popcount(referenced);
    if (count > 16)
        return -1;
    std::vector<int> bitOf;
    for (int k = 0; k < 32; ++k)
        if (referenced & (Bits(1) << k))
            bitOf.push_back(k);
    int seen = -1;
    for (Bits combination = 0; combination < (Bits(1) << count); ++combination) {
        Bits values = 0;
        for (int b = 0; b < count; ++b)
            if (combination & (Bits(1) << b))
                values |= Bits(1) << bitOf[size_t(b)];
        int result = 0;
        for (const ReadTerm &term : terms)
            if ((values & term.one) == term.one && (values & term.zero) == 0) {
                result = 1;
                break;
            }
        if (seen >= 0 && seen != result)
            return -1;
        seen = result;
    }
    return seen;
}

struct FunctionSummary
{
    Bits referenced = 0;
    bool hasError = false;
    int constant = -1;
};

FunctionSummary checkFunction(const ModelDefinition &definition, const QString *terms, int termCount, bool output,
                              const FunctionLayout &layout, const QString &file, std::vector<Finding> &findings)
{
    FunctionReader reader(definition, terms, layout, file, findings);
    WalkTerms(definition, terms, termCount, !output, reader);
    reader.finish(termCount);
    return {reader.referenced, reader.hasError, constantValue(reader.readTerms, reader.referenced)};
}

QString unreadableBecause(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("имя пустое");
    for (const QChar c : {QChar(u'p'), QChar(u'*'), QChar(u'-')})
        if (name.contains(c))
            return QStringLiteral("имя содержит «%1»").arg(c);
    return {};
}

} // namespace

void CheckFunctions(const ModelDefinition &definition, const ModelLayout &layout, const QString &file,
                    std::vector<Finding> &findings)
{
    const auto at = [&](const FunctionLayout &line, const QString &kind, Severity severity, const QString &message,
                        const QString &operand = QString()) {
        findings.push_back(Finding{kind, severity, file, line.line, line.nameColumn, message, operand});
    };

    std::vector<FunctionSummary> elements(size_t(definition.ElemCount) + 1);
    for (int i = 1; i <= definition.ElemCount; ++i) {
        const FunctionLayout &line = layout.elements[i - 1];
        const QString &name = definition.ElemName[i];
        for (int earlier = 1; earlier < i; ++earlier)
            if (definition.ElemName[earlier] == name) {
                at(line, QStringLiteral("duplicate-name"), Severity::Error,
                   QStringLiteral("элемент «%1» уже есть в строке %2: имя всегда означает его, а не этот элемент")
                       .arg(name).arg(layout.elements[earlier - 1].line),
                   name);
                break;
            }
        if (const QString because = unreadableBecause(name); !because.isEmpty())
            at(line, QStringLiteral("unreadable-name"), Severity::Warning,
               QStringLiteral("на элемент «%1» нельзя сослаться в функции: %2").arg(name, because), name);
        elements[size_t(i)] = checkFunction(definition, &definition.ElemTerm[i][1], definition.ElemTermCount[i],
                                            false, line, file, findings);
    }
    std::vector<FunctionSummary> outputs(size_t(definition.OutCount) + 1);
    for (int j = 1; j <= definition.OutCount; ++j) {
        const FunctionLayout &line = layout.outputs[j - 1];
        for (int earlier = 1; earlier < j; ++earlier)
            if (definition.OutName[earlier] == definition.OutName[j]) {
                at(line, QStringLiteral("duplicate-name"), Severity::Warning,
                   QStringLiteral("выход «%1» уже есть в строке %2").arg(definition.OutName[j]).arg(layout.outputs[earlier - 1].line),
                   definition.OutName[j]);
                break;
            }
        outputs[size_t(j)] = checkFunction(definition, &definition.OutTerm[j][1], definition.OutTermCount[j], true,
                                           line, file, findings);
    }

    for (int i = 1; i <= definition.ElemCount; ++i) {
        Bits usedBy = 0; // by the others: an element that only holds itself drives nothing
        for (int k = 1; k <= definition.ElemCount; ++k)
            if (k != i)
                usedBy |= elements[size_t(k)].referenced;
        for (int j = 1; j <= definition.OutCount; ++j)
            usedBy |= outputs[size_t(j)].referenced;
        const QString &name = definition.ElemName[i];
        const bool duplicate = std::find(&definition.ElemName[1], &definition.ElemName[i], name) != &definition.ElemName[i];
        if (!(usedBy & (Bits(1) << i)) && unreadableBecause(name).isEmpty() && !duplicate)
            at(layout.elements[i - 1], QStringLiteral("unused-element"), Severity::Warning,
               QStringLiteral("элемент «%1» не используется ни другими элементами, ни выходами").arg(name), name);
    }
    const auto reportConstant = [&](const FunctionSummary &summary, const FunctionLayout &line, const QString &what) {
        if (summary.constant >= 0 && !summary.hasError)
            at(line, QStringLiteral("constant-function"), Severity::Warning,
               QStringLiteral("функция %1 всегда равна %2").arg(what).arg(summary.constant));
    };
    for (int i = 1; i <= definition.ElemCount; ++i)
        reportConstant(elements[size_t(i)], layout.elements[i - 1],
                       QStringLiteral("элемента «%1»").arg(definition.ElemName[i]));
    for (int j = 1; j <= definition.OutCount; ++j)
        reportConstant(outputs[size_t(j)], layout.outputs[j - 1],
                       QStringLiteral("выхода «%1»").arg(definition.OutName[j]));
}
