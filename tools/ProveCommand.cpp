#include "tools/ProveCommand.h"

#include "analysis/InjectionRange.h"
#include "check/LoadedBench.h"
#include "proof/CounterexampleFile.h"
#include "proof/ProofCircuit.h"
#include "proof/ProofEngines.h"
#include "proof/ProofBench.h"
#include "proof/ProofReport.h"
#include "sim/RunRecording.h"
#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/RunOptions.h"
#include "wave/VcdExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>

#include <unistd.h>

namespace {

// No verdict: a limit stopped the search, or it went wrong inside.
constexpr int ExitNoVerdict = 3;
constexpr int ExitRefuted = 1;

struct ProveLine
{
    QString benchFile;
    ProofChoices choices;
    QString counterexampleFile;
    QString vcdFile;
    QString aigerFile;
    ProofEngine engine = ProofEngine::Explicit;
    bool json = false;
    bool help = false;
};

using Result = std::expected<void, QString>;

// "4G", "512M", "100000K" or a number of bytes.
std::expected<qint64, QString> parseSize(const QString &text)
{
    static const QRegularExpression size(QStringLiteral("^([0-9]+)([KkMmGgКкМмГг]?)$"));
    const QRegularExpressionMatch m = size.match(text.trimmed());
    bool ok = false;
    const qint64 number = m.hasMatch() ? m.captured(1).toLongLong(&ok) : 0;
    if (!ok || number < 1 || number > (qint64(1) << 40))
        return std::unexpected(QStringLiteral("--memory: «%1» — нужен размер: число байт или с K, M, G (например 4G)").arg(text));
    const QString unit = m.captured(2).toUpper();
    const int shift = unit == QLatin1String("K") || unit == QStringLiteral("К")   ? 10
                      : unit == QLatin1String("M") || unit == QStringLiteral("М") ? 20
                      : unit == QLatin1String("G") || unit == QStringLiteral("Г") ? 30
                                                                                   : 0;
    return number << shift;
}

std::function<Result(ProveLine &, const OptionValue &)> duration(const QString &option,
                                                                 std::optional<qint64> ProofChoices::*field)
{
    return [option, field](ProveLine &line, const OptionValue &value) -> Result {
        const std::expected<qint64, QString> steps = ParseDuration(option, value.text);
        if (!steps)
            return std::unexpected(steps.error());
        line.choices.*field = *steps;
        return {};
    };
}

const OptionTable<ProveLine> &proveTable()
{
    using Kind = OptionDeclaration::Kind;
    static const OptionTable<ProveLine> table(
        {.command = QStringLiteral("prove"),
         .helpHead = QStringLiteral(
             "Использование: modelrun prove --bench ФАЙЛ.bench [МОДЕЛЬ[.mod]] [параметры]\n"
             "Перебирает все прогоны, которые допускает стенд: любую смену кода перед любым шагом\n"
             "(или любой вход p на каждом шаге), неисправности, возникающие перед любым шагом, — и\n"
             "проверяет на каждом шаге свойства стенда: «ожидать никогда/всегда» до первого сценария,\n"
             "запаздывание показания (показание не выше уровня кодов последних D секунд) и отклик\n"
             "(через T секунд одного кода показан его уровень, с неисправностью — не выше), при\n"
             "любых временах реле в допуске. Ответ:\n"
             "«Доказано» (пройдены все достижимые состояния), «Опровергнуто» с кратчайшим\n"
             "контрпримером (меньше всего шагов, затем смен кода и неисправностей), который\n"
             "проверяется обычным прогоном, или «Не доказано», если поиск остановлен пределом.\n"
             "Что перебирать, стенд задаёт строками до первого сценария (см. справку «Испытательные\n"
             "стенды»); параметры ниже заменяют их. Время — число шагов или секунды с «с» (2с).\n"
             "Стенд можно назвать и без --bench.\n"
             "\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 доказано, 1 опровергнуто (или файл --counterexample, --vcd не записан),\n"
             "2 ошибка в командной строке или в стенде, 3 не доказано (поиск остановлен пределом)\n"
             "или внутренняя ошибка.\n"),
         .helpColumn = 27,
         .operandSuffix = QStringLiteral("mod")},
        {
            {{.name = QStringLiteral("--bench"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("стенд: модель, времена, трансмиттер, уровни показаний, свойства"),
              .kind = Kind::File,
              .suffix = QStringLiteral("bench")},
             Keep(&ProveLine::benchFile)},
            {{.name = QStringLiteral("--codes"),
              .placeholder = QStringLiteral("СПИСОК"),
              .help = QStringLiteral("коды, между которыми переключается трансмиттер, через запятую\n"
                                     "(по умолчанию 0,1,2,3)"),
              .kind = Kind::Value},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 const auto codes = ParseCodeList(QStringLiteral("--codes"), value.text);
                 if (!codes)
                     return std::unexpected(codes.error());
                 line.choices.codes = *codes;
                 return {};
             }},
            {{.name = QStringLiteral("--free-input"),
              .help = QStringLiteral("вход p — 0 или 1 на каждом шаге, без трансмиттера")},
             [](ProveLine &line, const OptionValue &) -> Result {
                 line.choices.freeInput = true;
                 return {};
             }},
            {{.name = QStringLiteral("--min-change"),
              .placeholder = QStringLiteral("ВРЕМЯ"),
              .help = QStringLiteral("код держится не меньше ВРЕМЯ (по умолчанию меняется на любом шаге)"),
              .kind = Kind::Value},
             duration(QStringLiteral("--min-change"), &ProofChoices::minChangeSteps)},
            {{.name = QStringLiteral("--faults"),
              .help = QStringLiteral("неисправности обмоток (обрыв, подпитка), возникающие перед любым\n"
                                     "шагом: нет, по одной или парами"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("none"), QStringLiteral("single"), QStringLiteral("pairs")}},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 line.choices.faults = ProofQuestion::Faults(value.number);
                 return {};
             }},
            {{.name = QStringLiteral("--contacts"),
              .help = QStringLiteral("неисправности и контактов: не размыкается, не замыкается")},
             [](ProveLine &line, const OptionValue &) -> Result {
                 line.choices.contacts = true;
                 return {};
             }},
            {{.name = QStringLiteral("--tolerance"),
              .placeholder = QStringLiteral("ПРОЦЕНТ"),
              .help = QStringLiteral("каждое время срабатывания и отпускания — любое в пределах\n"
                                     "±ПРОЦЕНТ от номинального (постоянное в прогоне)"),
              .kind = Kind::Value},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 const auto percent = ParseTolerance(QStringLiteral("--tolerance"), value.text);
                 if (!percent)
                     return std::unexpected(percent.error());
                 line.choices.tolerancePercent = *percent;
                 return {};
             }},
            {{.name = QStringLiteral("--latency"),
              .placeholder = QStringLiteral("ВРЕМЯ"),
              .help = QStringLiteral("проверять запаздывание показания D = ВРЕМЯ (нужны уровни показаний)"),
              .kind = Kind::Value},
             duration(QStringLiteral("--latency"), &ProofChoices::latencySteps)},
            {{.name = QStringLiteral("--response"),
              .placeholder = QStringLiteral("ВРЕМЯ"),
              .help = QStringLiteral("проверять отклик T = ВРЕМЯ (нужны уровни показаний)"),
              .kind = Kind::Value},
             duration(QStringLiteral("--response"), &ProofChoices::responseSteps)},
            {{.name = QStringLiteral("--jobs"),
              .placeholder = QStringLiteral("N"),
              .help = QStringLiteral("число потоков перебора (по умолчанию все ядра); ответ и\n"
                                     "контрпример от него не зависят"),
              .kind = Kind::Integer,
              .min = 1,
              .max = 1024},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 line.choices.jobs = int(value.number);
                 return {};
             }},
            {{.name = QStringLiteral("--max-states"),
              .placeholder = QStringLiteral("N"),
              .help = QStringLiteral("остановиться, сохранив N состояний"),
              .kind = Kind::Integer,
              .min = 1,
              .max = qint64(1) << 31},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 line.choices.maxStates = value.number;
                 return {};
             }},
            {{.name = QStringLiteral("--memory"),
              .placeholder = QStringLiteral("РАЗМЕР"),
              .help = QStringLiteral("остановиться, заняв столько памяти под состояния (4G, 512M;\n"
                                     "по умолчанию 4G)"),
              .kind = Kind::Value},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 const auto bytes = parseSize(value.text);
                 if (!bytes)
                     return std::unexpected(bytes.error());
                 line.choices.memoryBytes = *bytes;
                 return {};
             }},
            {{.name = QStringLiteral("--time"),
              .placeholder = QStringLiteral("СЕКУНДЫ"),
              .help = QStringLiteral("остановиться через столько секунд"),
              .kind = Kind::Integer,
              .min = 1,
              .max = 1'000'000},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 line.choices.timeSeconds = double(value.number);
                 return {};
             }},
            {{.name = QStringLiteral("--counterexample"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("записать контрпример стендом для modelrun test"),
              .kind = Kind::File,
              .suffix = QStringLiteral("bench")},
             Keep(&ProveLine::counterexampleFile)},
            {{.name = QStringLiteral("--vcd"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("записать прогон контрпримера как VCD"),
              .kind = Kind::File,
              .suffix = QStringLiteral("vcd")},
             Keep(&ProveLine::vcdFile)},
            {{.name = QStringLiteral("--engine"),
              .help = QStringLiteral("кто ищет (по умолчанию explicit): explicit — перебор состояний,\n"
                                     "кратчайший контрпример с наименьшим числом смен и неисправностей;\n"
                                     "abc — программа berkeley-abc (pdr, затем bmc3 для кратчайшего\n"
                                     "контрпримера) над схемой вопроса, без счёта состояний; auto — перебор,\n"
                                     "а если он превысит 5 млн состояний или --memory, то ABC"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("explicit"), QStringLiteral("abc"), QStringLiteral("auto")}},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 line.engine = ProofEngine(value.number);
                 return {};
             }},
            {{.name = QStringLiteral("--export-aiger"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("записать вопрос схемой AIGER (ФАЙЛ.aig двоичный, .aag текстовый)\n"
                                     "с выходом «bad» и ФАЙЛ.map: что значат входы и защёлки; не искать"),
              .kind = Kind::File,
              .suffix = QStringLiteral("aig")},
             Keep(&ProveLine::aigerFile)},
            {{.name = QStringLiteral("--format"),
              .help = QStringLiteral("вид ответа (по умолчанию text); json — один объект: verdict\n"
                                     "(proved|refuted|unknown), states, depth, seconds, bytes_per_state, any_input,\n"
                                     "stopped_by, counterexample {steps, property, shown, warranted,\n"
                                     "codes [{step, code}], faults [{step, element, contact, kind}]}"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("text"), QStringLiteral("json")}},
             [](ProveLine &line, const OptionValue &value) -> Result {
                 line.json = value.number == 1;
                 return {};
             }},
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&ProveLine::help)},
        });
    return table;
}

