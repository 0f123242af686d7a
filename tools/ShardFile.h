#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <expected>
#include <optional>
#include <utility>

// A shard file of `modelrun faults` or `modelrun sweep`: a header line, then
// one JSON object per line. The header says which slice of how many the
// file holds and of which report, so that a merge can put the slices in
// order and see that none is missing, given twice or of another run.
enum class ShardForm { Faults, BenchFaults, Sweep };

// {"shard":K,"shards":N} with the form's name and any fields of extra; K from 1.
QString ShardHeaderLine(int shard, int shards, ShardForm form, const QJsonObject &extra = {});

struct ShardFile
{
    QString fileName;
    int index = 0; // from 1
    int count = 0;
    ShardForm form = ShardForm::Faults;
    QJsonObject header;
    struct Line
    {
        int number = 0; // in the file, from 1
        QByteArray json;
    };
    QList<Line> lines; // blank lines left out

    // "Файл F, строка L: " for a message about one of the lines.
    QString where(int lineNumber) const;
};

std::expected<ShardFile, QString> ReadShardFile(const QString &fileName);

// "K/N" of --shard: K and N, 1 <= K <= N <= 100000.
std::optional<std::pair<int, int>> ParseShardOption(const QString &text);
