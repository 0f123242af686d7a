#include "tools/FaultReport.h"

#include "analysis/MinimalPairs.h"
#include "model/ContactFault.h"
#include "tools/ConsoleText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char *, 4> EffectNames = {"none", "lost", "spurious", "both"};

QString effectName(FaultEffect effect) { return QLatin1String(EffectNames[size_t(effect)]); }

constexpr std::array<const char *, 4> SafetyNames = {"none", "changed", "right-side", "wrong-side"};

using Faults = QList<FaultReportLine::Fault>;

// The verdict's fields of a JSON line: safety, safety_step, levels, latent.
void addVerdictJson(QJsonObject &object, const SafetyVerdict &verdict, const QString &latent)
{
    object.insert(QStringLiteral("safety"), SafetyName(verdict.safety));
    object.insert(QStringLiteral("safety_step"), verdict.step ? QJsonValue(verdict.step) : QJsonValue());
    object.insert(QStringLiteral("levels"), verdict.safety == Safety::WrongSide
                                                ? QJsonValue(QJsonObject{{QStringLiteral("shown"), verdict.shown},
                                                                         {QStringLiteral("warranted"), verdict.warranted}})
                                                : QJsonValue());
    object.insert(QStringLiteral("latent"), verdict.latent()
                                                ? QJsonValue(QJsonObject{{QStringLiteral("element"), latent},
                                                                         {QStringLiteral("number"), verdict.latentElement},
                                                                         {QStringLiteral("step"), verdict.latentStep}})
                                                : QJsonValue());
}

// Lines written before there were verdicts have none of these fields: they
// read as runs without a verdict.
std::expected<void, QString> readVerdictJson(const QJsonObject &object, SafetyVerdict *verdict, QString *latent)
{
    const QJsonValue safety = object.value(QStringLiteral("safety"));
    if (safety.isUndefined())
        return {};
    const qsizetype found = qsizetype(std::find(SafetyNames.begin(), SafetyNames.end(), safety.toString().toStdString())
                                      - SafetyNames.begin());
    if (found >= qsizetype(SafetyNames.size()))
        return std::unexpected(QStringLiteral("поле safety: «%1» — нужно none, changed, right-side или wrong-side")
                                   .arg(safety.toString()));
    verdict->safety = Safety(found);
    verdict->step = qint64(object.value(QStringLiteral("safety_step")).toDouble());
    const QJsonObject levels = object.value(QStringLiteral("levels")).toObject();
    verdict->shown = levels.value(QStringLiteral("shown")).toInt();
    verdict->warranted = levels.value(QStringLiteral("warranted")).toInt();
    const QJsonObject latentObject = object.value(QStringLiteral("latent")).toObject();
    *latent = latentObject.value(QStringLiteral("element")).toString();
    verdict->latentElement = latentObject.value(QStringLiteral("number")).toInt();
    verdict->latentStep = qint64(latentObject.value(QStringLiteral("step")).toDouble());
    return {};
}

constexpr QLatin1StringView VerdictCsvHeader("safety,safety_step,levels,latent");

// safety, safety_step, levels as "shown:warranted", latent as "element:step".
QString verdictCsv(const SafetyVerdict &verdict, const QString &latent)
{
    return QStringList{SafetyName(verdict.safety), verdict.step ? QString::number(verdict.step) : QString(),
                       verdict.safety == Safety::WrongSide
                           ? QStringLiteral("%1:%2").arg(verdict.shown).arg(verdict.warranted)
                           : QString(),
                       verdict.latent() ? CsvField(QStringLiteral("%1:%2").arg(latent).arg(verdict.latentStep))
                                        : QString()}
        .join(QLatin1Char(','));
}

// The contact as the model reads it: "Б", "-Б" or "p".
QString contactLabel(const FaultReportLine::Fault &fault)
{
    return (fault.contact.back ? QStringLiteral("-") : QString()) + fault.name;
}

