#include "model/TermWalk.h"

#include <algorithm>

namespace {

// The element a name refers to: the first one with that exact name, or 0.
int elementNamed(const ModelDefinition &definition, int elementCount, const QString &name)
{
    for (int k = 1; k <= elementCount; ++k)
        if (definition.ElemName[k] == name)
            return k;
    return 0;
}

} // namespace

void WalkTerms(const ModelDefinition &definition, const QString *terms, int termCount, bool inputEndsName,
               TermVisitor &visitor)
{
    const int elementCount = std::clamp<int>(definition.ElemCount, 0, MaxElements);
    bool negate = false;
    for (int t = 0; t < termCount; ++t) {
        const QString &text = terms[t];
        QString name;
        qsizetype nameFrom = 0;
        auto takeOperand = [&](int element, qsizetype from, qsizetype to) {
            visitor.operand(t, element, negate, from, to);
            negate = false;
        };
        for (qsizetype c = 0; c <= text.size(); ++c) {
            const QChar ch = c < text.size() ? text[c] : QChar();
            if (c == text.size() || ch == QLatin1Char('*')) {
                if (const int k = elementNamed(definition, elementCount, name)) {
                    takeOperand(k, name.isEmpty() ? c : nameFrom, c);
                    name.clear();
                } else {
                    visitor.unfound(t, name, name.isEmpty() ? c : nameFrom, c);
                }
            } else if (ch == QLatin1Char('-')) {
                visitor.negation(t, c, negate);
                if (!name.isEmpty())
                    visitor.dropped(t, name, nameFrom, c);
                negate = true;
                name.clear();
            } else if (ch == QLatin1Char('p')) {
                takeOperand(0, c, c + 1);
                if (inputEndsName && !name.isEmpty()) {
                    visitor.dropped(t, name, nameFrom, c);
                    name.clear();
                }
            } else {
                if (name.isEmpty())
                    nameFrom = c;
                name += ch;
            }
        }
        visitor.termEnd(t, negate);
    }
}
