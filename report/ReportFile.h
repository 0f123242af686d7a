#pragma once

#include <QByteArrayView>
#include <QString>

// The report file: code page 866 text with CR LF line ends that grows across
// runs until it is emptied. Every call opens the file, writes and closes it
// again, so whatever a call wrote is on disk when it returns.
class ReportFile
{
public:
    explicit ReportFile(QString fileName) : m_fileName(std::move(fileName)) {}

    const QString &fileName() const { return m_fileName; }

    // Appends bytes as they are (creating the file if needed). Returns false
    // with a Russian message naming the file in *error when the file cannot
    // be created, opened or fully written; what was on disk before stays.
    bool Append(QByteArrayView bytes, QString *error) const;
    // Appends one line: the row and CR LF.
    bool AppendLine(QByteArrayView row, QString *error) const;
    // Creates the file, or empties it if it exists. Same failure contract.
    bool Empty(QString *error) const;

private:
    QString m_fileName;
};
