#pragma once

#include <QFile>
#include <QString>

// The pages of a PDF file as Qt writes them: one "/Type /Page" object each
// ("/Type /Pages" is their tree); -1 when the file cannot be read.
inline int PdfPageCount(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = file.readAll();
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        pages += pdf.mid(at + 11, 1) != "s";
    return pages;
}
