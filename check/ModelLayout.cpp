#include "check/ModelLayout.h"

#include <algorithm>

namespace {

FunctionLayout layOutFunction(int line, const QString &text)
{
    FunctionLayout layout;
    layout.line = line;
    layout.termColumn = {1};
    bool equals = false;
    qsizetype firstNameCharacter = -1;
    for (qsizetype c = 0; c < text.size(); ++c) {
        const QChar ch = text[c];
        if (ch == QLatin1Char('=')) {
            equals = true;
            layout.termColumn.last() = int(c) + 2;
        } else if (ch == QLatin1Char('+')) {
            layout.termColumn.append(int(c) + 2);
        } else if (!equals && firstNameCharacter < 0 && ch != QLatin1Char(' ')) {
            firstNameCharacter = c;
        }
    }
    layout.nameColumn = int(std::max<qsizetype>(firstNameCharacter, 0)) + 1;
    return layout;
}

} // namespace

ModelLayout LayOutModel(const ModelDefinition &definition, const QStringList &lines)
{
    // Line 1 the device name, line 2 the element count, then the elements,
    // the output count and the outputs.
    ModelLayout layout;
    int line = 2;
    const auto functionAt = [&](int number) {
        return layOutFunction(number, number <= lines.size() ? lines[number - 1] : QString());
    };
    for (int i = 1; i <= definition.ElemCount; ++i)
        layout.elements.append(functionAt(++line));
    ++line;
    for (int j = 1; j <= definition.OutCount; ++j)
        layout.outputs.append(functionAt(++line));
    return layout;
}
