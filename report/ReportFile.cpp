#include "ReportFile.h"

#include <QDir>
#include <QFile>

namespace {

QString shownName(const QString &fileName) { return QDir::toNativeSeparators(fileName); }

bool writeAll(QFile &file, QByteArrayView bytes)
{
    return bytes.isEmpty() || file.write(bytes.data(), bytes.size()) == bytes.size();
}

} // namespace

bool ReportFile::Append(QByteArrayView bytes, QString *error) const
{
    QFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = QStringLiteral("Не удается открыть файл отчета %1 для записи.").arg(shownName(m_fileName));
        return false;
    }
    // flush() as well as write(): a full disk shows up only when the
    // buffered bytes actually reach the file.
    if (!writeAll(file, bytes) || !file.flush()) {
        *error = QStringLiteral("Не удается записать в файл отчета %1.").arg(shownName(m_fileName));
        return false;
    }
    return true;
}

bool ReportFile::AppendLine(QByteArrayView row, QString *error) const
{
    QByteArray line;
    line.reserve(row.size() + 2);
    line.append(row.data(), row.size());
    line.append("\r\n", 2);
    return Append(line, error);
}

bool ReportFile::Empty(QString *error) const
{
    QFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("Не удается создать файл отчета %1.").arg(shownName(m_fileName));
        return false;
    }
    return true;
}
