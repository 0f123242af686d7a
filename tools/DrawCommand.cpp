#include "tools/DrawCommand.h"

#include "check/ModelCheck.h"
#include "model/LoadedModel.h"
#include "model/TimingFile.h"
#include "schematic/SchematicPages.h"
#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/OptionTable.h"

namespace {

// The command line as the table fills it.
struct DrawLine
{
    QString timingFile;
    bool timingGiven = false;
    QStringList pictures;
    bool help = false;
};

const OptionTable<DrawLine> &drawTable()
{
    using Kind = OptionDeclaration::Kind;
    const auto picture = [](const char *kind, const char *help) {
        return std::pair{OptionDeclaration{.name = QStringLiteral("--") + QLatin1String(kind),
                                    .placeholder = QStringLiteral("ФАЙЛ"),
                                    .help = QString::fromUtf8(help),
                                    .kind = Kind::File},
                         OptionTable<DrawLine>::Setter(Keep(&DrawLine::pictures))};
    };
    static const OptionTable<DrawLine> table(
        {.command = QStringLiteral("draw"),
         .helpHead = QStringLiteral(
             "Использование: modelrun draw МОДЕЛЬ.mod [--timing ФАЙЛ] --svg ФАЙЛ | --pdf ФАЙЛ | --png ФАЙЛ\n"
             "Рисует модель как релейно-контактную схему: по цепи на каждый элемент и выход,\n"
             "от шины питания через контакты к обмотке реле или лампе; терм — контакты\n"
             "последовательно, термы суммы — параллельные ветви; у обмотки — где используются\n"
             "фронтовые и тыловые контакты реле. Имя, не найденное среди элементов, рисуется\n"
             "как отбрасываемое и помечается.\n"
             "\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 файлы записаны, 1 модель или файл времён не читается или файл\n"
             "не записан, 2 ошибка в командной строке.\n"),
         .helpColumn = 18,
         .operandSuffix = QStringLiteral("mod")},
        {
            {{.name = QStringLiteral("--timing"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("файл времён .tim: времена притяжения и отпадания у обмоток\n"
                                     "(по умолчанию МОДЕЛЬ.tim, если он есть)"),
              .kind = Kind::File,
              .suffix = QStringLiteral("tim")},
             [](DrawLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 line.timingFile = value.text;
                 line.timingGiven = true;
                 return {};
             }},
            picture("svg", "записать схему в SVG"),
            picture("pdf", "записать схему в PDF, страницы A4 с именем модели и номером"),
            picture("png", "записать схему в PNG"),
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&DrawLine::help)},
        });
    return table;
}

int usageError(std::FILE *err, const QString &message)
{
    WriteUsageError(err, QStringLiteral("draw"), message);
    return ExitUsageError;
}

} // namespace

const OptionList &DrawCommandOptions() { return drawTable(); }

int RunDrawCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    DrawLine line;
    const std::expected<QStringList, QString> models = drawTable().parse(arguments, line);
    if (!models)
        return usageError(err, models.error());
    if (line.help) {
        WriteText(out, drawTable().helpText());
        return ExitSuccess;
    }
    if (models->size() != 1)
        return usageError(err, models->isEmpty() ? QStringLiteral("не задан файл модели")
                                                 : QStringLiteral("нужен ровно один файл модели"));
    if (line.pictures.isEmpty())
        return usageError(err, QStringLiteral("не задан файл схемы: --svg, --pdf или --png"));

    QString modelPath = models->at(0);
    if (modelPath.endsWith(QLatin1String(".mod")))
        modelPath.chop(4);
    const FileResult<SharedModel> model = LoadSharedModel(modelPath);
    if (!model) {
        WriteLine(err, model.error());
        return ExitFileError;
    }
    const ModelDefinition &definition = (*model)->definition;
    const QString timingFile =
        line.timingGiven ? line.timingFile : TimingFileBeside(modelPath + QStringLiteral(".mod"));
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
    for (const QString &picture : std::as_const(line.pictures)) {
        if (const auto written = schematic::ExportSchematic(painter, picture); !written) {
            WriteLine(err, written.error());
            status = ExitFileError;
        }
    }
    return status;
}
