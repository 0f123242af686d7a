#include "tools/RunOptions.h"

#include "model/ContactFault.h"
#include "model/ModelState.h"

namespace {

std::expected<qint64, QString> parseInteger(const QString &option, const QString &text, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < min || value > max)
        return std::unexpected(QStringLiteral("%1: «%2» — нужно целое число от %3 до %4").arg(option, text).arg(min).arg(max));
    return value;
}

std::expected<RunOptions::KeyAt, QString> parseKey(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::unexpected(QStringLiteral("--key: «%1» — нужно ШАГ:КОМАНДА").arg(text));
    const std::expected<qint64, QString> step = parseInteger(QStringLiteral("--key"), text.left(colon), 1, MaxRunSteps);
    if (!step)
        return std::unexpected(step.error());
    const QString command = text.mid(colon + 1);
    if (command == QLatin1String("ESC"))
        return RunOptions::KeyAt{*step, QString(QChar(27))};
    if (command == QLatin1String("EMPTY"))
        return RunOptions::KeyAt{*step, QString()};
    if (command.toUcs4().size() == 1)
        return RunOptions::KeyAt{*step, command};
    return std::unexpected(QStringLiteral("--key: команда «%1» — нужен один символ, ESC или EMPTY").arg(command));
}

// ШАГ:ЭЛЕМЕНТ:ВИД, the element by its number or its name in the model, the
// kind by its number or its word as the benches write it; or
// ШАГ:ФУНКЦИЯ/ТЕРМ/КОНТАКТ:ВИД for a contact, found once the model is read.
std::expected<RunOptions::NamedFaultAt, QString> parseFault(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::unexpected(QStringLiteral("--fault: «%1» — нужно ШАГ:ЭЛЕМЕНТ:ВИД").arg(text));
    const std::expected<qint64, QString> step = parseInteger(QStringLiteral("--fault"), parts[0], 1, MaxRunSteps);
    if (!step)
        return std::unexpected(step.error());
    RunOptions::NamedFaultAt fault{*step, {}, 0};
    if (LooksLikeContactAddress(parts[1].trimmed())) {
        const std::optional<uint8_t> kind = ContactFaultKindNamed(parts[2]);
        if (!kind)
            return std::unexpected(QStringLiteral("--fault: «%1» — вид неисправности контакта: не-размыкается, "
                                                  "не-замыкается или норма").arg(parts[2]));
        return RunOptions::NamedFaultAt{*step, parts[1].trimmed(), *kind, true};
    }
    bool numbered = false;
    parts[1].toLongLong(&numbered, 10);
    if (numbered) {
        const std::expected<qint64, QString> element = parseInteger(QStringLiteral("--fault: элемент"), parts[1], 1, MaxElements);
        if (!element)
            return std::unexpected(element.error());
        fault.element = QString::number(*element);
    } else if (parts[1].trimmed().isEmpty()) {
        return std::unexpected(QStringLiteral("--fault: «%1» — нужен номер или имя элемента").arg(text));
    } else {
        fault.element = parts[1].trimmed();
    }
    static const QStringList kinds{QStringLiteral("норма"), QStringLiteral("обрыв"), QStringLiteral("подпитка")};
    if (const qsizetype word = kinds.indexOf(parts[2].trimmed()); word >= 0) {
        fault.kind = uint8_t(word);
        return fault;
    }
    const std::expected<qint64, QString> kind = parseInteger(QStringLiteral("--fault: вид"), parts[2], 0, 2);
    if (!kind)
        return std::unexpected(kind.error() + QStringLiteral(" или слово норма, обрыв, подпитка"));
    fault.kind = uint8_t(*kind);
    return fault;
}

// The switch an option without a value turns on; nullptr for any other name.
bool *flagNamed(RunOptions &options, const QString &name)
{
    if (name == QLatin1String("--help") || name == QLatin1String("-h"))
        return &options.help;
    if (name == QLatin1String("--version"))
        return &options.version;
    if (name == QLatin1String("--changes"))
        return &options.changes;
    if (name == QLatin1String("--verbose"))
        return &options.verbose;
    return nullptr;
}

} // namespace

