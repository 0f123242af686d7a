#include "tools/ShardFile.h"

#include <QFile>
#include <QJsonDocument>

#include <array>

namespace {

// The form's name in the header; the campaign that compares with the
// fault-free run has none, as before there were other forms.
constexpr std::array<const char *, 3> FormNames = {"", "bench", "sweep"};

} // namespace

QString ShardHeaderLine(int shard, int shards, ShardForm form, const QJsonObject &extra)
{
    QJsonObject header = extra;
    header.insert(QStringLiteral("shard"), shard);
    header.insert(QStringLiteral("shards"), shards);
    if (form != ShardForm::Faults)
        header.insert(QStringLiteral("form"), QLatin1String(FormNames[size_t(form)]));
    return QString::fromUtf8(QJsonDocument(header).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

QString ShardFile::where(int lineNumber) const
{
    return QStringLiteral("Файл %1, строка %2: ").arg(fileName).arg(lineNumber);
}

std::expected<ShardFile, QString> ReadShardFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("Не удаётся открыть файл %1.").arg(fileName));
    ShardFile shard;
    shard.fileName = fileName;
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QByteArray text = file.readLine().trimmed();
        ++lineNumber;
        if (lineNumber > 1) {
            if (!text.isEmpty())
                shard.lines.append({lineNumber, text});
            continue;
        }
        shard.header = QJsonDocument::fromJson(text).object();
        shard.index = shard.header.value(QStringLiteral("shard")).toInt();
        shard.count = shard.header.value(QStringLiteral("shards")).toInt();
        const QString form = shard.header.value(QStringLiteral("form")).toString();
        const auto known = std::find_if(FormNames.begin(), FormNames.end(),
                                        [&](const char *name) { return form == QLatin1String(name); });
        if (shard.count < 1 || shard.index < 1 || shard.index > shard.count || known == FormNames.end())
            return std::unexpected(shard.where(1) + QStringLiteral("нет заголовка части {\"shard\":K,\"shards\":N}."));
        shard.form = ShardForm(known - FormNames.begin());
    }
    if (lineNumber == 0)
        return std::unexpected(QStringLiteral("Файл %1 пуст: в нем нет части анализа.").arg(fileName));
    return shard;
}

std::optional<std::pair<int, int>> ParseShardOption(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    bool shardOk = false;
    bool shardsOk = false;
    const int shard = parts.value(0).trimmed().toInt(&shardOk);
    const int shards = parts.value(1).trimmed().toInt(&shardsOk);
    if (parts.size() != 2 || !shardOk || !shardsOk || shards < 1 || shards > 100000 || shard < 1 || shard > shards)
        return std::nullopt;
    return std::pair{shard, shards};
}