QString contactFaultText(const FaultReportLine::Fault &fault)
{
    const ContactOfFault &c = fault.contact;
    // An address with the output mark: an element bears the output's name.
    const bool marked = c.inOutput && c.address.startsWith(OutputAddressMark);
    return ContactName(contactLabel(fault), c.function, c.term, c.repeat, marked)
           + QLatin1Char(' ') + ContactFaultText(uint8_t(fault.kind));
}

ContactOfFault contactOfFault(const ModelDefinition &model, const std::vector<Contact> &contacts, int number)
{
    const Contact &contact = contacts[size_t(number - 1)];
    return ContactOfFault{number,       FunctionName(model, contact), contact.inOutput, contact.function,
                          contact.term, contact.back,                  contact.repeat,   contact.position,
                          0,            ContactAddress(model, contact)};
}

void addContactJson(QJsonObject &object, const ContactOfFault &contact)
{
    object.insert(QStringLiteral("contact"), contact.number);
    object.insert(QStringLiteral("function"), contact.function);
    object.insert(QStringLiteral("function_of"), contact.inOutput ? QStringLiteral("output") : QStringLiteral("element"));
    object.insert(QStringLiteral("term"), contact.term);
    object.insert(QStringLiteral("side"), contact.back ? QStringLiteral("back") : QStringLiteral("front"));
    object.insert(QStringLiteral("repeat"), contact.repeat);
    object.insert(QStringLiteral("position"), contact.position);
    object.insert(QStringLiteral("column"), contact.column ? QJsonValue(contact.column) : QJsonValue());
    object.insert(QStringLiteral("address"), contact.address);
}

ContactOfFault contactFromJson(const QJsonObject &object)
{
    if (!object.contains(QStringLiteral("contact")))
        return {};
    return ContactOfFault{object.value(QStringLiteral("contact")).toInt(),
                          object.value(QStringLiteral("function")).toString(),
                          object.value(QStringLiteral("function_of")).toString() == QLatin1String("output"),
                          0,
                          object.value(QStringLiteral("term")).toInt(),
                          object.value(QStringLiteral("side")).toString() == QLatin1String("back"),
                          object.value(QStringLiteral("repeat")).toInt(1),
                          object.value(QStringLiteral("position")).toInt(),
                          object.value(QStringLiteral("column")).toInt(),
                          object.value(QStringLiteral("address")).toString()};
}

void placeColumns(Faults &faults, const ModelLayout &layout)
{
    for (FaultReportLine::Fault &fault : faults) {
        ContactOfFault &c = fault.contact;
        const QList<FunctionLayout> &functions = c.inOutput ? layout.outputs : layout.elements;
        if (c.number == 0 || c.functionNumber < 1 || c.functionNumber > functions.size())
            continue;
        const FunctionLayout &function = functions[c.functionNumber - 1];
        if (c.term >= 1 && c.term <= function.termColumn.size())
            c.column = function.termColumn[c.term - 1] + c.position - 1;
    }
}

QString faultsText(const Faults &faults)
{
    QStringList parts;
    for (const FaultReportLine::Fault &fault : faults)
        parts << (fault.contact.number != 0
                      ? contactFaultText(fault)
                      : QStringLiteral("%1 (%2) %3")
                            .arg(fault.name)
                            .arg(fault.element)
                            .arg(fault.kind == 1 ? QStringLiteral("обрыв") : QStringLiteral("подпитка")));
    return parts.join(QStringLiteral(" + "));
}

QJsonArray faultsJson(const Faults &faults)
{
    QJsonArray array;
    for (const FaultReportLine::Fault &fault : faults) {
        QJsonObject object{{QStringLiteral("element"), fault.element},
                           {QStringLiteral("name"), fault.name},
                           {QStringLiteral("kind"), fault.kind}};
        if (fault.contact.number != 0)
            addContactJson(object, fault.contact);
        array.append(object);
    }
    return array;
}