std::expected<RunOptions, QString> ParseRunOptions(const QStringList &arguments)
{
    RunOptions options;
    bool kptGiven = false;
    bool optionsEnded = false;
    QStringList positional;

    for (qsizetype a = 0; a < arguments.size(); ++a) {
        const QString &argument = arguments[a];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            positional.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = argument;
        std::optional<QString> inlineValue;
        if (const qsizetype eq = argument.indexOf(QLatin1Char('=')); eq > 0) {
            name = argument.left(eq);
            inlineValue = argument.mid(eq + 1);
        }

        if (bool *const flag = flagNamed(options, name)) {
            if (inlineValue)
                return std::unexpected(QStringLiteral("%1 не принимает значения").arg(name));
            *flag = true;
            continue;
        }
        static const QStringList valueOptions = {
            QStringLiteral("--timing"), QStringLiteral("--whd"),   QStringLiteral("--report"), QStringLiteral("--vcd"),
            QStringLiteral("--png"),    QStringLiteral("--svg"),   QStringLiteral("--csv"),    QStringLiteral("--wavejson"),
            QStringLiteral("--steps"),  QStringLiteral("--code"),  QStringLiteral("--kpt"),    QStringLiteral("--key"),
            QStringLiteral("--fault"),  QStringLiteral("--encoding")};
        if (!valueOptions.contains(name))
            return std::unexpected(QStringLiteral("неизвестный параметр «%1»").arg(argument));
        if (!inlineValue && a + 1 >= arguments.size())
            return std::unexpected(QStringLiteral("%1: не хватает значения").arg(name));
        const QString value = inlineValue ? *inlineValue : arguments[++a];

        if (name == QLatin1String("--timing")) {
            options.timingFile = value;
        } else if (name == QLatin1String("--whd")) {
            options.whdFile = value;
        } else if (name == QLatin1String("--report")) {
            options.reportFile = value;
        } else if (name == QLatin1String("--vcd")) {
            options.vcdFile = value;
        } else if (name == QLatin1String("--png")) {
            options.pngFile = value;
        } else if (name == QLatin1String("--svg")) {
            options.svgFile = value;
        } else if (name == QLatin1String("--csv")) {
            options.csvFile = value;
        } else if (name == QLatin1String("--wavejson")) {
            options.waveJsonFile = value;
        } else if (name == QLatin1String("--steps")) {
            const std::expected<qint64, QString> steps = parseInteger(name, value, 0, MaxRunSteps);
            if (!steps)
                return std::unexpected(steps.error());
            options.steps = *steps;
        } else if (name == QLatin1String("--code")) {
            const std::expected<qint64, QString> code = parseInteger(name, value, INT16_MIN, INT16_MAX);
            if (!code)
                return std::unexpected(code.error());
            options.code = int16_t(*code);
        } else if (name == QLatin1String("--kpt")) {
            if (value != QLatin1String("5") && value != QLatin1String("7"))
                return std::unexpected(QStringLiteral("--kpt: «%1» — нужно 5 или 7").arg(value));
            options.kpt = value.toInt();
            kptGiven = true;
        } else if (name == QLatin1String("--key")) {
            const std::expected<RunOptions::KeyAt, QString> key = parseKey(value);
            if (!key)
                return std::unexpected(key.error());
            options.keys.append(*key);
        } else if (name == QLatin1String("--fault")) {
            const std::expected<RunOptions::NamedFaultAt, QString> fault = parseFault(value);
            if (!fault)
                return std::unexpected(fault.error());
            bool numbered = false;
            if (const int element = fault->element.toInt(&numbered); numbered)
                options.faults.append({fault->step, element, fault->kind});
            else
                options.namedFaults.append(*fault);
        } else if (name == QLatin1String("--encoding")) {
            if (value == QLatin1String("utf8"))
                options.encoding = RunOptions::Encoding::Utf8;
            else if (value == QLatin1String("cp866"))
                options.encoding = RunOptions::Encoding::Cp866;
            else
                return std::unexpected(QStringLiteral("--encoding: «%1» — нужно utf8 или cp866").arg(value));
        }
    }

    if (options.help || options.version)
        return options;
    if (positional.size() != 1 || positional[0].isEmpty())
        return std::unexpected(positional.isEmpty() ? QStringLiteral("не задан файл модели")
                                                    : QStringLiteral("нужен ровно один файл модели"));
    if (kptGiven && !options.whdFile.isEmpty())
        return std::unexpected(QStringLiteral("--kpt и --whd нельзя задавать вместе"));
    options.modelPath = positional[0];
    if (options.modelPath.endsWith(QLatin1String(".mod")))
        options.modelPath.chop(4);
    return options;
}

