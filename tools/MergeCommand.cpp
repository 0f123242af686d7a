#include "tools/MergeCommand.h"

#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/FaultReport.h"
#include "tools/OptionTable.h"
#include "analysis/ShardFile.h"

#include <array>
#include <map>

namespace {

struct MergeOptions
{
    FaultReportFormat format = FaultReportFormat::Text;
    bool formatGiven = false;
    bool failOnSpurious = false;
    bool failOnWrongSide = false;
    bool allPairs = false;
    QString csvFile;
    QString svgFile;
    bool help = false;

    bool anyFaultOption() const { return formatGiven || failOnSpurious || failOnWrongSide || allPairs; }
    bool anySweepOption() const { return !csvFile.isEmpty() || !svgFile.isEmpty(); }
};

using Result = std::expected<void, QString>;

const OptionTable<MergeOptions> &mergeTable()
{
    using Kind = OptionDeclaration::Kind;
    static const OptionTable<MergeOptions> table(
        {.command = QStringLiteral("merge"),
         .helpHead = QStringLiteral(
             "Использование: modelrun merge ФАЙЛ... [параметры]\n"
             "Соединяет части анализа неисправностей (modelrun faults --shard K/N) или перебора\n"
             "(modelrun sweep --shard K/N) в один отчет, тот же, что дал бы запуск без частей.\n"
             "Части должны быть одного анализа (те же модель, файлы и параметры) и целыми:\n"
             "с первой строкой-заголовком, всеми прогонами и последней строкой {\"end\":true,…}.\n"
             "\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 отчет выведен, 1 ошибка в файле (или найденное при --fail-on),\n"
             "2 ошибка в командной строке.\n"),
         .operandSuffix = QStringLiteral("jsonl")},
        QList<std::pair<OptionDeclaration, OptionTable<MergeOptions>::Setter>>{
            {{.name = QStringLiteral("--format"),
              .help = QStringLiteral("вид отчета анализа неисправностей (по умолчанию text)"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("text"), QStringLiteral("json"), QStringLiteral("csv")}},
             [](MergeOptions &options, const OptionValue &value) -> Result {
                 options.format = std::array{FaultReportFormat::Text, FaultReportFormat::Json,
                                             FaultReportFormat::Csv}[size_t(value.number)];
                 options.formatGiven = true;
                 return {};
             }},
            {{.name = QStringLiteral("--all-pairs"),
              .help = QStringLiteral("показывать в отчете text все пары, как у modelrun faults")},
             Keep(&MergeOptions::allPairs)},
            {{.name = QStringLiteral("--fail-on"),
              .help = QStringLiteral("код выхода 1 при найденном, как у modelrun faults"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("spurious"), QStringLiteral("wrong-side")}},
             [](MergeOptions &options, const OptionValue &value) -> Result {
                 (value.number == 0 ? options.failOnSpurious : options.failOnWrongSide) = true;
                 return {};
             }},
            {{.name = QStringLiteral("--csv"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("таблица точек перебора, как у modelrun sweep"),
              .kind = Kind::File},
             Keep(&MergeOptions::csvFile)},
            {{.name = QStringLiteral("--svg"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("рисунок сетки перебора, как у modelrun sweep"),
              .kind = Kind::File},
             Keep(&MergeOptions::svgFile)},
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&MergeOptions::help)},
        });
    return table;
}

// The lines of every shard, in shard order, each read by readLine; the
// first line that is not one stops the merge.
template<typename Line, typename Reader>
std::expected<QList<Line>, QString> readLines(const std::map<int, ShardFile> &shards, const Reader &readLine)
{
    QList<Line> lines;
    for (const auto &[index, shard] : shards)
        for (const ShardFile::Line &text : shard.lines) {
            std::expected<Line, QString> line = readLine(text.json);
            if (!line)
                return std::unexpected(shard.where(text.number) + line.error() + QLatin1Char('.'));
            lines.append(*line);
        }
    return lines;
}

// The whole sweep from its shards: every one must be of the same bench and
// axes, and together they must hold every point.
int mergeSweep(const std::map<int, ShardFile> &shards, std::FILE *out, std::FILE *err, const QString &csvFile,
               const QString &svgFile, const SweepPictureWriter &picture)
{
    const ShardFile &first = shards.begin()->second;
    std::expected<SweepReport, QString> report = SweepFromShardHeader(first.header);
    if (!report) {
        WriteLine(err, first.where(1) + report.error() + QLatin1Char('.'));
        return ExitFileError;
    }
    if (!svgFile.isEmpty() && report->axes.size() != 2) {
        WriteUsageError(err, QStringLiteral("merge"), QStringLiteral("--svg рисует сетку: перебор был по одной оси"));
        return ExitUsageError;
    }
    const QJsonObject header = SweepShardHeader(*report);
    for (const auto &[index, shard] : shards)
        if (shard.header.value(QStringLiteral("axes")) != header.value(QStringLiteral("axes"))
            || shard.header.value(QStringLiteral("bench")) != header.value(QStringLiteral("bench"))) {
            WriteLine(err, QStringLiteral("Файл %1: часть другого перебора, чем %2.").arg(shard.fileName, first.fileName));
            return ExitFileError;
        }
    const QList<SweepAxis> &axes = report->axes;
    const auto points = readLines<SweepPoint>(shards, [&](const QByteArray &json) { return ReadSweepPoint(json, axes); });
    if (!points) {
        WriteLine(err, points.error());
        return ExitFileError;
    }
    if (points->size() != SweepPointCount(axes)) {
        WriteLine(err, QStringLiteral("В частях %1 точек, а в переборе %2.").arg(points->size()).arg(SweepPointCount(axes)));
        return ExitFileError;
    }
    // A point goes where its coordinates say, not where its line stands, so
    // that shards written or edited in another order still merge right.
    std::vector<std::optional<SweepPoint>> placed(points->size());
    for (const SweepPoint &point : *points) {
        qint64 index = 0;
        for (qsizetype a = 0; a < axes.size(); ++a)
            index = index * axes[a].count + point.at[a];
        if (placed[size_t(index)]) {
            WriteLine(err, QStringLiteral("Точка перебора %1 дана дважды.").arg(index + 1));
            return ExitFileError;
        }
        placed[size_t(index)] = point;
    }
    report->points.clear();
    for (std::optional<SweepPoint> &point : placed)
        report->points.push_back(std::move(*point));
    if (const auto written = WriteSweepOutputs(*report, out, csvFile, svgFile, picture); !written) {
        WriteLine(err, written.error());
        return ExitFileError;
    }
    return FlushOutput(out, err) ? ExitSuccess : ExitFileError;
}

} // namespace