Faults faultsFromJson(const QJsonArray &array)
{
    Faults faults;
    for (const QJsonValue &value : array) {
        const QJsonObject fault = value.toObject();
        faults.append({fault.value(QStringLiteral("element")).toInt(), fault.value(QStringLiteral("name")).toString(),
                       fault.value(QStringLiteral("kind")).toInt(), contactFromJson(fault)});
        // Shards written before addresses were kept: the address from its parts.
        if (ContactOfFault &c = faults.back().contact; c.number != 0 && c.address.isEmpty())
            c.address = ContactAddress(contactLabel(faults.back()), c.function, c.term, c.repeat);
    }
    return faults;
}

QString faultsCsv(const Faults &faults)
{
    QStringList parts;
    for (const FaultReportLine::Fault &fault : faults)
        parts << (fault.contact.number != 0 ? QStringLiteral("%1:%2").arg(fault.contact.address).arg(fault.kind)
                                            : QStringLiteral("%1:%2:%3").arg(fault.element).arg(fault.name).arg(fault.kind));
    return CsvField(parts.join(QLatin1Char(' ')));
}

// contacts: ModelContacts(model), found once for all the lines.
Faults reportFaults(const ModelDefinition &model, const std::vector<Contact> &contacts,
                    const std::vector<InjectedFault> &injected)
{
    Faults faults;
    for (const InjectedFault &fault : injected)
        faults.append({fault.element,
                       fault.contact != 0 && fault.element == 0 ? QStringLiteral("p") : model.ElemName[fault.element],
                       fault.kind, fault.contact != 0 ? contactOfFault(model, contacts, fault.contact) : ContactOfFault()});
    return faults;
}

std::expected<QJsonObject, QString> jsonObject(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject())
        return std::unexpected(parseError.error != QJsonParseError::NoError
                                   ? QStringLiteral("не JSON: %1 (символ %2)").arg(parseError.errorString()).arg(parseError.offset + 1)
                                   : QStringLiteral("ожидался объект JSON"));
    return document.object();
}

