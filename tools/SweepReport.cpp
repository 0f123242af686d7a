#include "tools/SweepReport.h"

#include "tools/ConsoleText.h"
#include "tools/FaultReport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

QString number(double value) { return QString::number(value, 'g', 6); }

QString failureText(const SweepFailure &failure)
{
    return QStringLiteral("сценарий «%1», строка %2 «%3» — %4")
        .arg(failure.scenario)
        .arg(failure.line)
        .arg(failure.expectation, failure.detail);
}

const SweepPoint &pointOnLine(const SweepReport &report, const SweepMargin &margin, int index)
{
    QList<int> at(report.axes.size());
    at[margin.axis] = index;
    if (margin.along)
        at[1 - margin.axis] = *margin.along;
    qint64 point = 0;
    for (qsizetype a = 0; a < report.axes.size(); ++a)
        point = point * report.axes[a].count + at[a];
    return report.points[size_t(point)];
}

void writeMargin(const SweepReport &report, int axisIndex, std::FILE *out)
{
    const SweepAxis &axis = report.axes[axisIndex];
    const std::optional<SweepMargin> margin = MarginOf(report.axes, report.points, axisIndex);
    if (!margin) {
        WriteLine(out, QStringLiteral("Запас по %1: номинала нет (у элементов разные времена), запас не определен.")
                           .arg(axis.what));
        return;
    }
    QString heading = QStringLiteral("Запас по %1 (номинал %2").arg(axis.what, axis.format(*axis.nominal));
    if (margin->along) {
        const SweepAxis &other = report.axes[1 - axisIndex];
        heading += QStringLiteral("; %1 = %2").arg(other.what, other.format(other.value(*margin->along)));
    }
    WriteLine(out, heading + QStringLiteral("):"));
    if (margin->nominalFails) {
        WriteLine(out, QStringLiteral("  в номинале нарушено: %1")
                           .arg(failureText(*pointOnLine(report, *margin, *margin->nominalFails).failure)));
    }
    const auto side = [&](const QString &name, std::optional<int> failing, bool none, double end) {
        if (none)
            WriteLine(out, QStringLiteral("  %1: точек нет").arg(name));
        else if (!failing)
            WriteLine(out, QStringLiteral("  %1: до %2 нарушений нет").arg(name, axis.format(end)));
        else
            WriteLine(out, QStringLiteral("  %1: при %2 нарушено: %3")
                               .arg(name, axis.format(axis.value(*failing)),
                                    failureText(*pointOnLine(report, *margin, *failing).failure)));
    };
    side(QStringLiteral("вниз"), margin->below, margin->noneBelow, axis.from);
    side(QStringLiteral("вверх"), margin->above, margin->noneAbove, axis.value(axis.count - 1));
}

QJsonValue optionalText(const QString &text) { return text.isEmpty() ? QJsonValue() : QJsonValue(text); }

} // namespace

