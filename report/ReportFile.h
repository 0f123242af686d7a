#pragma once

#include "platform/FileResult.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>

// The report file: code page 866 text with CR LF line ends that grows across
// runs until it is emptied. The file stays open for appending between calls,
// without a buffer of its own: whatever a call wrote has reached the system
// when it returns, so a process killed after it loses nothing of it. A file
// deleted or replaced meanwhile is opened afresh by name.
class ReportFile
{
public:
    explicit ReportFile(QString fileName) : m_fileName(std::move(fileName)) {}

    const QString &fileName() const { return m_fileName; }

    // Appends bytes as they are (creating the file if needed) in one write,
    // so no row is ever half there. Fails with a Russian message naming the
    // file when the file cannot be created, opened or fully written; what was
    // on disk before stays.
    FileResult<> Append(QByteArrayView bytes);
    // Appends one line: the row and CR LF.
    FileResult<> AppendLine(QByteArrayView row);
    // Creates the file, or empties it if it exists. Same failure contract.
    FileResult<> Empty();

private:
    QString m_fileName;
    QFile m_file;
};
