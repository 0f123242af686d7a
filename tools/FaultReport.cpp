#include "FaultReport.h"

#include "ConsoleText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace {

constexpr std::array<const char *, 4> EffectNames = {"none", "lost", "spurious", "both"};

QString effectName(FaultEffect effect) { return QLatin1String(EffectNames[size_t(effect)]); }

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString faultsText(const FaultReportLine &line)
{
    QStringList parts;
    for (const FaultReportLine::Fault &fault : line.faults)
        parts << QStringLiteral("%1 (%2) %3")
                     .arg(fault.name)
                     .arg(fault.element)
                     .arg(fault.kind == 1 ? QStringLiteral("обрыв") : QStringLiteral("подпитка"));
    return parts.join(QStringLiteral(" + "));
}

void writeJson(const QList<FaultReportLine> &lines, std::FILE *out)
{
    for (const FaultReportLine &line : lines) {
        QJsonArray faults;
        for (const FaultReportLine::Fault &fault : line.faults)
            faults.append(QJsonObject{{QStringLiteral("element"), fault.element},
                                      {QStringLiteral("name"), fault.name},
                                      {QStringLiteral("kind"), fault.kind}});
        const QJsonObject object{
            {QStringLiteral("faults"), faults},
            {QStringLiteral("code"), line.code},
            {QStringLiteral("output"), line.output},
            {QStringLiteral("effect"), effectName(line.effect)},
            {QStringLiteral("first_step"), line.firstStep ? QJsonValue(line.firstStep) : QJsonValue()},
        };
        WriteText(out, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
    }
}

void writeCsv(const QList<FaultReportLine> &lines, std::FILE *out)
{
    WriteText(out, QStringLiteral("faults,code,output,effect,first_step\n"));
    for (const FaultReportLine &line : lines) {
        QStringList faults;
        for (const FaultReportLine::Fault &fault : line.faults)
            faults << QStringLiteral("%1:%2:%3").arg(fault.element).arg(fault.name).arg(fault.kind);
        WriteText(out, QStringList{csvField(faults.join(QLatin1Char(' '))), QString::number(line.code),
                               csvField(line.output), effectName(line.effect),
                               line.firstStep ? QString::number(line.firstStep) : QString()}
                           .join(QLatin1Char(','))
                       + QLatin1Char('\n'));
    }
}

void writeText(const QList<FaultReportLine> &lines, std::FILE *out)
{
    std::array<int, 4> counts{};
    for (const FaultReportLine &line : lines)
        ++counts[size_t(line.effect)];
    WriteText(out, QStringLiteral("Сочетаний неисправность × код × выход: %1\n"
                              "  без влияния                        %2\n"
                              "  пропадание (защитный отказ)        %3\n"
                              "  ложное появление (опасный отказ)   %4\n"
                              "  и то и другое (опасный отказ)      %5\n")
                   .arg(lines.size())
                   .arg(counts[size_t(FaultEffect::None)])
                   .arg(counts[size_t(FaultEffect::Lost)])
                   .arg(counts[size_t(FaultEffect::Spurious)])
                   .arg(counts[size_t(FaultEffect::Both)]));
    const auto list = [&](const QString &title, bool dangerous) {
        bool any = false;
        for (const FaultReportLine &line : lines) {
            if (line.effect == FaultEffect::None || IsDangerous(line.effect) != dangerous)
                continue;
            if (!any)
                WriteText(out, QLatin1Char('\n') + title + QLatin1Char('\n'));
            any = true;
            WriteText(out, QStringLiteral("  %1; код %2; выход %3: %4 с шага %5\n")
                           .arg(faultsText(line))
                           .arg(line.code)
                           .arg(line.output)
                           .arg(line.effect == FaultEffect::Lost       ? QStringLiteral("пропадает")
                                : line.effect == FaultEffect::Spurious ? QStringLiteral("появляется ложно")
                                                                       : QStringLiteral("пропадает и появляется ложно"))
                           .arg(line.firstStep));
        }
    };
    list(QStringLiteral("Опасные отказы:"), true);
    list(QStringLiteral("Защитные отказы:"), false);
}

} // namespace

bool IsDangerous(FaultEffect effect) { return effect == FaultEffect::Spurious || effect == FaultEffect::Both; }

QList<FaultReportLine> ReportLines(const ModelDefinition &model, const std::vector<FaultOutcome> &outcomes)
{
    QList<FaultReportLine> lines;
    lines.reserve(qsizetype(outcomes.size()));
    for (const FaultOutcome &outcome : outcomes) {
        FaultReportLine line;
        for (const InjectedFault &fault : outcome.faults)
            line.faults.append({fault.element, model.ElemName[fault.element], fault.kind});
        line.code = outcome.code;
        line.output = model.OutName[outcome.output];
        line.effect = outcome.effect;
        line.firstStep = outcome.firstStep;
        lines.append(line);
    }
    return lines;
}

void WriteFaultReport(const QList<FaultReportLine> &lines, FaultReportFormat format, std::FILE *out)
{
    switch (format) {
    case FaultReportFormat::Text:
        writeText(lines, out);
        break;
    case FaultReportFormat::Json:
        writeJson(lines, out);
        break;
    case FaultReportFormat::Csv:
        writeCsv(lines, out);
        break;
    }
}

std::expected<FaultReportLine, QString> ReadFaultReportLine(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject())
        return std::unexpected(parseError.error != QJsonParseError::NoError
                                   ? QStringLiteral("не JSON: %1 (символ %2)").arg(parseError.errorString()).arg(parseError.offset + 1)
                                   : QStringLiteral("ожидался объект JSON"));
    const QJsonObject object = document.object();
    FaultReportLine line;
    const qsizetype effect = qsizetype(std::find(EffectNames.begin(), EffectNames.end(),
                                                 object.value(QStringLiteral("effect")).toString().toStdString())
                                       - EffectNames.begin());
    const QJsonValue firstStep = object.value(QStringLiteral("first_step"));
    if (!object.value(QStringLiteral("faults")).isArray() || !object.value(QStringLiteral("code")).isDouble()
        || !object.value(QStringLiteral("output")).isString() || effect >= qsizetype(EffectNames.size())
        || !(firstStep.isNull() || firstStep.isDouble()))
        return std::unexpected(QStringLiteral("нет полей faults, code, output, effect, first_step или они неверны"));
    for (const QJsonValue &value : object.value(QStringLiteral("faults")).toArray()) {
        const QJsonObject fault = value.toObject();
        line.faults.append({fault.value(QStringLiteral("element")).toInt(), fault.value(QStringLiteral("name")).toString(),
                            fault.value(QStringLiteral("kind")).toInt()});
    }
    line.code = object.value(QStringLiteral("code")).toInt();
    line.output = object.value(QStringLiteral("output")).toString();
    line.effect = FaultEffect(effect);
    line.firstStep = firstStep.isNull() ? 0 : qint64(firstStep.toDouble());
    return line;
}
