#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QString>

#include <expected>
#include <optional>
#include <utility>

// A shard file of `modelrun faults` or `modelrun sweep`: a header line, then
// one JSON object per line. The header says which slice of how many the
// file holds and of which report, so that a merge can put the slices in
// order and see that none is missing, given twice or of another run.
enum class ShardForm { Faults, BenchFaults, Sweep };

// What a shard is a slice of: SHA-256 over the campaign's command line
// without --shard and --jobs, where every argument (or --option=value)
// that names a file stands for its contents, and over the contents of
// files (the model read by default).
// Shards of one campaign agree on it whoever ran them and wherever.
QString ShardCampaign(const QStringList &arguments, const QStringList &files = {});

// {"shard":K,"shards":N,"campaign":C,"runs":R} with the form's name and any
// fields of extra; K from 1, R the lines that follow before the closing one.
QString ShardHeaderLine(int shard, int shards, ShardForm form, const QString &campaign, qsizetype runs,
                        const QJsonObject &extra = {});

// {"end":true,"runs":R}: the last line, so that a file cut short is seen.
QString ShardEndLine(qsizetype runs);

struct ShardFile
{
    QString fileName;
    int index = 0; // from 1
    int count = 0;
    ShardForm form = ShardForm::Faults;
    QJsonObject header;
    QString campaign;
    struct Line
    {
        int number = 0; // in the file, from 1
        QByteArray json;
    };
    QList<Line> lines; // blank lines and the closing line left out

    // "Файл F, строка L: " for a message about one of the lines.
    QString where(int lineNumber) const;
};

// A shard whose header, run count and closing line agree; a message naming
// the file otherwise.
std::expected<ShardFile, QString> ReadShardFile(const QString &fileName);

// Which part of a campaign one process runs: part index (from 0) of count.
struct ShardChoice
{
    int index = 0;
    int count = 1;
};

// "K/N" of --shard, 1 <= K <= N <= 100000; the option's message otherwise.
std::expected<ShardChoice, QString> ParseShardOption(const QString &text);
