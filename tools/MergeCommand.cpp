#include "MergeCommand.h"

#include "BatchRun.h"
#include "ConsoleText.h"
#include "FaultReport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

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

struct Shard
{
    int index = 0;
    int count = 0;
    QList<FaultReportLine> lines;
};

std::expected<Shard, QString> readShard(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("Не удаётся открыть файл %1.").arg(fileName));
    Shard shard;
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QByteArray text = file.readLine().trimmed();
        ++lineNumber;
        const auto where = [&] { return QStringLiteral("Файл %1, строка %2: ").arg(fileName).arg(lineNumber); };
        if (lineNumber == 1) {
            const QJsonObject header = QJsonDocument::fromJson(text).object();
            shard.index = header.value(QStringLiteral("shard")).toInt();
            shard.count = header.value(QStringLiteral("shards")).toInt();
            if (shard.count < 1 || shard.index < 1 || shard.index > shard.count)
                return std::unexpected(where() + QStringLiteral("нет заголовка части {\"shard\":K,\"shards\":N}."));
            continue;
        }
        if (text.isEmpty())
            continue;
        std::expected<FaultReportLine, QString> line = ReadFaultReportLine(text);
        if (!line)
            return std::unexpected(where() + line.error() + QLatin1Char('.'));
        shard.lines.append(*line);
    }
    if (lineNumber == 0)
        return std::unexpected(QStringLiteral("Файл %1 пуст: в нем нет части анализа.").arg(fileName));
    return shard;
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

    std::map<int, Shard> shards;
    int count = 0;
    for (const QString &fileName : std::as_const(files)) {
        std::expected<Shard, QString> shard = readShard(fileName);
        if (!shard) {
            WriteText(err, shard.error() + QLatin1Char('\n'));
            return ExitFileError;
        }
        if (count != 0 && shard->count != count) {
            WriteText(err, QStringLiteral("Файл %1: часть из %2, а другие файлы — части из %3.\n")
                           .arg(fileName).arg(shard->count).arg(count));
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

    QList<FaultReportLine> lines;
    for (const auto &[index, shard] : shards)
        lines += shard.lines;
    WriteFaultReport(lines, format, out);
    if (std::fflush(out) != 0) {
        WriteText(err, QStringLiteral("Ошибка записи в стандартный вывод\n"));
        return ExitFileError;
    }
    const bool anyDangerous = std::any_of(lines.begin(), lines.end(),
                                          [](const FaultReportLine &line) { return IsDangerous(line.effect); });
    return failOnSpurious && anyDangerous ? ExitFileError : ExitSuccess;
}
