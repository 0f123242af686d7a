#include "wave/SignalOrder.h"

#include "wave/TracePainter.h"

#include <QCryptographicHash>
#include <QStringList>

#include <algorithm>

namespace {

// Names are joined with a character no model name holds.
constexpr QChar Separator = QLatin1Char('|');

} // namespace

std::vector<SignalChoice> RestoreSignalOrder(const RunRecording &recording, const QString &saved)
{
    std::vector<int> remaining = TraceView::wholeRun(recording).rows;
    std::vector<SignalChoice> choices;
    for (QString name : saved.split(Separator, Qt::SkipEmptyParts)) {
        const bool shown = !name.startsWith(QLatin1Char('-'));
        if (!shown)
            name.remove(0, 1);
        const auto found = std::find_if(remaining.begin(), remaining.end(),
                                        [&](int lane) { return recording.lanes()[size_t(lane)].name == name; });
        if (found == remaining.end())
            continue;
        choices.push_back({*found, shown});
        remaining.erase(found);
    }
    for (const int lane : remaining)
        choices.push_back({lane, true});
    return choices;
}

QString SaveSignalOrder(const RunRecording &recording, const std::vector<SignalChoice> &choices)
{
    QStringList names;
    for (const SignalChoice &choice : choices)
        names.append((choice.shown ? QString() : QStringLiteral("-")) + recording.lanes()[size_t(choice.lane)].name);
    return names.join(Separator);
}

std::vector<int> ShownLanes(const std::vector<SignalChoice> &choices)
{
    std::vector<int> lanes;
    for (const SignalChoice &choice : choices)
        if (choice.shown)
            lanes.push_back(choice.lane);
    return lanes;
}

QString SignalOrderKey(const QString &modelPath)
{
    // Paths hold "/", which the store takes for a group.
    return QStringLiteral("WaveSignals_")
           + QString::fromLatin1(QCryptographicHash::hash(modelPath.toUtf8(), QCryptographicHash::Md5).toHex());
}