void writeJson(const QList<FaultReportLine> &lines, const FaultReportOptions &options, std::FILE *out)
{
    for (const FaultReportLine &line : lines) {
        QJsonObject object{
            {QStringLiteral("faults"), faultsJson(line.faults)},
            {QStringLiteral("code"), line.code},
            {QStringLiteral("output"), line.output},
            {QStringLiteral("effect"), effectName(line.effect)},
            {QStringLiteral("first_step"), line.firstStep ? QJsonValue(line.firstStep) : QJsonValue()},
        };
        addVerdictJson(object, line.verdict, line.latent);
        if (options.injectionRange)
            object.insert(QStringLiteral("at"), line.at);
        WriteText(out, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
    }
}

void writeCsv(const QList<FaultReportLine> &lines, const FaultReportOptions &options, std::FILE *out)
{
    WriteText(out, QStringLiteral("faults,code,output,effect,first_step,") + VerdictCsvHeader
                       + (options.injectionRange ? QStringLiteral(",at\n") : QStringLiteral("\n")));
    for (const FaultReportLine &line : lines) {
        QStringList fields{faultsCsv(line.faults), QString::number(line.code),
                           CsvField(line.output), effectName(line.effect),
                           line.firstStep ? QString::number(line.firstStep) : QString(),
                           verdictCsv(line.verdict, line.latent)};
        if (options.injectionRange)
            fields << QString::number(line.at);
        WriteText(out, fields.join(QLatin1Char(',')) + QLatin1Char('\n'));
    }
}

// One faulty run as the judgement reports it: its faults, where it ran (a
// code or a bench scenario) and its verdict.
struct JudgedRun
{
    Faults faults;
    QString where;
    SafetyVerdict verdict;
    QString latent;
};

QString runText(const JudgedRun &run) { return faultsText(run.faults) + QStringLiteral("; ") + run.where; }

// The latent faults after `lead`; whether there were any.
bool writeLatent(const QList<JudgedRun> &runs, const QString &lead, std::FILE *out)
{
    bool any = false;
    for (const JudgedRun &run : runs) {
        if (!run.verdict.latent())
            continue;
        if (!any)
            WriteText(out, lead + QStringLiteral("Скрытые неисправности (выходы как без неисправности, другое состояние элемента):\n"));
        any = true;
        WriteText(out, QStringLiteral("  %1: %2 с шага %3\n").arg(runText(run), run.latent).arg(run.verdict.latentStep));
    }
    return any;
}

QList<JudgedRun> shownRuns(const QList<JudgedRun> &runs, bool allPairs, qsizetype *hiddenPairs)
{
    // A fault is named under its code as a single's run is.
    const std::vector<bool> minimal = MinimalPairsShown(runs, [](const JudgedRun &run) {
        std::vector<QString> keys;
        for (const FaultReportLine::Fault &fault : run.faults)
            keys.push_back(runText({{fault}, run.where, {}, {}}));
        return keys;
    });
    QList<JudgedRun> shown;
    *hiddenPairs = 0;
    for (qsizetype k = 0; k < runs.size(); ++k) {
        if (allPairs || minimal[size_t(k)])
            shown.append(runs[k]);
        else
            ++*hiddenPairs;
    }
    return shown;
}

void writeJudgement(const QList<JudgedRun> &runs, bool allPairs, std::FILE *out)
{
    qsizetype hiddenPairs = 0;
    const QList<JudgedRun> shown = shownRuns(runs, allPairs, &hiddenPairs);
    const auto list = [&](Safety safety, const QString &title) {
        bool any = false;
        for (const JudgedRun &run : shown) {
            if (run.verdict.safety != safety)
                continue;
            WriteText(out, any ? QString() : title + QLatin1Char('\n'));
            any = true;
            WriteText(out, safety == Safety::WrongSide
                               ? QStringLiteral("  %1: с шага %2 показание %3 при допустимом %4\n")
                                     .arg(runText(run)).arg(run.verdict.step).arg(run.verdict.shown).arg(run.verdict.warranted)
                               : QStringLiteral("  %1: с шага %2\n").arg(runText(run)).arg(run.verdict.step));
        }
        if (any)
            WriteText(out, QStringLiteral("\n"));
    };
    list(Safety::WrongSide, QStringLiteral("Опасные отказы (показание разрешительнее, чем позволяет код):"));
    list(Safety::RightSide, QStringLiteral("Защитные отказы (показание запретительнее, чем без неисправности):"));
    if (writeLatent(shown, {}, out))
        WriteText(out, QStringLiteral("\n"));
    std::array<qsizetype, 4> counts{};
    qsizetype latent = 0;
    for (const JudgedRun &run : runs) {
        ++counts[size_t(run.verdict.safety)];
        latent += run.verdict.latent();
    }
    WriteText(out, QStringLiteral("Прогонов с неисправностью: %1\n"
                                  "  опасный отказ                      %2\n"
                                  "  защитный отказ                     %3\n"
                                  "  другое изменение выходов           %4\n"
                                  "  без влияния на выходы              %5\n"
                                  "    из них скрытых неисправностей    %6\n")
                       .arg(runs.size())
                       .arg(counts[size_t(Safety::WrongSide)])
                       .arg(counts[size_t(Safety::RightSide)])
                       .arg(counts[size_t(Safety::Changed)])
                       .arg(counts[size_t(Safety::None)])
                       .arg(latent));
    if (hiddenPairs)
        WriteText(out, QStringLiteral("Не показано пар: %1 (показаны только пары с опасным отказом, которого нет ни у "
                                      "одной их неисправности отдельно; все пары — --all-pairs)\n")
                           .arg(hiddenPairs));
}

// The runs of a report with one line per output: its consecutive lines of
// the same faults and code.
QList<JudgedRun> runsOf(const QList<FaultReportLine> &lines, const FaultReportOptions &options)
{
    QList<JudgedRun> runs;
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const FaultReportLine &line = lines[k];
        const QString where = options.injectionRange
                                  ? QStringLiteral("код %1; внесена на шаге %2").arg(line.code).arg(line.at)
                                  : QStringLiteral("код %1").arg(line.code);
        if (k > 0 && lines[k - 1].code == line.code && faultsText(lines[k - 1].faults) == faultsText(line.faults))
            continue;
        runs.append({line.faults, where, line.verdict, line.latent});
    }
    return runs;
}

