#include "tools/SweepCommand.h"

#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/OptionTable.h"
#include "analysis/ShardFile.h"

#include <QThread>

namespace {

struct SweepOptions
{
    QString modelPath;
    QString benchFile;
    QList<SweepAxis> axes;
    QString csvFile;
    QString svgFile;
    SweepPlan plan;
    bool sharded = false;
    bool help = false;
};

const OptionTable<SweepOptions> &sweepTable()
{
    using Kind = OptionDeclaration::Kind;
    static const OptionTable<SweepOptions> table(
        {.command = QStringLiteral("sweep"),
         .helpHead = QStringLiteral(
             "Использование: modelrun sweep [МОДЕЛЬ[.mod]] --bench ФАЙЛ.bench --vary ЧТО=ОТ..ДО/ШАГ [--vary ...]\n"
             "Прогоняет файл испытаний в каждой точке линии (один --vary) или сетки (два --vary) значений\n"
             "времен; точка проходит, когда выполнены все ожидания. Выводит запасы: ближайшие к номиналу\n"
             "значения снизу и сверху, при которых нарушено ожидание, и какое. Модель — из файла\n"
             "испытаний, если МОДЕЛЬ не задана; файл испытаний можно назвать и без --bench.\n"
             "\n"
             "ЧТО:\n"
             "  code-times           все времена импульсов и интервалов трансмиттера, в процентах\n"
             "  code1-times, code2-times, code3-times  только кода КЖ, Ж или З, в процентах\n"
             "  pickup:ЭЛЕМЕНТ       время притяжения элемента (pickup:* — всех элементов)\n"
             "  release:ЭЛЕМЕНТ      время отпадания элемента (release:* — всех элементов)\n"
             "Числа — проценты от номинала (можно с «%»), или секунды с «с» или «s»: release:Д=0.1..0.6/0.05с.\n"
             "Например: --vary code-times=80..120/5 --vary pickup:КЖ=50..150/10%\n"
             "Не больше 10000 точек.\n"
             "\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 перебор выполнен, 1 ошибка в файле, 2 ошибка в командной строке.\n"),
         .operandSuffix = QStringLiteral("mod")},
        {
            // Shown in the head with the forms of ЧТО.
            {{.name = QStringLiteral("--bench"), .kind = Kind::File, .suffix = QStringLiteral("bench")},
             Keep(&SweepOptions::benchFile)},
            {{.name = QStringLiteral("--vary"),
              .kind = Kind::Value,
              .words = {QStringLiteral("code-times="), QStringLiteral("code1-times="), QStringLiteral("code2-times="),
                        QStringLiteral("code3-times="), QStringLiteral("pickup:"), QStringLiteral("release:")}},
             [](SweepOptions &options, const OptionValue &value) -> std::expected<void, QString> {
                 std::expected<SweepAxis, QString> axis = ParseSweepAxis(value.text);
                 if (!axis)
                     return std::unexpected(axis.error());
                 options.axes.append(*axis);
                 return {};
             }},
            {{.name = QStringLiteral("--csv"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("таблица точек: значения, pass/fail, нарушенное ожидание"),
              .kind = Kind::File},
             Keep(&SweepOptions::csvFile)},
            {{.name = QStringLiteral("--svg"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("рисунок области работы сетки"),
              .kind = Kind::File},
             Keep(&SweepOptions::svgFile)},
            {{.name = QStringLiteral("--jobs"),
              .placeholder = QStringLiteral("N"),
              .help = QStringLiteral("число потоков (по умолчанию все ядра)"),
              .kind = Kind::Integer,
              .min = 1,
              .max = 1024},
             [](SweepOptions &options, const OptionValue &value) -> std::expected<void, QString> {
                 options.plan.jobs = int(value.number);
                 return {};
             }},
            {{.name = QStringLiteral("--shard"),
              .placeholder = QStringLiteral("K/N"),
              .help = QStringLiteral(
                  "только K-я из N равных частей точек, в виде JSON для\n"
                  "modelrun merge ФАЙЛЫ... [--csv ФАЙЛ] [--svg ФАЙЛ]; первая строка\n"
                  "называет перебор (SHA-256 модели, файлов и параметров) и число точек,\n"
                  "последняя — {\"end\":true,\"runs\":R}; точку место в сетке дает ее \"at\""),
              .kind = Kind::Value},
             [](SweepOptions &options, const OptionValue &value) -> std::expected<void, QString> {
                 const std::expected<ShardChoice, QString> shard = ParseShardOption(value.text);
                 if (!shard)
                     return std::unexpected(shard.error());
                 options.sharded = true;
                 options.plan.shard = shard->index;
                 options.plan.shards = shard->count;
                 return {};
             }},
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&SweepOptions::help)},
        });
    return table;
}

std::expected<SweepOptions, QString> parse(const QStringList &arguments)
{
    SweepOptions options;
    options.plan.jobs = std::max(1, QThread::idealThreadCount());
    std::expected<QStringList, QString> positional = sweepTable().parse(arguments, options);
    if (!positional)
        return std::unexpected(positional.error());
    if (options.help)
        return options;
    TakeBenchFromFiles(*positional, options.benchFile);
    if (positional->size() > 1)
        return std::unexpected(QStringLiteral("лишнее «%1»: модель одна").arg(positional->at(1)));
    options.modelPath = positional->value(0);
    if (const std::optional<QString> bench = BenchGivenAsModel(options.modelPath))
        return std::unexpected(*bench);
    if (options.modelPath.endsWith(QLatin1String(".mod")))
        options.modelPath.chop(4);
    if (options.benchFile.isEmpty())
        return std::unexpected(QStringLiteral("не задан файл испытаний (--bench ФАЙЛ.bench)"));
    if (options.axes.isEmpty() || options.axes.size() > 2)
        return std::unexpected(
            QStringLiteral("нужно одно или два --vary (линия или сетка), задано %1").arg(options.axes.size()));
    if (SweepPointCount(options.axes) > MaxSweepPoints)
        return std::unexpected(
            QStringLiteral("сетка из %1 точек: не больше %2").arg(SweepPointCount(options.axes)).arg(MaxSweepPoints));
    if (!options.svgFile.isEmpty() && options.axes.size() != 2)
        return std::unexpected(QStringLiteral("--svg рисует сетку: нужно два --vary"));
    if (options.sharded && !(options.csvFile.isEmpty() && options.svgFile.isEmpty()))
        return std::unexpected(QStringLiteral("с --shard таблицу и рисунок делает modelrun merge из всех частей"));
    options.plan.axes = options.axes;
    return options;
}

} // namespace

