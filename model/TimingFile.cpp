#include "model/TimingFile.h"

#include "model/StepTime.h"
#include "platform/BoundedRead.h"
#include "platform/CodePage.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A decimal number whose separator is sep, surrounding blanks allowed.
std::optional<double> parseNumber(const QString &text, QChar sep)
{
    static const QString pattern = QStringLiteral("^\\s*[+-]?(\\d+(%1\\d*)?|%1\\d+)([eE][+-]?\\d+)?\\s*$");
    static const QRegularExpression comma(pattern.arg(QStringLiteral(",")));
    static const QRegularExpression point(pattern.arg(QStringLiteral("\\.")));
    if (!(sep == QLatin1Char(',') ? comma : point).match(text).hasMatch())
        return std::nullopt;
    QString plain = text.trimmed();
    plain.replace(sep, QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool fitsFloat(double value) { return std::fabs(value) <= double(std::numeric_limits<float>::max()); }

// Half-to-even rounding into the range of the step counter.
std::optional<int32_t> wholeSteps(double steps)
{
    const double rounded = std::nearbyint(steps);
    if (rounded < 0 || rounded > double(std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return int32_t(rounded);
}

QString valueName(int index, int elemCount)
{
    if (index < elemCount)
        return QStringLiteral("времени притяжения элемента %1").arg(index + 1);
    if (index < 2 * elemCount)
        return QStringLiteral("времени отпадания элемента %1").arg(index - elemCount + 1);
    return QStringLiteral("времени работы схемы");
}

QString formatTime(float value) { return QString::number(double(value), 'g', 7); }

} // namespace

QList<TimingValueText> TimingValueTexts(const QString &content)
{
    QList<TimingValueText> values;
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        qsizetype from = 0;
        for (const QString &part : lines[i].split(QLatin1Char(','))) {
            qsizetype first = 0;
            while (first < part.size() && part[first].isSpace())
                ++first;
            values.append(TimingValueText{part.trimmed(), i + 1, int(from + first) + 1,
                                          parseNumber(part, QLatin1Char('.'))});
            from += part.size() + 1;
        }
    }
    return values;
}

QString CommaDecimal(const QString &text)
{
    QString result = text;
    const qsizetype point = result.indexOf(QLatin1Char('.'));
    if (point >= 0)
        result[point] = QLatin1Char(',');
    return result;
}

std::optional<float> ReadCommaNumber(const QString &text)
{
    const std::optional<double> value = parseNumber(text, QLatin1Char(','));
    if (!value || !fitsFloat(*value))
        return std::nullopt;
    return float(*value);
}

std::optional<int32_t> RunLengthFromAnswer(const QString &answer)
{
    const std::optional<double> seconds = parseNumber(CommaDecimal(answer), QLatin1Char(','));
    if (!seconds)
        return std::nullopt;
    const double whole = std::nearbyint(*seconds);
    if (whole < 0 || whole * StepTime::StepsPerSecond > double(std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return int32_t(whole) * StepTime::StepsPerSecond;
}

FileResult<TimingValues> ReadTimingFile(const QString &fileName, int elemCount)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("Не удаётся открыть файл %1").arg(fileName));
    const FileResult<QByteArray> bytes = ReadAllBounded(file);
    if (!bytes)
        return std::unexpected(bytes.error());
    const QString content = CodePage::decodeTextFile(*bytes);
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(QStringLiteral("Ошибка чтения файла %1").arg(fileName));
    const QList<TimingValueText> tokens = TimingValueTexts(content);
    elemCount = std::clamp(elemCount, 0, MaxElements);
    const int needed = 2 * elemCount + 1;
    TimingValues read;
    read.valuesInFile = tokens.size();
    for (int k = 0; k < needed; ++k) {
        if (k >= tokens.size()) {
            const int lastLine = tokens.isEmpty() ? 0 : tokens.last().line;
            return std::unexpected(QStringLiteral("Файл %1 кончается после строки %2: нет %3")
                                       .arg(fileName).arg(lastLine).arg(valueName(k, elemCount)));
        }
        const TimingValueText &token = tokens[k];
        const std::optional<double> &number = token.number;
        const bool isRunLength = k == needed - 1;
        const std::optional<int32_t> steps = number && isRunLength ? wholeSteps(*number) : std::nullopt;
        if (!number || (isRunLength ? !steps : !fitsFloat(*number))) {
            return std::unexpected(QStringLiteral("Файл %1, строка %2: \"%3\" не годится для %4")
                                       .arg(fileName).arg(token.line).arg(token.text, valueName(k, elemCount)));
        }
        if (isRunLength)
            read.RunLength = *steps;
        else if (k < elemCount)
            read.Tpr[k + 1] = float(*number);
        else
            read.Totp[k - elemCount + 1] = float(*number);
    }
    return read;
}

QStringList TimingFileWarnings(const QString &fileName, const TimingValues &values, int elemCount,
                               bool runLengthUsed)
{
    QStringList warnings;
    const int needed = 2 * std::clamp(elemCount, 0, MaxElements) + 1;
    if (values.valuesInFile != needed)
        warnings.append(QStringLiteral("Внимание: в файле %1 значений %2, а модели с числом элементов N = %3 "
                                       "нужно 2·N+1 = %4; времена могли сдвинуться (файл от другой модели "
                                       "или десятичная запятая вместо точки)")
                            .arg(fileName).arg(values.valuesInFile).arg(elemCount).arg(needed));
    if (runLengthUsed && values.RunLength == 0)
        warnings.append(QStringLiteral("Внимание: в файле %1 время работы схемы 0: прогон не сделает ни одного шага")
                            .arg(fileName));
    return warnings;
}

FileResult<> WriteTimingFile(const QString &fileName, const RunState &state)
{
    QString text;
    for (int i = 1; i <= state.ElemCount; ++i)
        text += formatTime(state.Tpr[i]) + QStringLiteral("\r\n");
    for (int i = 1; i <= state.ElemCount; ++i)
        text += formatTime(state.Totp[i]) + QStringLiteral("\r\n");
    text += QString::number(state.RunLength) + QStringLiteral("\r\n");

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(CodePage::toWindows1251(text)) < 0 || !file.commit())
        return std::unexpected(QStringLiteral("Не удаётся записать файл %1").arg(fileName));
    return {};
}

void ApplyTiming(RunState &state, const TimingValues &values)
{
    for (int i = 1; i <= state.ElemCount; ++i) {
        state.Tpr[i] = values.Tpr[i];
        state.Totp[i] = values.Totp[i];
    }
    state.RunLength = values.RunLength;
}