void writeText(const QList<FaultReportLine> &lines, const FaultReportOptions &options, std::FILE *out)
{
    if (options.levels) {
        writeJudgement(runsOf(lines, options), options.allPairs, out);
        return;
    }
    std::array<int, 4> counts{};
    for (const FaultReportLine &line : lines)
        ++counts[size_t(line.effect)];
    WriteText(out, QStringLiteral("Сочетаний неисправность × код × выход: %1\n"
                              "  без влияния                        %2\n"
                              "  пропадание                         %3\n"
                              "  появление                          %4\n"
                              "  и пропадание, и появление          %5\n")
                   .arg(lines.size())
                   .arg(counts[size_t(FaultEffect::None)])
                   .arg(counts[size_t(FaultEffect::Lost)])
                   .arg(counts[size_t(FaultEffect::Spurious)])
                   .arg(counts[size_t(FaultEffect::Both)]));
    // Without the outputs' levels nothing tells which side is dangerous.
    const auto list = [&](const QString &title, bool appears) {
        bool any = false;
        for (const FaultReportLine &line : lines) {
            if (line.effect == FaultEffect::None || IsSpurious(line.effect) != appears)
                continue;
            if (!any)
                WriteText(out, QLatin1Char('\n') + title + QLatin1Char('\n'));
            any = true;
            WriteText(out, QStringLiteral("  %1; код %2; выход %3: %4 с шага %5\n")
                           .arg(faultsText(line.faults))
                           .arg(options.injectionRange ? QStringLiteral("%1; внесена на шаге %2").arg(line.code).arg(line.at)
                                                       : QString::number(line.code))
                           .arg(line.output)
                           .arg(line.effect == FaultEffect::Lost       ? QStringLiteral("пропадает")
                                : line.effect == FaultEffect::Spurious ? QStringLiteral("появляется")
                                                                       : QStringLiteral("пропадает и появляется"))
                           .arg(line.firstStep));
        }
    };
    list(QStringLiteral("Появление выходов:"), true);
    list(QStringLiteral("Пропадание выходов:"), false);
    writeLatent(runsOf(lines, options), QStringLiteral("\n"), out);
}

QJsonValue optionalText(const QString &text) { return text.isEmpty() ? QJsonValue() : QJsonValue(text); }

QJsonObject benchJson(const BenchFaultReportLine &line)
{
    QJsonObject object{
        {QStringLiteral("faults"), faultsJson(line.faults)},
        {QStringLiteral("scenario"), line.scenario},
        {QStringLiteral("result"), line.failed ? QStringLiteral("fail") : QStringLiteral("pass")},
        {QStringLiteral("expectation"), line.failed ? QJsonValue(line.expectation) : QJsonValue()},
        {QStringLiteral("line"), line.failed ? QJsonValue(line.line) : QJsonValue()},
        {QStringLiteral("first_step"), line.failed ? QJsonValue(line.firstStep) : QJsonValue()},
        {QStringLiteral("detail"), line.failed ? optionalText(line.detail) : QJsonValue()},
    };
    addVerdictJson(object, line.verdict, line.latent);
    return object;
}

void writeBenchText(const QList<BenchFaultReportLine> &lines, const FaultReportOptions &options, std::FILE *out)
{
    const qsizetype failed = std::ranges::count_if(lines, [](const BenchFaultReportLine &l) { return l.failed; });
    WriteText(out, QStringLiteral("Прогонов сценарий × неисправность: %1\n"
                                  "  все ожидания выполнены   %2\n"
                                  "  ожидание нарушено        %3\n")
                       .arg(lines.size())
                       .arg(lines.size() - failed)
                       .arg(failed));
    if (failed)
        WriteText(out, QStringLiteral("\nНарушенные ожидания (первое по шагу):\n"));
    for (const BenchFaultReportLine &line : lines)
        if (line.failed)
            WriteText(out, QStringLiteral("  %1; сценарий «%2»: строка %3 «%4» — %5\n")
                               .arg(faultsText(line.faults), line.scenario)
                               .arg(line.line)
                               .arg(line.expectation, line.detail));
    QList<JudgedRun> runs;
    for (const BenchFaultReportLine &line : lines)
        runs.append({line.faults, QStringLiteral("сценарий «%1»").arg(line.scenario), line.verdict, line.latent});
    if (options.levels) {
        WriteText(out, QStringLiteral("\n"));
        writeJudgement(runs, options.allPairs, out);
    } else {
        writeLatent(runs, QStringLiteral("\n"), out);
    }
}

