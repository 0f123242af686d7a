#include "FaultsCommand.h"

#include "BatchRun.h"
#include "FaultCampaign.h"
#include "RunOptions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <unistd.h>

namespace {

enum class Format { Text, Json, Csv };

struct FaultsOptions
{
    RunOptions run;
    CampaignSpec campaign;
    Format format = Format::Text;
    bool failOnSpurious = false;
};

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

std::optional<qint64> parseNumber(const QString &text, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// Takes the campaign's own options out of arguments and hands the rest to the
// runner's parser, so the scenario reads exactly as in a single run.
std::optional<FaultsOptions> parse(const QStringList &arguments, QString *error)
{
    FaultsOptions options;
    options.campaign.jobs = std::max(1, QThread::idealThreadCount());
    QStringList rest;
    for (qsizetype a = 0; a < arguments.size(); ++a) {
        QString name = arguments[a];
        std::optional<QString> value;
        if (const qsizetype eq = name.indexOf(QLatin1Char('=')); name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        const auto takeValue = [&]() -> std::optional<QString> {
            if (value)
                return value;
            if (a + 1 < arguments.size())
                return arguments[++a];
            *error = QStringLiteral("%1: не хватает значения").arg(name);
            return std::nullopt;
        };
        if (name == QLatin1String("--pairs")) {
            options.campaign.pairs = true;
        } else if (name == QLatin1String("--codes")) {
            const std::optional<QString> list = takeValue();
            if (!list)
                return std::nullopt;
            options.campaign.codes.clear();
            for (const QString &item : list->split(QLatin1Char(','))) {
                const std::optional<qint64> code = parseNumber(item, 0, 3);
                if (!code) {
                    *error = QStringLiteral("--codes: «%1» — нужны коды 0, 1, 2, 3 через запятую").arg(*list);
                    return std::nullopt;
                }
                options.campaign.codes.append(int16_t(*code));
            }
        } else if (name == QLatin1String("--at") || name == QLatin1String("--jobs")) {
            const std::optional<QString> text = takeValue();
            if (!text)
                return std::nullopt;
            const std::optional<qint64> number = parseNumber(*text, 1, name == QLatin1String("--at") ? MaxRunSteps : 1024);
            if (!number) {
                *error = QStringLiteral("%1: «%2» — нужно целое число не меньше 1").arg(name, *text);
                return std::nullopt;
            }
            if (name == QLatin1String("--at"))
                options.campaign.at = *number;
            else
                options.campaign.jobs = int(*number);
        } else if (name == QLatin1String("--format")) {
            const std::optional<QString> format = takeValue();
            if (!format)
                return std::nullopt;
            if (*format == QLatin1String("text"))
                options.format = Format::Text;
            else if (*format == QLatin1String("json"))
                options.format = Format::Json;
            else if (*format == QLatin1String("csv"))
                options.format = Format::Csv;
            else {
                *error = QStringLiteral("--format: «%1» — нужно text, json или csv").arg(*format);
                return std::nullopt;
            }
        } else if (name == QLatin1String("--fail-on")) {
            const std::optional<QString> what = takeValue();
            if (!what)
                return std::nullopt;
            if (*what != QLatin1String("spurious")) {
                *error = QStringLiteral("--fail-on: «%1» — допустимо только spurious").arg(*what);
                return std::nullopt;
            }
            options.failOnSpurious = true;
        } else if (name == QLatin1String("--code") || name == QLatin1String("--fault") || name == QLatin1String("--vcd")
                   || name == QLatin1String("--report") || name == QLatin1String("--changes")
                   || name == QLatin1String("--encoding") || name == QLatin1String("--verbose")) {
            *error = QStringLiteral("%1 не применяется к анализу неисправностей").arg(name);
            return std::nullopt;
        } else {
            rest.append(arguments[a]);
        }
    }
    std::optional<RunOptions> run = ParseRunOptions(rest, error);
    if (!run)
        return std::nullopt;
    options.run = *run;
    return options;
}

QString effectName(FaultEffect effect)
{
    switch (effect) {
    case FaultEffect::None:
        return QStringLiteral("none");
    case FaultEffect::Lost:
        return QStringLiteral("lost");
    case FaultEffect::Spurious:
        return QStringLiteral("spurious");
    case FaultEffect::Both:
        return QStringLiteral("both");
    }
    return {};
}

bool dangerous(FaultEffect effect) { return effect == FaultEffect::Spurious || effect == FaultEffect::Both; }

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString faultText(const ModelDefinition &model, const std::vector<InjectedFault> &faults)
{
    QStringList parts;
    for (const InjectedFault &fault : faults)
        parts << QStringLiteral("%1 (%2) %3")
                     .arg(model.ElemName[fault.element])
                     .arg(fault.element)
                     .arg(fault.kind == 1 ? QStringLiteral("обрыв") : QStringLiteral("подпитка"));
    return parts.join(QStringLiteral(" + "));
}

void writeJson(const ModelDefinition &model, const std::vector<FaultOutcome> &outcomes, std::FILE *out)
{
    for (const FaultOutcome &outcome : outcomes) {
        QJsonArray faults;
        for (const InjectedFault &fault : outcome.faults)
            faults.append(QJsonObject{{QStringLiteral("element"), fault.element},
                                      {QStringLiteral("name"), model.ElemName[fault.element]},
                                      {QStringLiteral("kind"), int(fault.kind)}});
        const QJsonObject line{
            {QStringLiteral("faults"), faults},
            {QStringLiteral("code"), outcome.code},
            {QStringLiteral("output"), model.OutName[outcome.output]},
            {QStringLiteral("effect"), effectName(outcome.effect)},
            {QStringLiteral("first_step"), outcome.firstStep ? QJsonValue(outcome.firstStep) : QJsonValue()},
        };
        print(out, QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
    }
}

void writeCsv(const ModelDefinition &model, const std::vector<FaultOutcome> &outcomes, std::FILE *out)
{
    print(out, QStringLiteral("faults,code,output,effect,first_step\n"));
    for (const FaultOutcome &outcome : outcomes) {
        QStringList faults;
        for (const InjectedFault &fault : outcome.faults)
            faults << QStringLiteral("%1:%2:%3").arg(fault.element).arg(model.ElemName[fault.element]).arg(fault.kind);
        print(out, QStringList{csvField(faults.join(QLatin1Char(' '))), QString::number(outcome.code),
                               csvField(model.OutName[outcome.output]), effectName(outcome.effect),
                               outcome.firstStep ? QString::number(outcome.firstStep) : QString()}
                           .join(QLatin1Char(','))
                       + QLatin1Char('\n'));
    }
}

void writeText(const ModelDefinition &model, const std::vector<FaultOutcome> &outcomes, std::FILE *out)
{
    int counts[4] = {};
    for (const FaultOutcome &outcome : outcomes)
        ++counts[int(outcome.effect)];
    print(out, QStringLiteral("Сочетаний неисправность × код × выход: %1\n"
                              "  без влияния                        %2\n"
                              "  пропадание (защитный отказ)        %3\n"
                              "  ложное появление (опасный отказ)   %4\n"
                              "  и то и другое (опасный отказ)      %5\n")
                   .arg(outcomes.size())
                   .arg(counts[int(FaultEffect::None)])
                   .arg(counts[int(FaultEffect::Lost)])
                   .arg(counts[int(FaultEffect::Spurious)])
                   .arg(counts[int(FaultEffect::Both)]));
    const auto list = [&](const QString &title, bool wantDangerous) {
        bool any = false;
        for (const FaultOutcome &outcome : outcomes) {
            if (outcome.effect == FaultEffect::None || dangerous(outcome.effect) != wantDangerous)
                continue;
            if (!any)
                print(out, QLatin1Char('\n') + title + QLatin1Char('\n'));
            any = true;
            print(out, QStringLiteral("  %1; код %2; выход %3: %4 с шага %5\n")
                           .arg(faultText(model, outcome.faults))
                           .arg(outcome.code)
                           .arg(model.OutName[outcome.output])
                           .arg(outcome.effect == FaultEffect::Lost       ? QStringLiteral("пропадает")
                                : outcome.effect == FaultEffect::Spurious ? QStringLiteral("появляется ложно")
                                                                          : QStringLiteral("пропадает и появляется ложно"))
                           .arg(outcome.firstStep));
        }
    };
    list(QStringLiteral("Опасные отказы:"), true);
    list(QStringLiteral("Защитные отказы:"), false);
}

} // namespace

QString FaultsUsageText()
{
    return QStringLiteral(
        "Использование: modelrun faults МОДЕЛЬ[.mod] [параметры прогона] [параметры анализа]\n"
        "Пробует каждую неисправность каждого элемента (обрыв питания и подпитку) при каждом коде\n"
        "и сравнивает выходы с исправным прогоном того же сценария.\n"
        "\n"
        "Параметры прогона: --timing, --steps, --kpt, --whd, --key, как у modelrun.\n"
        "\n"
        "  --codes СПИСОК       коды через запятую (по умолчанию 0,1,2,3)\n"
        "  --pairs              также каждая пара неисправностей двух разных элементов\n"
        "  --at ШАГ             неисправности действуют с шага ШАГ до конца (по умолчанию 1)\n"
        "  --jobs N             число потоков (по умолчанию все ядра)\n"
        "  --format text|json|csv  вид отчета (по умолчанию text); json — объект на строку\n"
        "  --fail-on spurious   код выхода 1, если найден опасный отказ (ложное появление)\n"
        "  --help               эта справка\n"
        "\n"
        "Коды выхода: 0 анализ выполнен, 1 ошибка в файле (или опасный отказ при --fail-on),\n"
        "2 ошибка в командной строке.\n");
}

int RunFaultsCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    QString error;
    const std::optional<FaultsOptions> options = parse(arguments, &error);
    if (!options) {
        print(err, QStringLiteral("modelrun faults: %1\n\n%2").arg(error, FaultsUsageText()));
        return ExitUsageError;
    }
    if (options->run.help) {
        print(out, FaultsUsageText());
        return ExitSuccess;
    }
    const std::expected<SharedModel, QString> model = LoadSharedModel(options->run.modelPath);
    if (!model) {
        print(err, model.error() + QLatin1Char('\n'));
        return ExitFileError;
    }
    if ((*model)->definition.ElemCount == 0 || (*model)->definition.OutCount == 0) {
        print(err, QStringLiteral("В модели «%1.mod» нет элементов или выходов: анализировать нечего.\n")
                       .arg(options->run.modelPath));
        return ExitFileError;
    }
    const std::expected<RunScenario, QString> scenario = ReadScenarioFiles(options->run, (*model)->definition.ElemCount);
    if (!scenario) {
        print(err, scenario.error() + QLatin1Char('\n'));
        return ExitFileError;
    }
    CampaignSpec spec = options->campaign;
    spec.scenario = *scenario;

    std::function<void(qint64, qint64)> progress;
    if (isatty(fileno(err)))
        progress = [err](qint64 done, qint64 total) {
            print(err, QStringLiteral("\rпрогонов: %1 из %2").arg(done).arg(total));
            if (done == total)
                print(err, QStringLiteral("\n"));
        };
    const std::vector<FaultOutcome> outcomes = RunFaultCampaign(*model, spec, progress);

    const ModelDefinition &definition = (*model)->definition;
    switch (options->format) {
    case Format::Text:
        writeText(definition, outcomes, out);
        break;
    case Format::Json:
        writeJson(definition, outcomes, out);
        break;
    case Format::Csv:
        writeCsv(definition, outcomes, out);
        break;
    }
    if (std::fflush(out) != 0) {
        print(err, QStringLiteral("Ошибка записи в стандартный вывод\n"));
        return ExitFileError;
    }
    const bool anyDangerous = std::any_of(outcomes.begin(), outcomes.end(),
                                          [](const FaultOutcome &o) { return dangerous(o.effect); });
    return options->failOnSpurious && anyDangerous ? ExitFileError : ExitSuccess;
}
