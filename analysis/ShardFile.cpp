#include "analysis/ShardFile.h"

#include "platform/BoundedRead.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <array>

namespace {

// The form's name in the header; the campaign that compares with the
// fault-free run has none, as before there were other forms.
constexpr std::array<const char *, 3> FormNames = {"", "bench", "sweep"};

// A shard of a campaign of pairs on the largest device holds some
// megabytes; a file far past that is not a shard.
constexpr qint64 MaxShardFileBytes = 256 * 1024 * 1024;

QString jsonLine(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

// Each piece goes in with its length, so that no two lists of pieces hash
// alike by shifting a boundary.
void addPiece(QCryptographicHash &hash, const QByteArray &piece)
{
    hash.addData(QByteArray::number(piece.size()).append(':'));
    hash.addData(piece);
}

void addFile(QCryptographicHash &hash, const QString &fileName)
{
    QFile file(fileName);
    addPiece(hash, file.open(QIODevice::ReadOnly) ? file.readAll() : fileName.toUtf8());
}

} // namespace

QString ShardCampaign(const QStringList &arguments, const QStringList &files)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (qsizetype a = 0; a < arguments.size(); ++a) {
        const QString &argument = arguments[a];
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        if (name == QLatin1String("--shard") || name == QLatin1String("--jobs")) {
            a += argument.contains(QLatin1Char('=')) ? 0 : 1;
            continue;
        }
        const bool withValue = argument.startsWith(QLatin1Char('-')) && argument.contains(QLatin1Char('='));
        const QString value = withValue ? argument.section(QLatin1Char('='), 1) : argument;
        if (withValue)
            addPiece(hash, name.toUtf8());
        if (QFileInfo(value).isFile())
            addFile(hash, value);
        else
            addPiece(hash, value.toUtf8());
    }
    for (const QString &fileName : files)
        addFile(hash, fileName);
    return QString::fromLatin1(hash.result().toHex());
}

QString ShardEndLine(qsizetype runs)
{
    return jsonLine({{QStringLiteral("end"), true}, {QStringLiteral("runs"), runs}});
}

QString ShardHeaderLine(int shard, int shards, ShardForm form, const QString &campaign, qsizetype runs,
                        const QJsonObject &extra)
{
    QJsonObject header = extra;
    header.insert(QStringLiteral("shard"), shard);
    header.insert(QStringLiteral("shards"), shards);
    header.insert(QStringLiteral("campaign"), campaign);
    header.insert(QStringLiteral("runs"), runs);
    if (form != ShardForm::Faults)
        header.insert(QStringLiteral("form"), QLatin1String(FormNames[size_t(form)]));
    return jsonLine(header);
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
    const FileResult<QByteArray> bytes = ReadAllBounded(file, MaxShardFileBytes);
    if (!bytes)
        return std::unexpected(bytes.error());
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(QStringLiteral("Файл %1: ошибка чтения.").arg(fileName));
    ShardFile shard;
    shard.fileName = fileName;
    int lineNumber = 0;
    QList<QByteArray> fileLines = bytes->isEmpty() ? QList<QByteArray>() : bytes->split('\n');
    if (bytes->endsWith('\n'))
        fileLines.removeLast();
    for (const QByteArray &line : std::as_const(fileLines)) {
        const QByteArray text = line.trimmed();
        ++lineNumber;
        if (lineNumber > 1) {
            if (!text.isEmpty())
                shard.lines.append({lineNumber, text});
            continue;
        }
        shard.header = QJsonDocument::fromJson(text).object();
        shard.index = shard.header.value(QStringLiteral("shard")).toInt();
        shard.count = shard.header.value(QStringLiteral("shards")).toInt();
        shard.campaign = shard.header.value(QStringLiteral("campaign")).toString();
        const QString form = shard.header.value(QStringLiteral("form")).toString();
        const auto known = std::find_if(FormNames.begin(), FormNames.end(),
                                        [&](const char *name) { return form == QLatin1String(name); });
        if (shard.count < 1 || shard.index < 1 || shard.index > shard.count || known == FormNames.end()
            || shard.campaign.isEmpty() || shard.header.value(QStringLiteral("runs")).toInt(-1) < 0)
            return std::unexpected(shard.where(1) + QStringLiteral("нет заголовка части "
                                                                   "{\"shard\":K,\"shards\":N,\"campaign\":…,\"runs\":R}."));
        shard.form = ShardForm(known - FormNames.begin());
    }
    if (lineNumber == 0)
        return std::unexpected(QStringLiteral("Файл %1 пуст: в нем нет части анализа.").arg(fileName));
    const int runs = shard.header.value(QStringLiteral("runs")).toInt();
    const QJsonObject end = shard.lines.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(shard.lines.last().json).object();
    if (!end.value(QStringLiteral("end")).toBool())
        return std::unexpected(QStringLiteral("Файл %1: часть не завершена (нет последней строки {\"end\":true,…}), "
                                              "файл обрезан?").arg(fileName));
    shard.lines.removeLast();
    if (end.value(QStringLiteral("runs")).toInt(-1) != runs || shard.lines.size() != runs)
        return std::unexpected(QStringLiteral("Файл %1: в части %2 строк прогонов, а заявлено %3.")
                                   .arg(fileName).arg(shard.lines.size()).arg(runs));
    return shard;
}

std::expected<ShardChoice, QString> ParseShardOption(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    bool shardOk = false;
    bool shardsOk = false;
    const int shard = parts.value(0).trimmed().toInt(&shardOk);
    const int shards = parts.value(1).trimmed().toInt(&shardsOk);
    if (parts.size() != 2 || !shardOk || !shardsOk || shards < 1 || shards > 100000 || shard < 1 || shard > shards)
        return std::unexpected(QStringLiteral("--shard: «%1» — нужно K/N, 1 ≤ K ≤ N").arg(text));
    return ShardChoice{shard - 1, shards};
}