void writeBenchCsv(const QList<BenchFaultReportLine> &lines, std::FILE *out)
{
    WriteText(out, QStringLiteral("faults,scenario,result,expectation,line,first_step,detail,") + VerdictCsvHeader
                       + QLatin1Char('\n'));
    for (const BenchFaultReportLine &line : lines)
        WriteText(out, QStringList{faultsCsv(line.faults), CsvField(line.scenario),
                                   line.failed ? QStringLiteral("fail") : QStringLiteral("pass"),
                                   CsvField(line.expectation), line.failed ? QString::number(line.line) : QString(),
                                   line.failed ? QString::number(line.firstStep) : QString(), CsvField(line.detail),
                                   verdictCsv(line.verdict, line.latent)}
                               .join(QLatin1Char(','))
                           + QLatin1Char('\n'));
}

} // namespace

QString CsvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

bool IsSpurious(FaultEffect effect) { return effect == FaultEffect::Spurious || effect == FaultEffect::Both; }

QJsonObject ShardReportHeader(const FaultReportOptions &options)
{
    QJsonObject header;
    if (options.levels)
        header.insert(QStringLiteral("indication_levels"), true);
    if (options.injectionRange)
        header.insert(QStringLiteral("injection_range"), true);
    return header;
}

bool ShardHasLevels(const QJsonObject &header) { return header.value(QStringLiteral("indication_levels")).toBool(); }

bool ShardHasInjectionRange(const QJsonObject &header)
{
    return header.value(QStringLiteral("injection_range")).toBool();
}

QString SafetyName(Safety safety) { return QLatin1String(SafetyNames[size_t(safety)]); }

QList<FaultReportLine> ReportLines(const ModelDefinition &model, const std::vector<FaultOutcome> &outcomes)
{
    QList<FaultReportLine> lines;
    lines.reserve(qsizetype(outcomes.size()));
    const std::vector<Contact> contacts = ModelContacts(model);
    for (const FaultOutcome &outcome : outcomes) {
        FaultReportLine line;
        line.faults = reportFaults(model, contacts, outcome.faults);
        line.code = outcome.code;
        line.output = model.OutName[outcome.output];
        line.effect = outcome.effect;
        line.firstStep = outcome.firstStep;
        line.verdict = outcome.verdict;
        line.latent = model.ElemName[outcome.verdict.latentElement];
        line.at = outcome.at;
        lines.append(line);
    }
    return lines;
}

void PlaceContactColumns(QList<FaultReportLine> &lines, const ModelLayout &layout)
{
    for (FaultReportLine &line : lines)
        placeColumns(line.faults, layout);
}

void PlaceContactColumns(QList<BenchFaultReportLine> &lines, const ModelLayout &layout)
{
    for (BenchFaultReportLine &line : lines)
        placeColumns(line.faults, layout);
}

void WriteFaultReport(const QList<FaultReportLine> &lines, FaultReportFormat format, std::FILE *out,
                      const FaultReportOptions &options)
{
    switch (format) {
    case FaultReportFormat::Text:
        writeText(lines, options, out);
        break;
    case FaultReportFormat::Json:
        writeJson(lines, options, out);
        break;
    case FaultReportFormat::Csv:
        writeCsv(lines, options, out);
        break;
    }
}