QString SweepTableCsv(const SweepReport &report)
{
    QStringList header;
    for (const SweepAxis &axis : report.axes)
        header << CsvField(axis.column());
    header << QStringLiteral("result,scenario,expectation,line,first_step,detail");
    QString table = header.join(QLatin1Char(',')) + QLatin1Char('\n');
    for (const SweepPoint &point : report.points) {
        QStringList fields;
        for (qsizetype a = 0; a < report.axes.size(); ++a)
            fields << number(report.axes[a].value(point.at[a]));
        if (const std::optional<SweepFailure> &failure = point.failure)
            fields << QStringLiteral("fail") << CsvField(failure->scenario) << CsvField(failure->expectation)
                   << QString::number(failure->line) << QString::number(failure->step) << CsvField(failure->detail);
        else
            fields << QStringLiteral("pass,,,,,");
        table += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return table;
}

void WriteSweepMargins(const SweepReport &report, std::FILE *out)
{
    const qsizetype passing = std::ranges::count_if(report.points, [](const SweepPoint &p) { return !p.failure; });
    WriteLine(out, QStringLiteral("Испытания %1: точек %2, все ожидания выполнены в %3.")
                       .arg(QFileInfo(report.benchFile).fileName())
                       .arg(report.points.size())
                       .arg(passing));
    for (int a = 0; a < report.axes.size(); ++a)
        writeMargin(report, a, out);
}

QJsonObject SweepShardHeader(const SweepReport &report)
{
    QJsonArray axes;
    for (const SweepAxis &axis : report.axes)
        axes.append(QJsonObject{{QStringLiteral("vary"), axis.text},
                                {QStringLiteral("nominal"), axis.nominal ? QJsonValue(*axis.nominal) : QJsonValue()}});
    return {{QStringLiteral("bench"), report.benchFile}, {QStringLiteral("axes"), axes}};
}

std::expected<SweepReport, QString> SweepFromShardHeader(const QJsonObject &header)
{
    SweepReport report;
    report.benchFile = header.value(QStringLiteral("bench")).toString();
    const QJsonArray axes = header.value(QStringLiteral("axes")).toArray();
    if (axes.isEmpty() || axes.size() > 2)
        return std::unexpected(QStringLiteral("в заголовке нет осей перебора (axes)"));
    for (const QJsonValue &value : axes) {
        std::expected<SweepAxis, QString> axis = ParseSweepAxis(value.toObject().value(QStringLiteral("vary")).toString());
        if (!axis)
            return std::unexpected(axis.error());
        const QJsonValue nominal = value.toObject().value(QStringLiteral("nominal"));
        if (nominal.isDouble())
            axis->nominal = nominal.toDouble();
        report.axes.append(*axis);
    }
    return report;
}

QByteArray SweepPointJson(const SweepPoint &point)
{
    QJsonArray at;
    for (int index : point.at)
        at.append(index);
    QJsonObject object{{QStringLiteral("at"), at},
                       {QStringLiteral("result"), point.failure ? QStringLiteral("fail") : QStringLiteral("pass")}};
    if (const std::optional<SweepFailure> &failure = point.failure) {
        object.insert(QStringLiteral("scenario"), failure->scenario);
        object.insert(QStringLiteral("expectation"), failure->expectation);
        object.insert(QStringLiteral("line"), failure->line);
        object.insert(QStringLiteral("first_step"), failure->step);
        object.insert(QStringLiteral("detail"), optionalText(failure->detail));
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::expected<SweepPoint, QString> ReadSweepPoint(const QByteArray &json, const QList<SweepAxis> &axes)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    const QJsonArray at = object.value(QStringLiteral("at")).toArray();
    const QString result = object.value(QStringLiteral("result")).toString();
    SweepPoint point;
    for (qsizetype a = 0; a < at.size() && at.size() == axes.size(); ++a)
        if (const int index = at[a].toInt(-1); index >= 0 && index < axes[a].count)
            point.at.append(index);
    if (point.at.size() != axes.size() || (result != QLatin1String("pass") && result != QLatin1String("fail")))
        return std::unexpected(QStringLiteral("ожидался объект точки {\"at\":[…],\"result\":…}"));
    if (result == QLatin1String("fail"))
        point.failure = SweepFailure{object.value(QStringLiteral("scenario")).toString(),
                                     object.value(QStringLiteral("expectation")).toString(),
                                     object.value(QStringLiteral("line")).toInt(),
                                     qint64(object.value(QStringLiteral("first_step")).toDouble()),
                                     object.value(QStringLiteral("detail")).toString()};
    return point;
}

std::expected<void, QString> WriteSweepOutputs(const SweepReport &report, std::FILE *out, const QString &csvFile,
                                               const QString &svgFile, const SweepPictureWriter &picture)
{
    WriteSweepMargins(report, out);
    if (!csvFile.isEmpty()) {
        QSaveFile file(csvFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(SweepTableCsv(report).toUtf8()) < 0 || !file.commit())
            return std::unexpected(QStringLiteral("Не удаётся записать файл %1.").arg(csvFile));
    }
    if (!svgFile.isEmpty() && !picture)
        return std::unexpected(QStringLiteral("Файл %1 не записан: рисунки здесь не рисуются.").arg(svgFile));
    if (!svgFile.isEmpty())
        return picture(report, svgFile);
    return {};
}
