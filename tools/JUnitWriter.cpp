#include "tools/JUnitWriter.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>
#include <QXmlStreamWriter>

namespace {

void writeSuite(QXmlStreamWriter &xml, const BenchResult &result, int id, const QString &timestamp)
{
    const QString suite = QFileInfo(result.file).completeBaseName();
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), result.file);
    xml.writeAttribute(QStringLiteral("tests"), QString::number(result.results.size() + (result.error ? 1 : 0)));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(result.failures()));
    xml.writeAttribute(QStringLiteral("errors"), result.error ? QStringLiteral("1") : QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("skipped"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("time"), QString::number(result.seconds, 'f', 3));
    xml.writeAttribute(QStringLiteral("timestamp"), timestamp);
    xml.writeAttribute(QStringLiteral("hostname"), QSysInfo::machineHostName());
    xml.writeAttribute(QStringLiteral("id"), QString::number(id));
    xml.writeAttribute(QStringLiteral("package"), suite);
    xml.writeEmptyElement(QStringLiteral("properties"));
    for (const ExpectationResult &r : result.results) {
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("classname"), suite + QLatin1Char('.') + r.scenario);
        xml.writeAttribute(QStringLiteral("name"),
                           QStringLiteral("строка %1: %2").arg(r.expectation.place.line).arg(r.expectation.text));
        xml.writeAttribute(QStringLiteral("time"), QStringLiteral("0"));
        if (!r.passed) {
            xml.writeStartElement(QStringLiteral("failure"));
            xml.writeAttribute(QStringLiteral("message"), r.detail);
            xml.writeAttribute(QStringLiteral("type"), QStringLiteral("expectation"));
            xml.writeCharacters(QStringLiteral("%1:%2: %3 — %4")
                                    .arg(result.file)
                                    .arg(r.expectation.place.line)
                                    .arg(r.expectation.text, r.detail));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    if (result.error) {
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("classname"), suite);
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("чтение стенда"));
        xml.writeAttribute(QStringLiteral("time"), QStringLiteral("0"));
        xml.writeStartElement(QStringLiteral("error"));
        xml.writeAttribute(QStringLiteral("message"), *result.error);
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("bench"));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEmptyElement(QStringLiteral("system-out"));
    xml.writeEmptyElement(QStringLiteral("system-err"));
    xml.writeEndElement();
}

} // namespace

FileResult<> WriteJUnit(const QString &fileName, const QList<BenchResult> &results)
{
    QSaveFile file(fileName);
    const QString unwritten = QStringLiteral("Не удаётся записать файл %1.").arg(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(unwritten);
    qsizetype tests = 0, failures = 0, errors = 0;
    for (const BenchResult &result : results) {
        tests += result.results.size() + (result.error ? 1 : 0);
        failures += result.failures();
        errors += result.error ? 1 : 0;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("modelrun test"));
    xml.writeAttribute(QStringLiteral("tests"), QString::number(tests));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    xml.writeAttribute(QStringLiteral("errors"), QString::number(errors));
    const QString timestamp = QDateTime::currentDateTime().toString(Qt::ISODate);
    for (qsizetype id = 0; id < results.size(); ++id)
        writeSuite(xml, results[id], int(id), timestamp);
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !file.commit())
        return std::unexpected(unwritten);
    return {};
}
