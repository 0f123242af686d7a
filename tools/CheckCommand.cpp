#include "tools/CheckCommand.h"

#include "check/ModelCheck.h"
#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The status when the check found at least one error.
constexpr int ErrorsFound = 1;

QString usageText()
{
    return QStringLiteral(
        "Использование: modelrun check МОДЕЛЬ.mod [параметры]\n"
        "Проверяет модель: имена, не найденные среди элементов, похожие латинские и кириллические\n"
        "буквы, имена, слитые с p или со следующим именем, лишние «-» и «*», пустые термы,\n"
        "повторы имён, неиспользуемые элементы, постоянные функции, времена притяжения и отпадания и\n"
        "успокоение схемы при постоянном входе 0 и 1.\n"
        "\n"
        "  --format text|json   вид вывода: строки «файл:строка:столбец: важность: сообщение»\n"
        "                       или по одному объекту JSON на строку (по умолчанию text)\n"
        "  --timing ФАЙЛ        файл времён .tim (по умолчанию МОДЕЛЬ.tim, если он есть)\n"
        "  --help               эта справка\n"
        "\n"
        "Коды выхода: 0 ошибок нет, 1 найдена хотя бы одна ошибка, 2 ошибка в командной строке.\n");
}

QString textLine(const Finding &finding)
{
    QString place = finding.file;
    if (finding.line > 0)
        place += QLatin1Char(':') + QString::number(finding.line);
    if (finding.line > 0 && finding.column > 0)
        place += QLatin1Char(':') + QString::number(finding.column);
    return QStringLiteral("%1: %2: %3 [%4]").arg(place, SeverityWord(finding.severity), finding.message, finding.kind);
}

QString jsonLine(const Finding &finding)
{
    QJsonObject object{
        {QStringLiteral("kind"), finding.kind},
        {QStringLiteral("severity"), SeverityId(finding.severity)},
        {QStringLiteral("file"), finding.file},
        {QStringLiteral("line"), finding.line},
        {QStringLiteral("column"), finding.column},
        {QStringLiteral("message"), finding.message},
    };
    if (!finding.operand.isEmpty())
        object.insert(QStringLiteral("operand"), finding.operand);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

int usageError(std::FILE *err, const QString &message)
{
    WriteUsageError(err, QStringLiteral("check"), message);
    return ExitUsageError;
}

} // namespace

int RunCheckCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    bool json = false;
    QString timingFile;
    bool timingGiven = false;
    QStringList models;
    for (qsizetype a = 0; a < arguments.size(); ++a) {
        const QString &argument = arguments[a];
        const auto value = [&](QString *target) {
            if (a + 1 >= arguments.size())
                return false;
            *target = arguments[++a];
            return true;
        };
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(usageText().toUtf8().constData(), out);
            return ExitSuccess;
        } else if (argument == QLatin1String("--format")) {
            QString format;
            if (!value(&format) || (format != QLatin1String("text") && format != QLatin1String("json")))
                return usageError(err, QStringLiteral("--format: нужно text или json"));
            json = format == QLatin1String("json");
        } else if (argument == QLatin1String("--timing")) {
            if (!value(&timingFile))
                return usageError(err, QStringLiteral("--timing: не хватает значения"));
            timingGiven = true;
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            return usageError(err, QStringLiteral("неизвестный параметр «%1»").arg(argument));
        } else {
            models.append(argument);
        }
    }
    if (models.size() != 1)
        return usageError(err, models.isEmpty() ? QStringLiteral("не задан файл модели")
                                                : QStringLiteral("нужен ровно один файл модели"));
    QString modelFile = models[0];
    if (!modelFile.endsWith(QLatin1String(".mod")))
        modelFile += QStringLiteral(".mod");
    const std::vector<Finding> findings =
        CheckModelFile(modelFile, timingGiven ? timingFile : TimingFileBeside(modelFile));
    for (const Finding &finding : findings)
        WriteLine(out, json ? jsonLine(finding) : textLine(finding));
    return HasErrors(findings) ? ErrorsFound : ExitSuccess;
}
