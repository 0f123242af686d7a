#include "wave/WaveExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace {

using Kind = RunRecording::LaneKind;

QString laneTitle(const RunRecording::Lane &lane)
{
    switch (lane.kind) {
    case Kind::Pickup: return lane.name + QStringLiteral(" притяжение");
    case Kind::Release: return lane.name + QStringLiteral(" отпадание");
    case Kind::Fault: return lane.name + QStringLiteral(" неисправность");
    default: return lane.name;
    }
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QByteArray csvText(const RunRecording &recording)
{
    const std::vector<RunRecording::Lane> &lanes = recording.lanes();
    QStringList header{QStringLiteral("шаг"), csvField(QStringLiteral("время, с"))};
    std::vector<uint32_t> steps;
    for (const RunRecording::Lane &lane : lanes) {
        header.append(csvField(laneTitle(lane)));
        steps.insert(steps.end(), lane.steps.begin(), lane.steps.end());
    }
    std::sort(steps.begin(), steps.end());
    steps.erase(std::unique(steps.begin(), steps.end()), steps.end());

    QByteArray text = header.join(QLatin1Char(',')).toUtf8() + '\n';
    std::vector<size_t> run(lanes.size(), 0);
    for (const uint32_t step : steps) {
        text += QByteArray::number(step) + ',' + QByteArray::number(step * RunRecording::StepSeconds, 'f', 2);
        for (size_t k = 0; k < lanes.size(); ++k) {
            while (run[k] + 1 < lanes[k].steps.size() && lanes[k].steps[run[k] + 1] <= step)
                ++run[k];
            text += ',' + QByteArray::number(lanes[k].values[run[k]]);
        }
        text += '\n';
    }
    return text;
}

QByteArray waveJsonText(const RunRecording &recording)
{
    const std::vector<RunRecording::Lane> &lanes = recording.lanes();
    const auto length = size_t(recording.lastStep() + 1);
    // A wave of one symbol per step, "." where the symbol repeats.
    const auto waveOf = [&](const std::vector<char> &symbols) {
        QByteArray wave(qsizetype(symbols.size()), '.');
        for (size_t s = 0; s < symbols.size(); ++s)
            if (s == 0 || symbols[s] != symbols[s - 1])
                wave[qsizetype(s)] = symbols[s];
        return QString::fromLatin1(wave);
    };
    // The value of lane at every step, from its runs.
    const auto valuesOf = [&](size_t lane) {
        const RunRecording::Lane &runs = lanes[lane];
        std::vector<char> values(length);
        for (size_t r = 0; r < runs.steps.size(); ++r) {
            const size_t end = r + 1 < runs.steps.size() ? runs.steps[r + 1] : length;
            std::fill(values.begin() + std::ptrdiff_t(runs.steps[r]), values.begin() + std::ptrdiff_t(end),
                      char('0' + runs.values[r]));
        }
        return values;
    };
    const auto laneOf = [&](Kind kind, int element) {
        return size_t(std::find_if(lanes.begin(), lanes.end(), [&](const RunRecording::Lane &l) {
                          return l.kind == kind && l.element == element;
                      }) - lanes.begin());
    };

    QJsonArray signalList;
    QJsonArray faultList;
    for (size_t k = 0; k < lanes.size(); ++k) {
        const RunRecording::Lane &lane = lanes[k];
        QJsonObject entry{{QStringLiteral("name"), lane.name}};
        if (lane.kind == Kind::Input || lane.kind == Kind::Output) {
            entry[QStringLiteral("wave")] = waveOf(valuesOf(k));
        } else if (lane.kind == Kind::Element) {
            std::vector<char> symbols = valuesOf(k);
            const std::vector<char> pickup = valuesOf(laneOf(Kind::Pickup, lane.element));
            const std::vector<char> release = valuesOf(laneOf(Kind::Release, lane.element));
            for (size_t s = 0; s < length; ++s)
                if (pickup[s] == '1' || release[s] == '1')
                    symbols[s] = 'x';
            entry[QStringLiteral("wave")] = waveOf(symbols);
        } else if (lane.kind == Kind::Fault && lane.steps.size() > 1) {
            // A fault lane names the fault in force; "=" starts a new named value.
            QJsonArray data;
            QString wave = waveOf(valuesOf(k));
            for (qsizetype s = 0; s < wave.size(); ++s) {
                if (wave[s] == QLatin1Char('1') || wave[s] == QLatin1Char('2')) {
                    data.append(RunRecording::faultText(lane.name, FaultOfKind(wave[s].digitValue())));
                    wave[s] = QLatin1Char('=');
                }
            }
            entry[QStringLiteral("name")] = laneTitle(lane);
            entry[QStringLiteral("wave")] = wave;
            entry[QStringLiteral("data")] = data;
            faultList.append(entry);
            continue;
        } else {
            continue;
        }
        signalList.append(entry);
    }
    for (const QJsonValue &fault : std::as_const(faultList))
        signalList.append(fault);

    const QJsonObject document{
        {QStringLiteral("signal"), signalList},
        {QStringLiteral("head"), QJsonObject{{QStringLiteral("text"), recording.modelName()}}},
        {QStringLiteral("foot"), QJsonObject{{QStringLiteral("text"), QStringLiteral("шаг 0.01 с")}}},
    };
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

} // namespace

ExportResult WriteExport(const RunRecording &recording, const QString &fileName,
                         const std::function<std::optional<QByteArray>()> &render)
{
    if (recording.isEmpty())
        return std::unexpected(QStringLiteral("Файл «%1» не записан: прогон не сделал ни одного шага").arg(fileName));
    return WriteRenderedFile(fileName, render());
}

ExportResult WriteRenderedFile(const QString &fileName, const std::optional<QByteArray> &bytes)
{
    const QString writeFailed = QStringLiteral("Ошибка записи в файл «%1»").arg(fileName);
    if (!bytes)
        return std::unexpected(writeFailed);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
    file.write(*bytes);
    if (!file.commit())
        return std::unexpected(writeFailed);
    return {};
}

ExportResult ExportCsv(const RunRecording &recording, const QString &fileName)
{
    return WriteExport(recording, fileName, [&] { return std::optional(csvText(recording)); });
}

ExportResult ExportWaveJson(const RunRecording &recording, const QString &fileName)
{
    return WriteExport(recording, fileName, [&] { return std::optional(waveJsonText(recording)); });
}
