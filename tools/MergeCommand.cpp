#include "MergeCommand.h"

#include "BatchRun.h"
#include "ConsoleText.h"
#include "FaultReport.h"
#include "ShardFile.h"

#include <map>

namespace {

QString usage()
{
    return QStringLiteral("Использование: modelrun merge ФАЙЛ... [--format text|json|csv] [--fail-on spurious]\n"
                          "Соединяет части анализа неисправностей (modelrun faults --shard K/N) в один отчет,\n"
                          "тот же, что дал бы анализ без частей.\n"
                          "Коды выхода: 0 отчет выведен, 1 ошибка в файле (или опасный отказ при --fail-on),\n"
                          "2 ошибка в командной строке.\n");
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

} // namespace

int RunMergeCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    FaultReportFormat format = FaultReportFormat::Text;
    bool failOnSpurious = false;
    QStringList files;
    for (qsizetype a = 0; a < arguments.size(); ++a) {
        const QString &argument = arguments[a];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            WriteText(out, usage());
            return ExitSuccess;
        }
        if (argument == QLatin1String("--format") || argument == QLatin1String("--fail-on")) {
            const QString value = arguments.value(++a);
            static const std::map<QString, FaultReportFormat> formats = {
                {QStringLiteral("text"), FaultReportFormat::Text},
                {QStringLiteral("json"), FaultReportFormat::Json},
                {QStringLiteral("csv"), FaultReportFormat::Csv}};
            if (argument == QLatin1String("--fail-on") && value == QLatin1String("spurious")) {
                failOnSpurious = true;
            } else if (argument == QLatin1String("--format") && formats.count(value)) {
                format = formats.at(value);
            } else {
                WriteText(err, QStringLiteral("modelrun merge: %1: «%2» — недопустимое значение\n\n%3")
                               .arg(argument, value, usage()));
                return ExitUsageError;
            }
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            WriteText(err, QStringLiteral("modelrun merge: неизвестный параметр «%1»\n\n%2").arg(argument, usage()));
            return ExitUsageError;
        } else {
            files.append(argument);
        }
    }
    if (files.isEmpty()) {
        WriteText(err, QStringLiteral("modelrun merge: не заданы файлы частей\n\n%1").arg(usage()));
        return ExitUsageError;
    }

    std::map<int, ShardFile> shards;
    int count = 0;
    for (const QString &fileName : std::as_const(files)) {
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
        if (!shards.empty() && shard->form != shards.begin()->second.form) {
            WriteText(err, QStringLiteral("Файл %1: часть другого отчета, чем %2.\n")
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

    bool failed = false;
    switch (shards.begin()->second.form) {
    case ShardForm::Faults: {
        const auto lines = readLines<FaultReportLine>(shards, ReadFaultReportLine);
        if (!lines) {
            WriteText(err, lines.error() + QLatin1Char('\n'));
            return ExitFileError;
        }
        WriteFaultReport(*lines, format, out);
        failed = std::ranges::any_of(*lines, [](const FaultReportLine &line) { return IsDangerous(line.effect); });
        break;
    }
    case ShardForm::BenchFaults: {
        const auto lines = readLines<BenchFaultReportLine>(shards, ReadBenchFaultReportLine);
        if (!lines) {
            WriteText(err, lines.error() + QLatin1Char('\n'));
            return ExitFileError;
        }
        WriteBenchFaultReport(*lines, format, out);
        failed = std::ranges::any_of(*lines, [](const BenchFaultReportLine &line) { return line.failed; });
        break;
    }
    case ShardForm::Sweep:
        break;
    }
    if (!FlushOutput(out, err))
        return ExitFileError;
    return failOnSpurious && failed ? ExitFileError : ExitSuccess;
}
