#include "tools/DrawCommand.h"

#include "check/ModelCheck.h"
#include "model/LoadedModel.h"
#include "model/TimingFile.h"
#include "schematic/SchematicPages.h"
#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/OptionWords.h"

namespace {

QString usageText()
{
    return QStringLiteral(
        "Использование: modelrun draw МОДЕЛЬ.mod [--timing ФАЙЛ] --svg ФАЙЛ | --pdf ФАЙЛ | --png ФАЙЛ\n"
        "Рисует модель как релейно-контактную схему: по цепи на каждый элемент и выход,\n"
        "от шины питания через контакты к обмотке реле или лампе; терм — контакты\n"
        "последовательно, термы суммы — параллельные ветви; у обмотки — где используются\n"
        "фронтовые и тыловые контакты реле. Имя, не найденное среди элементов, рисуется\n"
        "как отбрасываемое и помечается.\n"
        "\n"
        "  --timing ФАЙЛ   файл времён .tim: времена притяжения и отпадания у обмоток\n"
        "                  (по умолчанию МОДЕЛЬ.tim, если он есть)\n"
        "  --svg ФАЙЛ      записать схему в SVG\n"
        "  --pdf ФАЙЛ      записать схему в PDF, страницы A4 с именем модели и номером\n"
        "  --png ФАЙЛ      записать схему в PNG\n"
        "  --help          эта справка\n"
        "\n"
        "Коды выхода: 0 файлы записаны, 1 модель или файл времён не читается или файл\n"
        "не записан, 2 ошибка в командной строке.\n");
}

int usageError(std::FILE *err, const QString &message)
{
    WriteUsageError(err, QStringLiteral("draw"), message);
    return ExitUsageError;
}

} // namespace

int RunDrawCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    QString timingFile;
    bool timingGiven = false;
    QStringList pictures;
    QStringList models;
    for (qsizetype a = 0; a < arguments.size(); ++a) {
        const OptionWord option = SplitOptionWord(arguments[a]);
        const QString &name = option.name;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            WriteText(out, usageText());
            return ExitSuccess;
        } else if (name == QLatin1String("--timing") || name == QLatin1String("--svg")
                   || name == QLatin1String("--pdf") || name == QLatin1String("--png")) {
            const std::expected<QString, QString> value = TakeOptionValue(option, arguments, a);
            if (!value)
                return usageError(err, value.error());
            if (name == QLatin1String("--timing")) {
                timingFile = *value;
                timingGiven = true;
            } else {
                pictures.append(*value);
            }
        } else if (name.startsWith(QLatin1Char('-')) && name != QLatin1String("-")) {
            return usageError(err, QStringLiteral("неизвестный параметр «%1»").arg(name));
        } else {
            models.append(arguments[a]);
        }
    }
    if (models.size() != 1)
        return usageError(err, models.isEmpty() ? QStringLiteral("не задан файл модели")
                                                : QStringLiteral("нужен ровно один файл модели"));
    if (pictures.isEmpty())
        return usageError(err, QStringLiteral("не задан файл схемы: --svg, --pdf или --png"));

    QString modelPath = models[0];
    if (modelPath.endsWith(QLatin1String(".mod")))
        modelPath.chop(4);
    const FileResult<SharedModel> model = LoadSharedModel(modelPath);
    if (!model) {
        WriteLine(err, model.error());
        return ExitFileError;
    }
    const ModelDefinition &definition = (*model)->definition;
    if (!timingGiven)
        timingFile = TimingFileBeside(modelPath + QStringLiteral(".mod"));
    std::optional<schematic::RelayTimes> times;
    if (!timingFile.isEmpty()) {
        const FileResult<TimingValues> timing = ReadTimingFile(timingFile, definition.ElemCount);
        if (!timing) {
            WriteLine(err, timing.error());
            return ExitFileError;
        }
        times = schematic::RelayTimes{timing->Tpr, timing->Totp};
    }
    const schematic::Schematic drawing = schematic::BuildSchematic(definition, times);
    const schematic::SchematicPainter painter(drawing);
    int status = ExitSuccess;
    for (const QString &picture : std::as_const(pictures)) {
        if (const auto written = schematic::ExportSchematic(painter, picture); !written) {
            WriteLine(err, written.error());
            status = ExitFileError;
        }
    }
    return status;
}