QString SweepUsageText() { return sweepTable().helpText(); }

const OptionList &SweepCommandOptions() { return sweepTable(); }

int RunSweepCommand(const QStringList &arguments, std::FILE *out, std::FILE *err, const SweepPictureWriter &picture)
{
    std::expected<SweepOptions, QString> options = parse(arguments);
    if (!options) {
        WriteUsageError(err, QStringLiteral("sweep"), options.error());
        return ExitUsageError;
    }
    if (options->help) {
        WriteText(out, SweepUsageText());
        return ExitSuccess;
    }
    const std::expected<LoadedBench, QString> bench = LoadBench(options->benchFile, options->modelPath);
    if (!bench) {
        WriteLine(err, bench.error());
        return ExitFileError;
    }
    for (const QString &warning : bench->warnings)
        WriteLine(err, warning);
    for (SweepAxis &axis : options->plan.axes) {
        if (axis.quantity != SweepAxis::Quantity::CodeTimes && bench->model->definition.ElemCount == 0) {
            WriteLine(err, QStringLiteral("В модели «%1.mod» нет элементов: менять нечего.").arg(bench->model->path));
            return ExitFileError;
        }
        if (const auto bound = BindSweepAxis(axis, *bench); !bound) {
            WriteUsageError(err, QStringLiteral("sweep"), bound.error());
            return ExitUsageError;
        }
    }
    std::expected<std::vector<SweepPoint>, QString> points =
        RunMarginSweep(*bench, options->plan, ProgressOnTerminal(err, QStringLiteral("точек")));
    if (!points) {
        WriteLine(err, points.error());
        return ExitFileError;
    }
    const SweepReport report{options->benchFile, options->plan.axes, std::move(*points)};
    if (options->sharded) {
        WriteText(out, ShardHeaderLine(options->plan.shard + 1, options->plan.shards, ShardForm::Sweep,
                                       ShardCampaign(arguments, {bench->model->path + QStringLiteral(".mod")}),
                                       qsizetype(report.points.size()), SweepShardHeader(report)));
        for (const SweepPoint &point : report.points)
            WriteText(out, QString::fromUtf8(SweepPointJson(point)));
        WriteText(out, ShardEndLine(qsizetype(report.points.size())));
    } else if (const auto written = WriteSweepOutputs(report, out, options->csvFile, options->svgFile, picture);
               !written) {
        WriteLine(err, written.error());
        return ExitFileError;
    }
    return FlushOutput(out, err) ? ExitSuccess : ExitFileError;
}
