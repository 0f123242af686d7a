#include "tools/FaultsCommand.h"

#include "check/BenchParser.h"
#include "model/TimingFile.h"
#include "tools/BatchRun.h"
#include "analysis/BenchFaultCampaign.h"
#include "tools/ConsoleText.h"
#include "analysis/FaultCampaign.h"
#include "analysis/InjectionRange.h"
#include "tools/FaultReport.h"
#include "tools/OptionWords.h"
#include "tools/RunOptions.h"
#include "analysis/ShardFile.h"

#include <QThread>

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
};

std::optional<qint64> parseNumber(const QString &text, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

std::expected<Format, QString> parseFormat(const QString &text)
{
    if (text == QLatin1String("text"))
        return Format::Text;
    if (text == QLatin1String("json"))
        return Format::Json;
    if (text == QLatin1String("csv"))
        return Format::Csv;
    return std::unexpected(QStringLiteral("--format: «%1» — нужно text, json или csv").arg(text));
}

// Takes the campaign's own options out of arguments and hands the rest to the
// runner's parser, so the scenario reads exactly as in a single run.
std::expected<FaultsOptions, QString> parse(const QStringList &arguments)
{
    FaultsOptions options;
    options.campaign.jobs = std::max(1, QThread::idealThreadCount());
    QStringList rest;
    for (qsizetype a = 0; a < arguments.size(); ++a) {
        const OptionWord option = SplitOptionWord(arguments[a]);
        const QString &name = option.name;
        const auto takeValue = [&] { return TakeOptionValue(option, arguments, a); };
        if (name == QLatin1String("--pairs")) {
            options.campaign.pairs = true;
        } else if (name == QLatin1String("--all-pairs")) {
            options.allPairs = true;
        } else if (name == QLatin1String("--codes")) {
            const std::expected<QString, QString> list = takeValue();
            if (!list)
                return std::unexpected(list.error());
            options.codesGiven = true;
            options.campaign.codes.clear();
            for (const QString &item : list->split(QLatin1Char(','))) {
                const std::optional<qint64> code = parseNumber(item, 0, 3);
                if (!code)
                    return std::unexpected(QStringLiteral("--codes: «%1» — нужны коды 0, 1, 2, 3 через запятую").arg(*list));
                options.campaign.codes.append(int16_t(*code));
            }
        } else if (name == QLatin1String("--at")) {
            const std::expected<QString, QString> text = takeValue();
            if (!text)
                return std::unexpected(text.error());
            const std::expected<InjectionRange, QString> range = ParseInjectionRange(*text);
            if (!range)
                return std::unexpected(range.error());
            options.campaign.at = range->first;
            options.campaign.atLast = range->last;
        } else if (name == QLatin1String("--jobs")) {
            const std::expected<QString, QString> text = takeValue();
            if (!text)
                return std::unexpected(text.error());
            const std::optional<qint64> number = parseNumber(*text, 1, 1024);
            if (!number)
                return std::unexpected(QStringLiteral("%1: «%2» — нужно целое число от 1 до %3").arg(name, *text).arg(1024));
            options.campaign.jobs = int(*number);
        } else if (name == QLatin1String("--format")) {
            const std::expected<QString, QString> text = takeValue();
            if (!text)
                return std::unexpected(text.error());
            const std::expected<Format, QString> format = parseFormat(*text);
            if (!format)
                return std::unexpected(format.error());
            options.format = *format;
        } else if (name == QLatin1String("--shard")) {
            const std::expected<QString, QString> text = takeValue();
            if (!text)
                return std::unexpected(text.error());
            const std::optional<std::pair<int, int>> shard = ParseShardOption(*text);
            if (!shard)
                return std::unexpected(QStringLiteral("--shard: «%1» — нужно K/N, 1 ≤ K ≤ N").arg(*text));
            options.sharded = true;
            options.campaign.shard = shard->first - 1;
            options.campaign.shards = shard->second;
        } else if (name == QLatin1String("--bench") || name == QLatin1String("--levels")) {
            const std::expected<QString, QString> file = takeValue();
            if (!file)
                return std::unexpected(file.error());
            (name == QLatin1String("--bench") ? options.benchFile : options.levelsFile) = *file;
        } else if (name == QLatin1String("--fail-on")) {
            const std::expected<QString, QString> what = takeValue();
            if (!what)
                return std::unexpected(what.error());
            if (*what != QLatin1String("spurious") && *what != QLatin1String("wrong-side"))
                return std::unexpected(QStringLiteral("--fail-on: «%1» — нужно spurious или wrong-side").arg(*what));
            (*what == QLatin1String("spurious") ? options.failOnSpurious : options.failOnWrongSide) = true;
        } else if (name == QLatin1String("--code") || name == QLatin1String("--fault") || name == QLatin1String("--vcd")
                   || name == QLatin1String("--report") || name == QLatin1String("--changes")
                   || name == QLatin1String("--encoding") || name == QLatin1String("--verbose")) {
            return std::unexpected(QStringLiteral("%1 не применяется к анализу неисправностей").arg(name));
        } else {
            rest.append(arguments[a]);
        }
    }
    if (options.failOnWrongSide && options.benchFile.isEmpty() && options.levelsFile.isEmpty())
        return std::unexpected(QStringLiteral("--fail-on wrong-side: нужны уровни показаний выходов из --levels ФАЙЛ "
                                              "или --bench ФАЙЛ"));
    if (!options.benchFile.isEmpty() && !options.levelsFile.isEmpty())
        return std::unexpected(QStringLiteral("с --bench уровни показаний берутся из файла испытаний: --levels не нужен"));
    if (!options.benchFile.isEmpty() && options.codesGiven)
        return std::unexpected(QStringLiteral("с --bench коды задают сценарии файла испытаний: --codes не нужен"));
    if (!options.benchFile.isEmpty() && rest.isEmpty())
        return options;
    const std::expected<RunOptions, QString> run = ParseRunOptions(rest);
    if (!run)
        return std::unexpected(run.error());
    options.run = *run;
    if (!options.benchFile.isEmpty() && !options.run.help && rest.size() > 1)
        return std::unexpected(QStringLiteral("с --bench сценарии, их коды и времена задает файл испытаний: лишнее «%1»")
                                   .arg(rest.join(QLatin1Char(' '))));
    return options;
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

    const QList<FaultReportLine> lines = ReportLines((*model)->definition, outcomes);
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
    const QList<BenchFaultReportLine> lines = BenchReportLines(*bench, *outcomes);
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

QString FaultsUsageText()
{
    return QStringLiteral(
        "Использование: modelrun faults МОДЕЛЬ[.mod] [параметры прогона] [параметры анализа]\n"
        "       modelrun faults [МОДЕЛЬ[.mod]] --bench ФАЙЛ.bench [параметры анализа]\n"
        "Пробует каждую неисправность каждого элемента (обрыв питания и подпитку) при каждом коде\n"
        "и сравнивает выходы с исправным прогоном того же сценария.\n"
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
        "\n"
        "Параметры прогона: --timing, --steps, --kpt, --whd, --key, как у modelrun.\n"
        "\n"
        "  --bench ФАЙЛ         проверять ожидания файла испытаний (без параметров прогона и --codes);\n"
        "                       уровни показаний — из него же\n"
        "  --levels ФАЙЛ        взять из файла испытаний только уровни показаний (без --bench)\n"
        "  --codes СПИСОК       коды через запятую (по умолчанию 0,1,2,3)\n"
        "  --pairs              также каждая пара неисправностей двух разных элементов; отчет text\n"
        "                       показывает из пар только минимальные опасные (опасный отказ, которого\n"
        "                       нет ни у одной из двух неисправностей отдельно), остальные считает\n"
        "  --all-pairs          показывать в отчете text все пары\n"
        "  --at ШАГ             неисправности действуют с шага ШАГ до конца (по умолчанию 1)\n"
        "  --at ШАГ..ШАГ        каждая неисправность вносится на каждом шаге диапазона (или в секундах:\n"
        "                       0.5с..2с, шаг 0.01 с); отчет называет самый ранний шаг с худшей оценкой\n"
        "                       (опасный, защитный, изменение, скрытая, без влияния) — поле at\n"
        "  --jobs N             число потоков (по умолчанию все ядра)\n"
        "  --format text|json|csv  вид отчета (по умолчанию text); json — объект на строку, с полями\n"
        "                       safety (none|changed|right-side|wrong-side), safety_step, levels\n"
        "                       ({\"shown\":…,\"warranted\":…} опасного отказа) и latent ({\"element\":…,\"step\":…})\n"
        "  --shard K/N          только K-я из N равных частей прогонов, в виде JSON для\n"
        "                       modelrun merge ФАЙЛЫ... [--format ...] (тот же отчет, что без частей);\n"
        "                       первая строка {\"shard\":K,\"shards\":N,\"campaign\":…,\"runs\":R} называет\n"
        "                       анализ (SHA-256 модели, файлов и параметров), последняя — {\"end\":true,\"runs\":R}\n"
        "  --fail-on spurious   код выхода 1, если какой-нибудь выход появился там, где его нет без\n"
        "                       неисправности; с --bench — если нарушено хоть одно ожидание\n"
        "  --fail-on wrong-side код выхода 1, если найден опасный отказ (нужны уровни показаний)\n"
        "  --help               эта справка\n"
        "\n"
        "Коды выхода: 0 анализ выполнен, 1 ошибка в файле (или найденное при --fail-on),\n"
        "2 ошибка в командной строке.\n");
}

int RunFaultsCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    const std::expected<FaultsOptions, QString> options = parse(arguments);
    if (!options) {
        WriteUsageError(err, QStringLiteral("faults"), options.error());
        return ExitUsageError;
    }
    if (options->run.help) {
        WriteText(out, FaultsUsageText());
        return ExitSuccess;
    }
    return options->benchFile.isEmpty() ? runAgainstFaultFree(*options, arguments, out, err)
                                         : runBench(*options, arguments, out, err);
}