QString UsageText()
{
    return QStringLiteral(
        "Использование: modelrun МОДЕЛЬ[.mod] [параметры]\n"
        "       modelrun check МОДЕЛЬ.mod [--format text|json]   проверка модели\n"
        "       modelrun test СТЕНД... [--junit ФАЙЛ.xml]        испытательные стенды\n"
        "       modelrun faults МОДЕЛЬ[.mod] [параметры]  (анализ неисправностей, см. faults --help)\n"
        "       modelrun sweep --bench СТЕНД --vary ЧТО=ОТ..ДО/ШАГ  (запасы по временам, см. sweep --help)\n"
        "       modelrun merge ФАЙЛ...  (соединить части анализа или перебора, см. merge --help)\n"
        "       modelrun draw МОДЕЛЬ.mod --svg|--pdf|--png ФАЙЛ  (релейно-контактная схема, см. draw --help)\n"
        "Прогоняет модель без окон и выводит диаграмму в стандартный вывод.\n"
        "\n"
        "  --timing ФАЙЛ        времена Tпр, T отп и длительность прогона из файла .tim\n"
        "                       (без него 0.01 с и 0.01 с у каждого элемента и 100 шагов)\n"
        "  --steps N            сделать ровно N шагов (по умолчанию длительность прогона)\n"
        "  --code N             начальный код: 0 нет кода, 1 КЖ, 2 Ж, 3 З (по умолчанию 0)\n"
        "  --kpt 5|7            трансмиттер КПТШ-5 или КПТШ-7 (по умолчанию 5)\n"
        "  --whd ФАЙЛ           временные характеристики кода из файла .whd\n"
        "  --changes            диаграмма изменений вместо временной диаграммы\n"
        "  --key ШАГ:КОМАНДА    команда перед шагом ШАГ: один символ, ESC или EMPTY\n"
        "  --fault ШАГ:ЭЛ:ВИД   неисправность элемента ЭЛ (номер или имя) перед шагом ШАГ:\n"
        "                       0 или норма, 1 или обрыв (питания), 2 или подпитка\n"
        "  --fault ШАГ:ФУНКЦИЯ/ТЕРМ/КОНТАКТ:ВИД\n"
        "                       неисправность контакта перед шагом ШАГ: Б, -Б или p в терме\n"
        "                       ТЕРМ (с 1) функции элемента или выхода; /N после контакта —\n"
        "                       его N-й повтор в терме (КЖ/1/-ЖЗ, ИП/1/И/2); ВИД —\n"
        "                       не-размыкается, не-замыкается или норма\n"
        "  --encoding utf8|cp866  кодировка стандартного вывода (по умолчанию utf8)\n"
        "  --report ФАЙЛ        дописать заголовок и строки в файл отчета (кодировка 866)\n"
        "  --vcd ФАЙЛ           записать временные диаграммы в формате VCD\n"
        "  --png ФАЙЛ           записать графики всего прогона картинкой PNG\n"
        "  --svg ФАЙЛ           записать графики всего прогона картинкой SVG\n"
        "  --csv ФАЙЛ           записать значения сигналов в CSV (строка на каждое изменение)\n"
        "  --wavejson ФАЙЛ      записать графики в формате WaveJSON (WaveDrom)\n"
        "  --verbose            сообщения о командах в стандартный поток ошибок\n"
        "  --help               эта справка\n"
        "  --version            версия программы\n"
        "\n"
        "Коды выхода: 0 успех, 1 ошибка во входном или выходном файле, 2 ошибка в командной строке.\n");
}