std::expected<FaultReportLine, QString> ReadFaultReportLine(const QByteArray &json)
{
    const std::expected<QJsonObject, QString> read = jsonObject(json);
    if (!read)
        return std::unexpected(read.error());
    const QJsonObject &object = *read;
    FaultReportLine line;
    const qsizetype effect = qsizetype(std::find(EffectNames.begin(), EffectNames.end(),
                                                 object.value(QStringLiteral("effect")).toString().toStdString())
                                       - EffectNames.begin());
    const QJsonValue firstStep = object.value(QStringLiteral("first_step"));
    if (!object.value(QStringLiteral("faults")).isArray() || !object.value(QStringLiteral("code")).isDouble()
        || !object.value(QStringLiteral("output")).isString() || effect >= qsizetype(EffectNames.size())
        || !(firstStep.isNull() || firstStep.isDouble()))
        return std::unexpected(QStringLiteral("нет полей faults, code, output, effect, first_step или они неверны"));
    line.faults = faultsFromJson(object.value(QStringLiteral("faults")).toArray());
    line.code = object.value(QStringLiteral("code")).toInt();
    line.output = object.value(QStringLiteral("output")).toString();
    line.effect = FaultEffect(effect);
    line.firstStep = firstStep.isNull() ? 0 : qint64(firstStep.toDouble());
    line.at = qint64(object.value(QStringLiteral("at")).toDouble());
    if (const auto verdict = readVerdictJson(object, &line.verdict, &line.latent); !verdict)
        return std::unexpected(verdict.error());
    return line;
}

QList<BenchFaultReportLine> BenchReportLines(const LoadedBench &bench, const std::vector<BenchFaultOutcome> &outcomes)
{
    QList<BenchFaultReportLine> lines;
    lines.reserve(qsizetype(outcomes.size()));
    const std::vector<Contact> contacts = ModelContacts(bench.model->definition);
    for (const BenchFaultOutcome &outcome : outcomes) {
        BenchFaultReportLine line;
        line.faults = reportFaults(bench.model->definition, contacts, outcome.faults);
        line.scenario = bench.bench.scenarios[outcome.scenario].name;
        if (const std::optional<ExpectationResult> &failure = outcome.failure) {
            line.failed = true;
            line.expectation = failure->expectation.text;
            line.line = failure->expectation.place.line;
            line.firstStep = failure->step;
            line.detail = failure->detail;
        }
        line.verdict = outcome.verdict;
        line.latent = bench.model->definition.ElemName[outcome.verdict.latentElement];
        lines.append(line);
    }
    return lines;
}

void WriteBenchFaultReport(const QList<BenchFaultReportLine> &lines, FaultReportFormat format, std::FILE *out,
                           const FaultReportOptions &options)
{
    switch (format) {
    case FaultReportFormat::Text:
        writeBenchText(lines, options, out);
        break;
    case FaultReportFormat::Json:
        for (const BenchFaultReportLine &line : lines)
            WriteText(out, QString::fromUtf8(QJsonDocument(benchJson(line)).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
        break;
    case FaultReportFormat::Csv:
        writeBenchCsv(lines, out);
        break;
    }
}

std::expected<BenchFaultReportLine, QString> ReadBenchFaultReportLine(const QByteArray &json)
{
    const std::expected<QJsonObject, QString> read = jsonObject(json);
    if (!read)
        return std::unexpected(read.error());
    const QJsonObject &object = *read;
    const QString result = object.value(QStringLiteral("result")).toString();
    if (!object.value(QStringLiteral("faults")).isArray() || !object.value(QStringLiteral("scenario")).isString()
        || (result != QLatin1String("pass") && result != QLatin1String("fail")))
        return std::unexpected(QStringLiteral("нет полей faults, scenario, result или они неверны"));
    BenchFaultReportLine line;
    line.faults = faultsFromJson(object.value(QStringLiteral("faults")).toArray());
    line.scenario = object.value(QStringLiteral("scenario")).toString();
    line.failed = result == QLatin1String("fail");
    line.expectation = object.value(QStringLiteral("expectation")).toString();
    line.line = object.value(QStringLiteral("line")).toInt();
    line.firstStep = qint64(object.value(QStringLiteral("first_step")).toDouble());
    line.detail = object.value(QStringLiteral("detail")).toString();
    if (const auto verdict = readVerdictJson(object, &line.verdict, &line.latent); !verdict)
        return std::unexpected(verdict.error());
    return line;
}
