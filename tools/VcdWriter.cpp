#include "tools/VcdWriter.h"

namespace {

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

} // namespace

FileResult<> VcdWriter::open(const QString &fileName)
{
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return std::unexpected(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
    return {};
}

void VcdWriter::declare(const QString &name, const QString &original)
{
    QString unique = name;
    for (int suffix = 2; m_usedNames.contains(unique); ++suffix)
        unique = name + QLatin1Char('_') + QString::number(suffix);
    m_usedNames.append(unique);
    if (unique != original)
        m_renames.append(unique + QStringLiteral(" = ") + original);

    Lane lane;
    lane.id = identifier(int(m_lanes.size()));
    m_declarations += "$var wire 1 " + lane.id + ' ' + unique.toUtf8() + " $end\n";
    m_lanes.push_back(lane);
}

void VcdWriter::begin(const RunState &state)
{
    m_elemCount = state.ElemCount;
    m_outCount = state.OutCount;

    declare(QStringLiteral("p"), QStringLiteral("p"));
    QStringList elementNames;
    for (int i = 1; i <= m_elemCount; ++i) {
        const QString original = state.ElemName[i];
        declare(safeName(original, QStringLiteral("e%1").arg(i)), original);
        elementNames.append(m_usedNames.last());
    }
    for (int j = 1; j <= m_outCount; ++j) {
        const QString original = state.OutName[j];
        declare(safeName(original, QStringLiteral("out%1").arg(j)), original);
    }
    for (const QString &name : std::as_const(elementNames))
        for (const QString &suffix : {QStringLiteral("_pickup"), QStringLiteral("_release"), QStringLiteral("_break"),
                                     QStringLiteral("_feed")})
            declare(name + suffix, name + suffix);

    const QString scope = safeName(state.ModelName, QStringLiteral("model"));
    if (scope != state.ModelName)
        m_renames.prepend(scope + QStringLiteral(" = ") + state.ModelName);

    if (!m_renames.isEmpty())
        m_buffer += "$comment\n  Original names:\n  " + m_renames.join(QStringLiteral("\n  ")).toUtf8() + "\n$end\n";
    m_buffer += "$version modelrun $end\n$timescale 10ms $end\n";
    m_buffer += "$scope module " + scope.toUtf8() + " $end\n" + m_declarations + "$upscope $end\n";
    m_buffer += "$enddefinitions $end\n#0\n$dumpvars\n";
    collectValues(state, &m_values);
    for (size_t k = 0; k < m_lanes.size(); ++k) {
        m_lanes[k].value = m_values[k];
        appendValue(m_lanes[k]);
    }
    m_buffer += "$end\n";
}

void VcdWriter::collectValues(const RunState &state, std::vector<int> *values) const
{
    values->clear();
    values->push_back(state.InputVal[1]);
    for (int i = 1; i <= m_elemCount; ++i)
        values->push_back(state.ElemState[i][1]);
    for (int j = 1; j <= m_outCount; ++j)
        values->push_back(state.OutState[j][1]);
    for (int i = 1; i <= m_elemCount; ++i) {
        values->push_back(state.PickupPending[i][1]);
        values->push_back(state.ReleasePending[i][1]);
        values->push_back(state.ElemFault[i] == 1);
        values->push_back(state.ElemFault[i] == 2);
    }
}

void VcdWriter::appendValue(const Lane &lane)
{
    m_buffer += char('0' + (lane.value & 1));
    m_buffer += lane.id;
    m_buffer += '\n';
}

void VcdWriter::step(qint64 step, const RunState &state)
{
    collectValues(state, &m_values);
    bool stamped = false;
    for (size_t k = 0; k < m_lanes.size(); ++k) {
        if (m_lanes[k].value == m_values[k])
            continue;
        if (!stamped) {
            m_buffer += '#' + QByteArray::number(step) + '\n';
            stamped = true;
        }
        m_lanes[k].value = m_values[k];
        appendValue(m_lanes[k]);
    }
    flushIfFull();
}

void VcdWriter::flushIfFull()
{
    if (m_buffer.size() < FlushThreshold)
        return;
    if (m_file.write(m_buffer) != m_buffer.size())
        m_writeFailed = true;
    m_buffer.clear();
}

FileResult<> VcdWriter::finish(qint64 lastStep)
{
    m_buffer += '#' + QByteArray::number(lastStep + 1) + '\n';
    if (m_file.write(m_buffer) != m_buffer.size())
        m_writeFailed = true;
    m_buffer.clear();
    if (!m_file.flush())
        m_writeFailed = true;
    m_file.close();
    if (m_writeFailed)
        return std::unexpected(QStringLiteral("Ошибка записи в файл «%1»").arg(m_file.fileName()));
    return {};
}
