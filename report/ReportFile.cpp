#include "report/ReportFile.h"

#include <QDir>

#include <sys/stat.h>

namespace {

QString shownName(const QString &fileName) { return QDir::toNativeSeparators(fileName); }

// True when the open file no longer has a name: deleted, or replaced as a
// whole (as an editor saves). Rows written to it would reach no one.
bool unlinked(const QFile &file)
{
    struct stat status;
    return fstat(file.handle(), &status) == 0 && status.st_nlink == 0;
}

} // namespace

FileResult<> ReportFile::Append(QByteArrayView bytes)
{
    if (m_file.isOpen() && unlinked(m_file))
        m_file.close();
    if (!m_file.isOpen()) {
        m_file.setFileName(m_fileName);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return std::unexpected(QStringLiteral("Не удаётся открыть файл отчета %1 для записи.").arg(shownName(m_fileName)));
    }
    if (!bytes.isEmpty() && m_file.write(bytes.data(), bytes.size()) != bytes.size()) {
        m_file.close();
        return std::unexpected(QStringLiteral("Не удаётся записать в файл отчета %1.").arg(shownName(m_fileName)));
    }
    return {};
}

FileResult<> ReportFile::AppendLine(QByteArrayView row)
{
    QByteArray line;
    line.reserve(row.size() + 2);
    line.append(row.data(), row.size());
    line.append("\r\n", 2);
    return Append(line);
}

FileResult<> ReportFile::Empty()
{
    // Appends go to the end as it is then, so an open file simply carries on
    // at the start of the emptied one.
    QFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return std::unexpected(QStringLiteral("Не удаётся создать файл отчета %1.").arg(shownName(m_fileName)));
    return {};
}
