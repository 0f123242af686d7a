#include "tools/FaultsCommand.h"

#include "check/BenchParser.h"
#include "check/TextFile.h"
#include "model/ModelFile.h"
#include "model/TimingFile.h"
#include "tools/BatchRun.h"
#include "analysis/BenchFaultCampaign.h"
#include "tools/ConsoleText.h"
#include "analysis/FaultCampaign.h"
#include "analysis/InjectionRange.h"
#include "tools/FaultReport.h"
#include "tools/OptionTable.h"
#include "tools/OptionWords.h"
#include "tools/RunOptions.h"
#include "analysis/ShardFile.h"

#include <QThread>

#include <algorithm>
#include <array>

namespace {

using Format = FaultReportFormat;

struct FaultsOptions
{
    RunOptions run;
    CampaignPlan campaign;
    Format format = Format::Text;
    bool failOnSpurious = false;
    bool failOnWrongSide = false;
    bool allPairs = false;
    bool sharded = false;
    QString benchFile; // its scenarios take the place of the scenario options and the codes
    QString levelsFile; // a bench whose indication levels judge the faults
    bool codesGiven = false;
    bool help = false;
};

using Setter = OptionTable<FaultsOptions>::Setter;
using Result = std::expected<void, QString>;

// The runner's options that set the scenario, which faults hands on to the
// runner's parser: completed with the campaign's own, named in the help.
const QList<OptionDeclaration> &scenarioDeclarations()
{
    static const QList<OptionDeclaration> declarations = [] {
        QList<OptionDeclaration> picked;
        for (const char *name : {"--timing", "--steps", "--kpt", "--whd", "--key"})
            picked.append(*std::ranges::find(RunCommandOptions().declarations, QString::fromLatin1(name), &OptionDeclaration::name));
        return picked;
    }();
    return declarations;
}

QString scenarioOptionsLine()
{
    QStringList synopses;
    for (const OptionDeclaration &declaration : scenarioDeclarations())
        synopses.append(declaration.synopsis());
    return QStringLiteral("Параметры прогона: %1, как у modelrun.\n").arg(synopses.join(QStringLiteral(", ")));
}

std::expected<QList<int16_t>, QString> parseCodes(const QString &list)
{
    QList<int16_t> codes;
    for (const QString &item : list.split(QLatin1Char(','))) {
        const std::expected<qint64, QString> code = ParseIntegerOption(QStringLiteral("--codes"), item.trimmed(), 0, 3);
        if (!code)
            return std::unexpected(QStringLiteral("--codes: «%1» — нужны коды 0, 1, 2, 3 через запятую").arg(list));
        codes.append(int16_t(*code));
    }
    return codes;
}

const OptionTable<FaultsOptions> &faultsTable()
{
    using Kind = OptionDeclaration::Kind;
    static const OptionTable<FaultsOptions> table(
        {.command = QStringLiteral("faults"),
         .helpHead = QStringLiteral(
             "Использование: modelrun faults МОДЕЛЬ[.mod] [параметры прогона] [параметры анализа]\n"
             "       modelrun faults [МОДЕЛЬ[.mod]] --bench ФАЙЛ.bench [параметры анализа]\n"
             "Пробует каждую неисправность каждого элемента (обрыв питания и подпитку), с --contacts\n"
             "и каждого контакта, при каждом коде и сравнивает выходы с исправным прогоном того же\n"
             "сценария.\n"
             "С --bench сценарии (с их кодами, временами и клавишами) и модель, если МОДЕЛЬ не задана,\n"
             "берутся из файла испытаний: каждый сценарий прогоняется с каждой неисправностью (в добавок к его\n"
             "собственным), и вместо сравнения проверяются его ожидания; для каждого прогона отчет\n"
             "называет ожидание, нарушенное первым (по шагу), его строку и шаг.\n"
             "\n"
             "Когда известны уровни показаний выходов (строки «показание ВЫХОД 0..3» файла испытаний),\n"
             "каждый прогон с неисправностью оценивается по тому, что видит машинист: опасный отказ\n"
             "(wrong-side) — показание выше допустимого, то есть выше и уровня кода на этом шаге, и\n"
             "показания исправного прогона; защитный (right-side) — никогда не выше, но где-то ниже\n"
             "исправного; иначе изменение выходов (changed) или без влияния (none). Без влияния на выходы,\n"
             "но с другим состоянием элемента — скрытая неисправность. Без уровней отчет называет только\n"
             "появление и пропадание выходов.\n"
             "\n")
             + scenarioOptionsLine() + QStringLiteral("\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 анализ выполнен, 1 ошибка в файле (или найденное при --fail-on),\n"
             "2 ошибка в командной строке.\n"),
         .operandSuffix = QStringLiteral("mod"),
         .passesOtherOptions = true},
        QList<std::pair<OptionDeclaration, Setter>>{
            {{.name = QStringLiteral("--bench"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("проверять ожидания файла испытаний (без параметров прогона и --codes);\n"
                                     "уровни показаний — из него же"),
              .kind = Kind::File,
              .suffix = QStringLiteral("bench")},
             Keep(&FaultsOptions::benchFile)},
            {{.name = QStringLiteral("--levels"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("взять из файла испытаний только уровни показаний (без --bench)"),
              .kind = Kind::File,
              .suffix = QStringLiteral("bench")},
             Keep(&FaultsOptions::levelsFile)},
            {{.name = QStringLiteral("--codes"),
              .placeholder = QStringLiteral("СПИСОК"),
              .help = QStringLiteral("коды через запятую (по умолчанию 0,1,2,3)"),
              .kind = Kind::Value},
             [](FaultsOptions &options, const OptionValue &value) -> Result {
                 const std::expected<QList<int16_t>, QString> codes = parseCodes(value.text);
                 if (!codes)
                     return std::unexpected(codes.error());
                 options.campaign.codes = *codes;
                 options.codesGiven = true;
                 return {};
             }},
            {{.name = QStringLiteral("--pairs"),
              .help = QStringLiteral("также каждая пара неисправностей двух разных элементов\n"
                                     "(с --contacts — двух разных обмоток или контактов); отчет text\n"
                                     "показывает из пар только минимальные опасные (опасный отказ, которого\n"
                                     "нет ни у одной из двух неисправностей отдельно), остальные считает")},
             [](FaultsOptions &options, const OptionValue &) -> Result {
                 options.campaign.pairs = true;
                 return {};
             }},
            {{.name = QStringLiteral("--all-pairs"), .help = QStringLiteral("показывать в отчете text все пары")},
             Keep(&FaultsOptions::allPairs)},
            {{.name = QStringLiteral("--contacts"),
              .help = QStringLiteral("также каждый контакт: не размыкается (сварен) и не замыкается;\n"
                                     "контакт — каждое вхождение имени в функцию, как его читает\n"
                                     "программа: «контакт -Б в функции КЖ, терм 1»; в JSON поля\n"
                                     "contact, function, function_of, term, side, repeat, position, column")},
             [](FaultsOptions &options, const OptionValue &) -> Result {
                 options.campaign.contacts = true;
                 return {};
             }},
            {{.name = QStringLiteral("--at"),
              .placeholder = QStringLiteral("ШАГ"),
              .help = QStringLiteral("неисправности действуют с шага ШАГ до конца (по умолчанию 1); ШАГ..ШАГ —\n"
                                     "каждая неисправность вносится на каждом шаге диапазона (или в секундах:\n"
                                     "0.5с..2с, шаг 0.01 с); отчет называет самый ранний шаг с худшей оценкой\n"
                                     "(опасный, защитный, изменение, скрытая, без влияния) — поле at"),
              .kind = Kind::Value},
             [](FaultsOptions &options, const OptionValue &value) -> Result {
                 const std::expected<InjectionRange, QString> range = ParseInjectionRange(value.text);
                 if (!range)
                     return std::unexpected(range.error());
                 options.campaign.at = range->first;
                 options.campaign.atLast = range->last;
                 return {};
             }},
            {{.name = QStringLiteral("--jobs"),
              .placeholder = QStringLiteral("N"),
              .help = QStringLiteral("число потоков (по умолчанию все ядра)"),
              .kind = Kind::Integer,
              .min = 1,
              .max = 1024},
             [](FaultsOptions &options, const OptionValue &value) -> Result {
                 options.campaign.jobs = int(value.number);
                 return {};
             }},
            {{.name = QStringLiteral("--format"),
              .help = QStringLiteral(
                  "вид отчета (по умолчанию text); json — объект на строку, с полями\n"
                  "safety (none|changed|right-side|wrong-side), safety_step, levels\n"
                  "({\"shown\":…,\"warranted\":…} опасного отказа) и latent ({\"element\":…,\"step\":…})"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("text"), QStringLiteral("json"), QStringLiteral("csv")}},
             [](FaultsOptions &options, const OptionValue &value) -> Result {
                 options.format = std::array{Format::Text, Format::Json, Format::Csv}[size_t(value.number)];
                 return {};
             }},
            {{.name = QStringLiteral("--shard"),
              .placeholder = QStringLiteral("K/N"),
              .help = QStringLiteral(
                  "только K-я из N равных частей прогонов, в виде JSON для\n"
                  "modelrun merge ФАЙЛЫ... [--format ...] (тот же отчет, что без частей);\n"
                  "первая строка {\"shard\":K,\"shards\":N,\"campaign\":…,\"runs\":R} называет\n"
                  "анализ (SHA-256 модели, файлов и параметров), последняя — {\"end\":true,\"runs\":R}"),
              .kind = Kind::Value},
             [](FaultsOptions &options, const OptionValue &value) -> Result {
                 const std::expected<ShardChoice, QString> shard = ParseShardOption(value.text);
                 if (!shard)
                     return std::unexpected(shard.error());
                 options.sharded = true;
                 options.campaign.shard = shard->index;
                 options.campaign.shards = shard->count;
                 return {};
             }},
            {{.name = QStringLiteral("--fail-on"),
              .help = QStringLiteral(
                  "код выхода 1: spurious — если какой-нибудь выход появился там,\n"
                  "где его нет без неисправности, а с --bench — если нарушено хоть одно\n"
                  "ожидание; wrong-side — если найден опасный отказ (нужны уровни показаний)"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("spurious"), QStringLiteral("wrong-side")}},
             [](FaultsOptions &options, const OptionValue &value) -> Result {
                 (value.number == 0 ? options.failOnSpurious : options.failOnWrongSide) = true;
                 return {};
             }},
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&FaultsOptions::help)},
        });
    return table;
}

// The runner's options that make no sense for a campaign: one diagram, one
// fault, the outputs of a single run.
std::expected<void, QString> refuseSingleRunOptions(const QStringList &rest)
{
    static const QStringList singleRun{QStringLiteral("--code"),     QStringLiteral("--fault"),   QStringLiteral("--vcd"),
                                       QStringLiteral("--report"),   QStringLiteral("--changes"), QStringLiteral("--encoding"),
                                       QStringLiteral("--verbose")};
    for (const QString &word : rest) {
        if (word == QLatin1String("--"))
            break;
        if (const QString name = SplitOptionWord(word).name; singleRun.contains(name))
            return std::unexpected(QStringLiteral("%1 не применяется к анализу неисправностей").arg(name));
    }
    return {};
}

// Takes the campaign's own options by its table and hands the rest to the
// runner's parser, so the scenario reads exactly as in a single run.
std::expected<FaultsOptions, QString> parse(const QStringList &arguments)
{
    FaultsOptions options;
    options.campaign.jobs = std::max(1, QThread::idealThreadCount());
    const std::expected<QStringList, QString> rest = faultsTable().parse(arguments, options);
    if (!rest)
        return std::unexpected(rest.error());
    if (options.help)
        return options;
    if (const std::expected<void, QString> refused = refuseSingleRunOptions(*rest); !refused)
        return std::unexpected(refused.error());
    if (options.failOnWrongSide && options.benchFile.isEmpty() && options.levelsFile.isEmpty())
        return std::unexpected(QStringLiteral("--fail-on wrong-side: нужны уровни показаний выходов из --levels ФАЙЛ "
                                              "или --bench ФАЙЛ"));
    if (!options.benchFile.isEmpty() && !options.levelsFile.isEmpty())
        return std::unexpected(QStringLiteral("с --bench уровни показаний берутся из файла испытаний: --levels не нужен"));
    if (!options.benchFile.isEmpty() && options.codesGiven)
        return std::unexpected(QStringLiteral("с --bench коды задают сценарии файла испытаний: --codes не нужен"));
    if (!options.benchFile.isEmpty() && rest->isEmpty())
        return options;
    const std::expected<RunOptions, QString> run = ParseRunOptions(*rest);
    if (!run)
        return std::unexpected(run.error());
    options.run = *run;
    if (!options.benchFile.isEmpty() && !options.run.help && rest->size() > 1)
        return std::unexpected(QStringLiteral("с --bench сценарии, их коды и времена задает файл испытаний: лишнее «%1»")
                                   .arg(rest->join(QLatin1Char(' '))));
    return options;
}

// Where the function lines of the model file put each term, for the
// columns of contact faults; nothing when the file cannot be read again.
ModelLayout layoutOf(const LoadedModel &model)
{
    const std::expected<QString, QString> text = ReadUserTextFile(model.path + QStringLiteral(".mod"));
    return text ? LayOutModel(model.definition, ModelFileLines(*text)) : ModelLayout{};
}

QString emptyModel(const QString &path)
{
    return QStringLiteral("В модели «%1.mod» нет элементов или выходов: анализировать нечего.\n").arg(path);
}

// A wrong-side failure needs levels to be told: a file that declares none
// would pass every fault for safe under --fail-on wrong-side. Nonzero: the
// exit status that refuses it.
int withoutLevels(const FaultsOptions &options, const OutputLevels &levels, const QString &file, std::FILE *err)
{
    if (levels.any())
        return 0;
    const QString none = QStringLiteral("в файле «%1» не заданы уровни показаний (строки «показание ВЫХОД 0..3»)").arg(file);
    if (options.failOnWrongSide) {
        WriteUsageError(err, QStringLiteral("faults"), QStringLiteral("--fail-on wrong-side: ") + none);
        return ExitUsageError;
    }
    if (!options.levelsFile.isEmpty())
        WriteLine(err, QStringLiteral("Предупреждение: %1; отказы не оцениваются по показаниям.").arg(none));
    return 0;
}

int runAgainstFaultFree(const FaultsOptions &options, const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    const std::expected<SharedModel, QString> model = LoadSharedModel(options.run.modelPath);
    if (!model) {
        WriteText(err, model.error() + QLatin1Char('\n'));
        return ExitFileError;
    }
    if ((*model)->definition.ElemCount == 0 || (*model)->definition.OutCount == 0) {
        WriteText(err, emptyModel(options.run.modelPath));
        return ExitFileError;
    }
    const std::expected<RunScenario, QString> scenario = ReadScenarioFiles(options.run, (*model)->definition.ElemCount);
    if (!scenario) {
        WriteText(err, scenario.error() + QLatin1Char('\n'));
        return ExitFileError;
    }
    if (scenario->timing && !scenario->timingFile.isEmpty())
        for (const QString &warning : TimingFileWarnings(scenario->timingFile, *scenario->timing,
                                                         (*model)->definition.ElemCount, !scenario->steps))
            WriteLine(err, warning);
    CampaignPlan plan = options.campaign;
    plan.scenario = *scenario;
    if (!options.levelsFile.isEmpty()) {
        const std::expected<Bench, BenchError> bench = ReadBenchFile(options.levelsFile);
        const std::expected<OutputLevels, QString> levels =
            bench ? ResolveLevels(*bench, (*model)->definition) : std::unexpected(bench.error().message);
        if (!levels) {
            WriteText(err, levels.error() + QLatin1Char('\n'));
            return ExitFileError;
        }
        plan.levels = *levels;
        if (const int refused = withoutLevels(options, plan.levels, options.levelsFile, err))
            return refused;
    }
    const qint64 runLength = RunLengthOf(plan.scenario);
    if (plan.lastAt() > runLength) {
        WriteUsageError(err, QStringLiteral("faults"),
                        QStringLiteral("--at %1: прогон длится %2 шагов, неисправность после последнего шага ни на "
                                       "что не влияет").arg(plan.lastAt()).arg(runLength));
        return ExitUsageError;
    }
    const std::vector<FaultOutcome> outcomes = RunFaultCampaign(*model, plan, ProgressOnTerminal(err, QStringLiteral("прогонов")));

    QList<FaultReportLine> lines = ReportLines((*model)->definition, outcomes);
    if (plan.contacts)
        PlaceContactColumns(lines, layoutOf(**model));
    const FaultReportOptions report{plan.levels.any(), options.allPairs, plan.lastAt() > plan.at};
    if (options.sharded)
        WriteText(out, ShardHeaderLine(plan.shard + 1, plan.shards, ShardForm::Faults,
                                       ShardCampaign(arguments, {options.run.modelPath + QStringLiteral(".mod")}),
                                       lines.size(), ShardReportHeader(report)));
    WriteFaultReport(lines, options.sharded ? Format::Json : options.format, out, report);
    if (options.sharded)
        WriteText(out, ShardEndLine(lines.size()));
    if (!FlushOutput(out, err))
        return ExitFileError;
    const bool anySpurious = std::ranges::any_of(outcomes, [](const FaultOutcome &o) { return IsSpurious(o.effect); });
    const bool anyWrongSide = std::ranges::any_of(outcomes, [](const FaultOutcome &o) {
        return o.verdict.safety == Safety::WrongSide;
    });
    return (options.failOnSpurious && anySpurious) || (options.failOnWrongSide && anyWrongSide) ? ExitFileError
                                                                                                : ExitSuccess;
}

int runBench(const FaultsOptions &options, const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    const std::expected<LoadedBench, QString> bench = LoadBench(options.benchFile, options.run.modelPath);
    if (!bench) {
        WriteText(err, bench.error() + QLatin1Char('\n'));
        return ExitFileError;
    }
    if (bench->model->definition.ElemCount == 0 || bench->bench.scenarios.isEmpty()) {
        WriteText(err, QStringLiteral("В файле испытаний «%1» нет сценариев или в его модели нет элементов: "
                                      "анализировать нечего.\n").arg(options.benchFile));
        return ExitFileError;
    }
    for (const QString &warning : bench->warnings)
        WriteLine(err, warning);
    if (const int refused = withoutLevels(options, bench->levels, options.benchFile, err))
        return refused;
    if (options.campaign.lastAt() > options.campaign.at) {
        WriteUsageError(err, QStringLiteral("faults"), QStringLiteral("--at: с --bench неисправность вносится на одном шаге"));
        return ExitUsageError;
    }
    for (qsizetype k = 0; k < bench->runs.size(); ++k) {
        const RunScenario &run = bench->runs[k];
        const qint64 runLength = RunLengthOf(run);
        if (options.campaign.lastAt() > runLength) {
            WriteUsageError(err, QStringLiteral("faults"),
                            QStringLiteral("--at %1: сценарий «%2» длится %3 шагов, неисправность после последнего "
                                           "шага ни на что не влияет")
                                .arg(options.campaign.lastAt()).arg(bench->bench.scenarios[k].name).arg(runLength));
            return ExitUsageError;
        }
    }
    const auto outcomes = RunBenchFaultCampaign(*bench, options.campaign, ProgressOnTerminal(err, QStringLiteral("прогонов")));
    if (!outcomes) {
        WriteText(err, outcomes.error() + QLatin1Char('\n'));
        return ExitFileError;
    }
    QList<BenchFaultReportLine> lines = BenchReportLines(*bench, *outcomes);
    if (options.campaign.contacts)
        PlaceContactColumns(lines, layoutOf(*bench->model));
    const FaultReportOptions report{bench->levels.any(), options.allPairs};
    if (options.sharded)
        WriteText(out, ShardHeaderLine(options.campaign.shard + 1, options.campaign.shards, ShardForm::BenchFaults,
                                       ShardCampaign(arguments, {bench->model->path + QStringLiteral(".mod")}),
                                       lines.size(), ShardReportHeader(report)));
    WriteBenchFaultReport(lines, options.sharded ? Format::Json : options.format, out, report);
    if (options.sharded)
        WriteText(out, ShardEndLine(lines.size()));
    if (!FlushOutput(out, err))
        return ExitFileError;
    const bool anyFailed = std::ranges::any_of(lines, [](const BenchFaultReportLine &line) { return line.failed; });
    const bool anyWrongSide = std::ranges::any_of(lines, [](const BenchFaultReportLine &line) {
        return line.verdict.safety == Safety::WrongSide;
    });
    return (options.failOnSpurious && anyFailed) || (options.failOnWrongSide && anyWrongSide) ? ExitFileError
                                                                                             : ExitSuccess;
}

} // namespace

QString FaultsUsageText() { return faultsTable().helpText(); }

const OptionList &FaultsCommandOptions()
{
    // The completion offers the scenario options too.
    static const OptionList list = [] {
        OptionList completed = faultsTable();
        completed.declarations = scenarioDeclarations() + completed.declarations;
        return completed;
    }();
    return list;
}

int RunFaultsCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    const std::expected<FaultsOptions, QString> options = parse(arguments);
    if (!options) {
        WriteUsageError(err, QStringLiteral("faults"), options.error());
        return ExitUsageError;
    }
    if (options->help || options->run.help) {
        WriteText(out, FaultsUsageText());
        return ExitSuccess;
    }
    return options->benchFile.isEmpty() ? runAgainstFaultFree(*options, arguments, out, err)
                                         : runBench(*options, arguments, out, err);
}
