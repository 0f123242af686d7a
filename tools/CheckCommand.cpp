#include "tools/CheckCommand.h"

#include "check/ModelCheck.h"
#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/OptionTable.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The status when the check found at least one error.
constexpr int ErrorsFound = 1;

// The command line as the table fills it.
struct CheckLine
{
    bool json = false;
    QString timingFile;
    bool timingGiven = false;
    bool help = false;
};

const OptionTable<CheckLine> &checkTable()
{
    using Kind = OptionDeclaration::Kind;
    static const OptionTable<CheckLine> table(
        {.command = QStringLiteral("check"),
         .helpHead = QStringLiteral(
             "Использование: modelrun check МОДЕЛЬ.mod [параметры]\n"
             "Проверяет модель: имена, не найденные среди элементов, похожие латинские и кириллические\n"
             "буквы, имена, слитые с p или со следующим именем, лишние «-» и «*», пустые термы,\n"
             "повторы имён, неиспользуемые элементы, постоянные функции, времена притяжения и отпадания и\n"
             "успокоение схемы при постоянном входе 0 и 1.\n"
             "\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 ошибок нет, 1 найдена хотя бы одна ошибка, 2 ошибка в командной строке.\n"),
         .operandSuffix = QStringLiteral("mod")},
        {
            {{.name = QStringLiteral("--format"),
              .help = QStringLiteral("вид вывода: строки «файл:строка:столбец: важность: сообщение»\n"
                                     "или по одному объекту JSON на строку (по умолчанию text)"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("text"), QStringLiteral("json")}},
             [](CheckLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 line.json = value.number == 1;
                 return {};
             }},
            {{.name = QStringLiteral("--timing"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("файл времён .tim (по умолчанию МОДЕЛЬ.tim, если он есть)"),
              .kind = Kind::File,
              .suffix = QStringLiteral("tim")},
             [](CheckLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 line.timingFile = value.text;
                 line.timingGiven = true;
                 return {};
             }},
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&CheckLine::help)},
        });
    return table;
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

const OptionList &CheckCommandOptions() { return checkTable(); }

int RunCheckCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    CheckLine line;
    const std::expected<QStringList, QString> models = checkTable().parse(arguments, line);
    if (!models)
        return usageError(err, models.error());
    if (line.help) {
        WriteText(out, checkTable().helpText());
        return ExitSuccess;
    }
    if (models->size() != 1)
        return usageError(err, models->isEmpty() ? QStringLiteral("не задан файл модели")
                                                 : QStringLiteral("нужен ровно один файл модели"));
    QString modelFile = models->at(0);
    if (!modelFile.endsWith(QLatin1String(".mod")))
        modelFile += QStringLiteral(".mod");
    const std::vector<Finding> findings =
        CheckModelFile(modelFile, line.timingGiven ? line.timingFile : TimingFileBeside(modelFile));
    for (const Finding &finding : findings)
        WriteLine(out, line.json ? jsonLine(finding) : textLine(finding));
    return HasErrors(findings) ? ErrorsFound : ExitSuccess;
}
