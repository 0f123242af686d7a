#pragma once

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
    // so no row is ever half there. Returns false with a Russian message
    // naming the file in *error when the file cannot be created, opened or
    // fully written; what was on disk before stays.
    bool Append(QByteArrayView bytes, QString *error);
    // Appends one line: the row and CR LF.
    bool AppendLine(QByteArrayView row, QString *error);
    // Creates the file, or empties it if it exists. Same failure contract.
    bool Empty(QString *error);

private:
    QString m_fileName;
    QFile m_file;
};
