#include "report/HeadingLine.h"

#include "platform/CodePage.h"

QByteArray HeadingLine(RunState &state)
{
    QString line;
    auto addCell = [&](const QString &text) {
        state.ColCell = text;
        line += state.ColCell.text();
    };
    addCell(state.InputCaption);
    line += QLatin1Char(' ');
    for (int i = 1; i <= state.ElemCount; ++i)
        addCell(state.ElemName[i]);
    for (int j = 1; j <= state.OutCount; ++j)
        addCell(state.OutName[j]);
    line += QLatin1String(" Ti");
    return CodePage::toOem(line);
}