const OptionList &MergeCommandOptions() { return mergeTable(); }

int RunMergeCommand(const QStringList &arguments, std::FILE *out, std::FILE *err, const SweepPictureWriter &picture)
{
    MergeOptions options;
    const std::expected<QStringList, QString> files = mergeTable().parse(arguments, options);
    if (!files) {
        WriteUsageError(err, QStringLiteral("merge"), files.error());
        return ExitUsageError;
    }
    if (options.help) {
        WriteText(out, mergeTable().helpText());
        return ExitSuccess;
    }
    if (files->isEmpty()) {
        WriteUsageError(err, QStringLiteral("merge"), QStringLiteral("не заданы файлы частей"));
        return ExitUsageError;
    }

    std::map<int, ShardFile> shards;
    int count = 0;
    for (const QString &fileName : *files) {
        std::expected<ShardFile, QString> shard = ReadShardFile(fileName);
        if (!shard) {
            WriteText(err, shard.error() + QLatin1Char('\n'));
            return ExitFileError;
        }
        if (count != 0 && shard->count != count) {
            WriteText(err, QStringLiteral("Файл %1: часть из %2, а другие файлы — части из %3.\n")
                           .arg(fileName).arg(shard->count).arg(count));
            return ExitFileError;
        }
        if (!shards.empty() && (shard->form != shards.begin()->second.form
                                || shard->campaign != shards.begin()->second.campaign)) {
            WriteText(err, QStringLiteral("Файл %1: часть другого анализа, чем %2 (другие модель, файлы или параметры).\n")
                           .arg(fileName, shards.begin()->second.fileName));
            return ExitFileError;
        }
        count = shard->count;
        if (shards.count(shard->index)) {
            WriteText(err, QStringLiteral("Файл %1: часть %2 из %3 уже дана.\n").arg(fileName).arg(shard->index).arg(count));
            return ExitFileError;
        }
        shards[shard->index] = std::move(*shard);
    }
    for (int k = 1; k <= count; ++k)
        if (!shards.count(k)) {
            WriteText(err, QStringLiteral("Нет части %1 из %2.\n").arg(k).arg(count));
            return ExitFileError;
        }

    const bool sweep = shards.begin()->second.form == ShardForm::Sweep;
    if (sweep ? options.anyFaultOption() : options.anySweepOption()) {
        WriteUsageError(err, QStringLiteral("merge"),
                        sweep ? QStringLiteral("части перебора: --format, --fail-on и --all-pairs к ним не применяются")
                              : QStringLiteral("части анализа неисправностей: --csv и --svg — только для перебора"));
        return ExitUsageError;
    }
    bool failed = false;
    bool wrongSide = false;
    const FaultReportOptions report{ShardHasLevels(shards.begin()->second.header), options.allPairs,
                                    ShardHasInjectionRange(shards.begin()->second.header)};
    switch (shards.begin()->second.form) {
    case ShardForm::Faults: {
        const auto lines = readLines<FaultReportLine>(shards, ReadFaultReportLine);
        if (!lines) {
            WriteText(err, lines.error() + QLatin1Char('\n'));
            return ExitFileError;
        }
        WriteFaultReport(*lines, options.format, out, report);
        failed = std::ranges::any_of(*lines, [](const FaultReportLine &line) { return IsSpurious(line.effect); });
        wrongSide = std::ranges::any_of(*lines, [](const FaultReportLine &l) { return l.verdict.safety == Safety::WrongSide; });
        break;
    }
    case ShardForm::BenchFaults: {
        const auto lines = readLines<BenchFaultReportLine>(shards, ReadBenchFaultReportLine);
        if (!lines) {
            WriteText(err, lines.error() + QLatin1Char('\n'));
            return ExitFileError;
        }
        WriteBenchFaultReport(*lines, options.format, out, report);
        failed = std::ranges::any_of(*lines, [](const BenchFaultReportLine &line) { return line.failed; });
        wrongSide = std::ranges::any_of(*lines, [](const BenchFaultReportLine &l) {
            return l.verdict.safety == Safety::WrongSide;
        });
        break;
    }
    case ShardForm::Sweep:
        return mergeSweep(shards, out, err, options.csvFile, options.svgFile, picture);
    }
    if (!FlushOutput(out, err))
        return ExitFileError;
    return (options.failOnSpurious && failed) || (options.failOnWrongSide && wrongSide) ? ExitFileError : ExitSuccess;
}