int usageError(std::FILE *err, const QString &message)
{
    WriteUsageError(err, QStringLiteral("prove"), message);
    return ExitUsageError;
}

void writeJson(std::FILE *out, const ProofAnswer &a)
{
    static const char *verdicts[3] = {"proved", "refuted", "unknown"};
    QJsonObject object{{QStringLiteral("verdict"), QLatin1String(verdicts[int(a.verdict)])},
                       {QStringLiteral("states"), a.states},
                       {QStringLiteral("depth"), a.depth},
                       {QStringLiteral("seconds"), a.seconds},
                       {QStringLiteral("bytes_per_state"), a.bytesPerState},
                       {QStringLiteral("any_input"), a.anyInput}};
    if (!a.stoppedBy.isEmpty())
        object.insert(QStringLiteral("stopped_by"), a.stoppedBy);
    if (a.counterexample) {
        const Counterexample &c = *a.counterexample;
        QJsonArray codes, faults;
        for (size_t s = 0; s < c.inputs.size(); ++s)
            if (s == 0 || c.inputs[s] != c.inputs[s - 1])
                codes.append(QJsonObject{{QStringLiteral("step"), qint64(s) + 1}, {QStringLiteral("code"), c.inputs[s]}});
        for (const RunScenario::FaultAt &f : c.faults)
            faults.append(QJsonObject{{QStringLiteral("step"), f.step},
                                      {QStringLiteral("element"), f.element},
                                      {QStringLiteral("contact"), f.contact},
                                      {QStringLiteral("kind"), f.kind}});
        QJsonObject counterexample{{QStringLiteral("steps"), c.steps()},
                                   {QStringLiteral("property"), c.property},
                                   {QStringLiteral("codes"), codes},
                                   {QStringLiteral("faults"), faults}};
        if (c.shown >= 0) {
            counterexample.insert(QStringLiteral("shown"), c.shown);
            counterexample.insert(QStringLiteral("warranted"), c.warranted);
        }
        object.insert(QStringLiteral("counterexample"), counterexample);
    }
    WriteLine(out, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

} // namespace

const OptionList &ProveCommandOptions() { return proveTable(); }

int RunProveCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    ProveLine line;
    line.choices.memoryBytes = qint64(4) << 30;
    line.choices.jobs = std::max(1, QThread::idealThreadCount());
    std::expected<QStringList, QString> models = proveTable().parse(arguments, line);
    if (!models)
        return usageError(err, models.error());
    if (line.help) {
        WriteText(out, proveTable().helpText());
        return ExitSuccess;
    }
    TakeBenchFromFiles(*models, line.benchFile);
    if (line.benchFile.isEmpty())
        return usageError(err, QStringLiteral("не задан стенд (--bench ФАЙЛ)"));
    if (models->size() > 1)
        return usageError(err, QStringLiteral("нужно не больше одного файла модели"));
    QString modelPath = models->value(0);
    if (const std::optional<QString> bench = BenchGivenAsModel(modelPath))
        return usageError(err, *bench);
    if (modelPath.endsWith(QLatin1String(".mod")))
        modelPath.chop(4);

    const std::expected<LoadedBench, QString> bench = LoadBench(line.benchFile, modelPath);
    if (!bench) {
        WriteLine(err, bench.error());
        return ExitUsageError;
    }
    for (const QString &warning : bench->warnings)
        WriteLine(err, warning);
    const std::expected<ProofQuestion, QString> question = QuestionFromBench(*bench, line.choices);
    if (!question) {
        WriteLine(err, question.error());
        return ExitUsageError;
    }

    if (!line.aigerFile.isEmpty()) {
        if (const auto written = ExportProofAiger(*question, line.aigerFile); !written) {
            WriteLine(err, written.error());
            return ExitFileError;
        }
        return ExitSuccess;
    }

    ProofProgressSink progress;
    if (isatty(fileno(err)))
        progress = [err](const ProofProgress &p) {
            WriteText(err, QStringLiteral("\rсостояний %1, глубина %2").arg(p.states).arg(p.depth));
        };
    const std::expected<ProofAnswer, QString> answer = ProveWith(line.engine, *question, progress);
    if (progress)
        WriteText(err, QStringLiteral("\n"));
    if (!answer) {
        WriteLine(err, answer.error());
        return ExitUsageError;
    }

    std::optional<SignalTrace> trace;
    if (answer->counterexample) {
        const Counterexample &c = *answer->counterexample;
        if (const auto replayed = ReplayCounterexample(*question, c); !replayed) {
            WriteLine(err, QStringLiteral("Внутренняя ошибка: %1").arg(replayed.error()));
            return ExitNoVerdict;
        }
        RunRecording recording;
        const auto run = RunCounterexample(*question, c, line.vcdFile.isEmpty() ? nullptr : &recording);
        if (!run) {
            WriteLine(err, QStringLiteral("Внутренняя ошибка: %1").arg(run.error()));
            return ExitNoVerdict;
        }
        trace = *run;
        if (!line.vcdFile.isEmpty())
            if (const auto written = ExportVcd(recording, line.vcdFile); !written) {
                WriteLine(err, written.error());
                return ExitFileError;
            }
        if (!line.counterexampleFile.isEmpty())
            if (const auto written = WriteCounterexampleBench(*question, c, line.counterexampleFile); !written) {
                WriteLine(err, written.error());
                return ExitFileError;
            }
    }
    if (line.json)
        writeJson(out, *answer);
    else
        for (const QString &reportLine : ProofReportLines(*question, *answer, trace ? &*trace : nullptr))
            WriteLine(out, reportLine);
    if (!FlushOutput(out, err))
        return ExitFileError;
    switch (answer->verdict) {
    case ProofAnswer::Verdict::Proved:
        return ExitSuccess;
    case ProofAnswer::Verdict::Refuted:
        return ExitRefuted;
    case ProofAnswer::Verdict::Unknown:
        break;
    }
    return ExitNoVerdict;
}
