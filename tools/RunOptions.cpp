#include "tools/RunOptions.h"

#include "model/ModelState.h"

namespace {

bool parseInteger(const QString &option, const QString &text, qint64 min, qint64 max, qint64 *value, QString *error)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 10);
    if (!ok || v < min || v > max) {
        *error = QStringLiteral("%1: «%2» — нужно целое число от %3 до %4").arg(option, text).arg(min).arg(max);
        return false;
    }
    *value = v;
    return true;
}

bool parseKey(const QString &text, RunOptions::KeyAt *key, QString *error)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        *error = QStringLiteral("--key: «%1» — нужно ШАГ:КОМАНДА").arg(text);
        return false;
    }
    if (!parseInteger(QStringLiteral("--key"), text.left(colon), 1, MaxRunSteps, &key->step, error))
        return false;
    const QString command = text.mid(colon + 1);
    if (command == QLatin1String("ESC"))
        key->command = QString(QChar(27));
    else if (command == QLatin1String("EMPTY"))
        key->command.clear();
    else if (command.toUcs4().size() == 1)
        key->command = command;
    else {
        *error = QStringLiteral("--key: команда «%1» — нужен один символ, ESC или EMPTY").arg(command);
        return false;
    }
    return true;
}

bool parseFault(const QString &text, RunOptions::FaultAt *fault, QString *error)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3) {
        *error = QStringLiteral("--fault: «%1» — нужно ШАГ:ЭЛЕМЕНТ:ВИД").arg(text);
        return false;
    }
    qint64 element = 0, kind = 0;
    if (!parseInteger(QStringLiteral("--fault"), parts[0], 1, MaxRunSteps, &fault->step, error)
        || !parseInteger(QStringLiteral("--fault: элемент"), parts[1], 1, MaxElements, &element, error)
        || !parseInteger(QStringLiteral("--fault: вид"), parts[2], 0, 2, &kind, error))
        return false;
    fault->element = int(element);
    fault->kind = uint8_t(kind);
    return true;
}

} // namespace

std::optional<RunOptions> ParseRunOptions(const QStringList &arguments, QString *error)
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
        const auto flag = [&](bool *target) {
            if (inlineValue) {
                *error = QStringLiteral("%1 не принимает значения").arg(name);
                return false;
            }
            *target = true;
            return true;
        };
        QString value;
        const auto takeValue = [&]() {
            if (inlineValue) {
                value = *inlineValue;
                return true;
            }
            if (a + 1 >= arguments.size()) {
                *error = QStringLiteral("%1: не хватает значения").arg(name);
                return false;
            }
            value = arguments[++a];
            return true;
        };

        bool ok = true;
        qint64 number = 0;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            ok = flag(&options.help);
        } else if (name == QLatin1String("--version")) {
            ok = flag(&options.version);
        } else if (name == QLatin1String("--changes")) {
            ok = flag(&options.changes);
        } else if (name == QLatin1String("--verbose")) {
            ok = flag(&options.verbose);
        } else if (name == QLatin1String("--timing")) {
            ok = takeValue();
            options.timingFile = value;
        } else if (name == QLatin1String("--whd")) {
            ok = takeValue();
            options.whdFile = value;
        } else if (name == QLatin1String("--report")) {
            ok = takeValue();
            options.reportFile = value;
        } else if (name == QLatin1String("--vcd")) {
            ok = takeValue();
            options.vcdFile = value;
        } else if (name == QLatin1String("--png")) {
            ok = takeValue();
            options.pngFile = value;
        } else if (name == QLatin1String("--svg")) {
            ok = takeValue();
            options.svgFile = value;
        } else if (name == QLatin1String("--csv")) {
            ok = takeValue();
            options.csvFile = value;
        } else if (name == QLatin1String("--wavejson")) {
            ok = takeValue();
            options.waveJsonFile = value;
        } else if (name == QLatin1String("--steps")) {
            ok = takeValue() && parseInteger(name, value, 0, MaxRunSteps, &number, error);
            options.steps = number;
        } else if (name == QLatin1String("--code")) {
            ok = takeValue() && parseInteger(name, value, INT16_MIN, INT16_MAX, &number, error);
            options.code = int16_t(number);
        } else if (name == QLatin1String("--kpt")) {
            ok = takeValue();
            if (ok && (value == QLatin1String("5") || value == QLatin1String("7"))) {
                options.kpt = value.toInt();
                kptGiven = true;
            } else if (ok) {
                *error = QStringLiteral("--kpt: «%1» — нужно 5 или 7").arg(value);
                ok = false;
            }
        } else if (name == QLatin1String("--key")) {
            RunOptions::KeyAt key;
            ok = takeValue() && parseKey(value, &key, error);
            options.keys.append(key);
        } else if (name == QLatin1String("--fault")) {
            RunOptions::FaultAt fault;
            ok = takeValue() && parseFault(value, &fault, error);
            options.faults.append(fault);
        } else if (name == QLatin1String("--encoding")) {
            ok = takeValue();
            if (ok && value == QLatin1String("utf8"))
                options.encoding = RunOptions::Encoding::Utf8;
            else if (ok && value == QLatin1String("cp866"))
                options.encoding = RunOptions::Encoding::Cp866;
            else if (ok) {
                *error = QStringLiteral("--encoding: «%1» — нужно utf8 или cp866").arg(value);
                ok = false;
            }
        } else {
            *error = QStringLiteral("неизвестный параметр «%1»").arg(argument);
            ok = false;
        }
        if (!ok)
            return std::nullopt;
    }

    if (options.help || options.version)
        return options;
    if (positional.size() != 1 || positional[0].isEmpty()) {
        *error = positional.isEmpty() ? QStringLiteral("не задан файл модели")
                                      : QStringLiteral("нужен ровно один файл модели");
        return std::nullopt;
    }
    if (kptGiven && !options.whdFile.isEmpty()) {
        *error = QStringLiteral("--kpt и --whd нельзя задавать вместе");
        return std::nullopt;
    }
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
        "  --fault ШАГ:ЭЛ:ВИД   неисправность элемента ЭЛ перед шагом ШАГ:\n"
        "                       0 нормальная работа, 1 обрыв питания, 2 подпитка\n"
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
