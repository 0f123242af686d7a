#include "wave/VcdExport.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using Kind = RunRecording::LaneKind;

constexpr qsizetype FlushThreshold = 1 << 20;

// Identifier codes are short strings of the printable characters ! .. ~.
QByteArray identifier(int index)
{
    QByteArray id;
    do {
        id.append(char('!' + index % 94));
        index /= 94;
    } while (index > 0);
    return id;
}

QString safeName(const QString &name, const QString &fallback)
{
    QString safe;
    safe.reserve(name.size());
    for (QChar c : name)
        safe.append(c.isLetterOrNumber() || c == QLatin1Char('_') ? c : QLatin1Char('_'));
    return safe.isEmpty() ? fallback : safe;
}

// One wire of the dump: the recording's lane it reads, and for the two wires
// of a fault lane the fault it shows.
struct Wire
{
    size_t lane = 0;
    int fault = 0; // 0: the lane's own value
    QByteArray id;
    int value = 0;

    int valueOf(int laneValue) const { return fault == 0 ? laneValue : int(laneValue == fault); }
};

// The wires in the order of their declarations, and the header that
// declares them.
class Declarations
{
public:
    explicit Declarations(const RunRecording &recording)
    {
        const std::vector<RunRecording::Lane> &lanes = recording.lanes();
        QStringList elementNames;
        for (size_t k = 0; k < lanes.size(); ++k) {
            const RunRecording::Lane &lane = lanes[k];
            switch (lane.kind) {
            case Kind::Input: declare(k, 0, QStringLiteral("p"), QStringLiteral("p")); break;
            case Kind::Element:
                declare(k, 0, safeName(lane.name, QStringLiteral("e%1").arg(lane.element)), lane.name);
                elementNames.append(m_usedNames.last());
                break;
            case Kind::Output: declare(k, 0, safeName(lane.name, QStringLiteral("out%1").arg(lane.element)), lane.name); break;
            default: break;
            }
        }
        // An element's phase and fault wires follow the elements and outputs,
        // named after the element's name in the dump.
        for (size_t k = 0; k < lanes.size(); ++k) {
            const RunRecording::Lane &lane = lanes[k];
            const QString name = elementNames.value(lane.element - 1);
            if (lane.kind == Kind::Pickup)
                declare(k, 0, name + QStringLiteral("_pickup"));
            else if (lane.kind == Kind::Release)
                declare(k, 0, name + QStringLiteral("_release"));
            else if (lane.kind == Kind::Fault) {
                declare(k, 1, name + QStringLiteral("_break"));
                declare(k, 2, name + QStringLiteral("_feed"));
            }
        }
        const QString scope = safeName(recording.modelName(), QStringLiteral("model"));
        if (scope != recording.modelName())
            m_renames.prepend(scope + QStringLiteral(" = ") + recording.modelName());
        if (!m_renames.isEmpty())
            m_header += "$comment\n  Original names:\n  " + m_renames.join(QStringLiteral("\n  ")).toUtf8() + "\n$end\n";
        m_header += "$version modelrun $end\n$timescale 10ms $end\n";
        m_header += "$scope module " + scope.toUtf8() + " $end\n" + m_vars + "$upscope $end\n";
        m_header += "$enddefinitions $end\n";
    }

    std::vector<Wire> wires;
    const QByteArray &header() const { return m_header; }

private:
    void declare(size_t lane, int fault, const QString &name) { declare(lane, fault, name, name); }
    void declare(size_t lane, int fault, const QString &name, const QString &original)
    {
        QString unique = name;
        for (int suffix = 2; m_usedNames.contains(unique); ++suffix)
            unique = name + QLatin1Char('_') + QString::number(suffix);
        m_usedNames.append(unique);
        if (unique != original)
            m_renames.append(unique + QStringLiteral(" = ") + original);
        const Wire &wire = wires.emplace_back(Wire{lane, fault, identifier(int(wires.size()))});
        m_vars += "$var wire 1 " + wire.id + ' ' + unique.toUtf8() + " $end\n";
    }

    QStringList m_usedNames;
    QStringList m_renames;
    QByteArray m_vars;
    QByteArray m_header;
};

void appendValue(QByteArray &text, const Wire &wire)
{
    text += char('0' + (wire.value & 1));
    text += wire.id;
    text += '\n';
}

} // namespace

FileResult<> CreateVcdFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return std::unexpected(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
    return {};
}

FileResult<> ExportVcd(const RunRecording &recording, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return std::unexpected(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
    bool writeFailed = false;
    QByteArray text;
    const auto flush = [&] {
        if (file.write(text) != text.size())
            writeFailed = true;
        text.clear();
    };

    Declarations declarations(recording);
    std::vector<Wire> &wires = declarations.wires;
    const std::vector<RunRecording::Lane> &lanes = recording.lanes();
    text += declarations.header() + "#0\n$dumpvars\n";
    for (Wire &wire : wires) {
        wire.value = wire.valueOf(lanes[wire.lane].values.front());
        appendValue(text, wire);
    }
    text += "$end\n";

    // The lanes' runs are walked together, from one step where some lane
    // changed to the next; a stamp only where some wire changed.
    std::vector<size_t> run(lanes.size(), 0);
    const auto nextChange = [&](size_t k) {
        return run[k] + 1 < lanes[k].steps.size() ? lanes[k].steps[run[k] + 1] : UINT32_MAX;
    };
    for (;;) {
        uint32_t step = UINT32_MAX;
        for (size_t k = 0; k < lanes.size(); ++k)
            step = std::min(step, nextChange(k));
        if (step == UINT32_MAX)
            break;
        for (size_t k = 0; k < lanes.size(); ++k)
            if (nextChange(k) == step)
                ++run[k];
        bool stamped = false;
        for (Wire &wire : wires) {
            const int value = wire.valueOf(lanes[wire.lane].values[run[wire.lane]]);
            if (value == wire.value)
                continue;
            if (!stamped) {
                text += '#' + QByteArray::number(step) + '\n';
                stamped = true;
            }
            wire.value = value;
            appendValue(text, wire);
        }
        if (text.size() >= FlushThreshold)
            flush();
    }
    text += '#' + QByteArray::number(recording.lastStep() + 1) + '\n';
    flush();
    if (!file.flush())
        writeFailed = true;
    file.close();
    if (writeFailed)
        return std::unexpected(QStringLiteral("Ошибка записи в файл «%1»").arg(fileName));
    return {};
}
