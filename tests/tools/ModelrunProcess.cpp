#include "tests/tools/ModelrunProcess.h"

#include <QProcess>
#include <QProcessEnvironment>

ModelrunResult RunModelrun(const QStringList &arguments, const QString &workingDirectory, const QString &locale)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(MODELRUN_PATH), arguments);
    ModelrunResult result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

Diagram ParseDiagram(const QByteArray &utf8)
{
    Diagram diagram;
    QStringList lines = QString::fromUtf8(utf8).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (!lines.isEmpty())
        diagram.heading = lines.takeFirst();
    diagram.rows = lines;
    return diagram;
}

QList<int> Diagram::rowsShowing(int c, QChar glyph) const
{
    QList<int> found;
    for (int r = 0; r < rows.size(); ++r)
        if (cell(r, c) == glyph)
            found.append(r + 1);
    return found;
}

QList<int> Steps(int first, int last)
{
    QList<int> steps;
    for (int k = first; k <= last; ++k)
        steps.append(k);
    return steps;
}
