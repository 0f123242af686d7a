#include "report/ReportHeader.h"

#include "platform/CodePage.h"
#include "report/HeadingLine.h"

#include <cmath>

namespace {

// Lines of text where a text can be placed at a column, as on a character
// printer: a column already passed continues on a new line.
class ColumnLines
{
public:
    void at(int column, const QString &text)
    {
        if (m_line.size() > column - 1)
            newLine();
        m_line = m_line.leftJustified(column - 1, QLatin1Char(' ')) + text;
    }
    void newLine()
    {
        m_bytes += CodePage::toOem(m_line);
        m_bytes += "\r\n";
        m_line.clear();
    }
    void raw(const QByteArray &line)
    {
        m_bytes += line;
        m_bytes += "\r\n";
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QString m_line;
    QByteArray m_bytes;
};

} // namespace

QString GeneralNumber(float value, const QLocale &locale)
{
    if (value == 0)
        value = 0; // no "-0"
    QString digits = QString::number(double(value), 'g', 7).toUpper();
    digits.replace(QLatin1Char('.'), locale.decimalPoint());
    return (value < 0 ? QString() : QStringLiteral(" ")) + digits + QLatin1Char(' ');
}

int CentredColumn(qsizetype length)
{
    // lrint rounds halves to even in the default rounding mode.
    const long column = std::lrint(41.0 - double(length) / 2.0);
    return column < 1 ? 1 : int(column);
}

ReportHeaderContent MakeReportHeader(RunState &state, const QDateTime &now, const QLocale &locale)
{
    ReportHeaderContent header;
    header.date = now.toString(QStringLiteral("dd.MM.yyyy"));
    header.time = now.toString(QStringLiteral("HH:mm"));
    header.withTimingTable = state.ReportHeadDue != FlagFalse;
    if (header.withTimingTable) {
        header.modelName = state.ModelName;
        for (int i = 1; i <= state.ElemCount; ++i)
            header.elements.append({state.ElemName[i], GeneralNumber(state.Tpr[i], locale),
                                    GeneralNumber(state.Totp[i], locale)});
    }
    header.heading = HeadingLine(state);
    return header;
}

QByteArray RenderFileHeader(const ReportHeaderContent &header)
{
    ColumnLines lines;
    lines.newLine();
    lines.at(1, header.date);
    lines.newLine();
    lines.at(1, header.time);
    lines.newLine();
    if (header.withTimingTable) {
        lines.at(CentredColumn(header.modelName.size()), header.modelName);
        lines.newLine();
        lines.at(6, QStringLiteral("Временные характеристики"));
        lines.newLine();
        lines.at(1, QStringLiteral("    Элемент     Tпр     T отп"));
        lines.newLine();
        for (const auto &element : header.elements) {
            lines.at(5, element.name);
            lines.at(16, element.pickup);
            lines.at(24, element.release);
            lines.newLine();
        }
        lines.newLine();
    }
    lines.raw(header.heading);
    return lines.bytes();
}
