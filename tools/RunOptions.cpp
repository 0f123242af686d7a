#include "tools/RunOptions.h"

#include "model/ContactFault.h"
#include "model/ModelState.h"
#include "tools/OptionTable.h"
#include "wave/RunExporters.h"

#include <algorithm>

namespace {

// The key's and the fault's numbers read as the options' integers do.
const auto &parseInteger = ParseIntegerOption;

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

// The command line as the table fills it.
struct RunLine : RunOptions
{
    bool kptGiven = false;
};

using RunRow = std::pair<OptionDeclaration, OptionTable<RunLine>::Setter>;

// An option for each export, named as the export.
QList<RunRow> exportRows()
{
    QList<RunRow> rows;
    for (const RunExporter &exporter : RunExporters()) {
        rows.append({{.name = QStringLiteral("--") + exporter.name,
                      .placeholder = QStringLiteral("ФАЙЛ"),
                      .help = exporter.optionHelp,
                      .kind = OptionDeclaration::Kind::File,
                      .suffix = exporter.suffix},
                     [name = exporter.name](RunLine &line, const OptionValue &value) -> std::expected<void, QString> {
                         line.exportFile(name) = value.text;
                         return {};
                     }});
    }
    return rows;
}

const OptionTable<RunLine> &runTable()
{
    using Kind = OptionDeclaration::Kind;
    static const OptionTable<RunLine> table(
        {.helpHead = QStringLiteral(
             "Использование: modelrun МОДЕЛЬ[.mod] [параметры]\n"
             "       modelrun check МОДЕЛЬ.mod [--format text|json]   проверка модели\n"
             "       modelrun test СТЕНД... [--junit ФАЙЛ.xml]        испытательные стенды\n"
             "       modelrun faults МОДЕЛЬ[.mod] [параметры]  (анализ неисправностей, см. faults --help)\n"
             "       modelrun sweep --bench СТЕНД --vary ЧТО=ОТ..ДО/ШАГ  (запасы по временам, см. sweep --help)\n"
             "       modelrun merge ФАЙЛ...  (соединить части анализа или перебора, см. merge --help)\n"
             "       modelrun draw МОДЕЛЬ.mod --svg|--pdf|--png ФАЙЛ  (релейно-контактная схема, см. draw --help)\n"
             "Прогоняет модель без окон и выводит диаграмму в стандартный вывод.\n"
             "\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 успех, 1 ошибка во входном или выходном файле, 2 ошибка в командной строке.\n"),
         .operandSuffix = QStringLiteral("mod")},
        QList<RunRow>{
            {{.name = QStringLiteral("--timing"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("времена Tпр, T отп и длительность прогона из файла .tim\n"
                                     "(без него 0.01 с и 0.01 с у каждого элемента и 100 шагов)"),
              .kind = Kind::File,
              .suffix = QStringLiteral("tim")},
             Keep(&RunOptions::timingFile)},
            {{.name = QStringLiteral("--steps"),
              .placeholder = QStringLiteral("N"),
              .help = QStringLiteral("сделать ровно N шагов (по умолчанию длительность прогона)"),
              .kind = Kind::Integer,
              .min = 0,
              .max = MaxRunSteps},
             Keep(&RunOptions::steps)},
            {{.name = QStringLiteral("--code"),
              .placeholder = QStringLiteral("N"),
              .help = QStringLiteral("начальный код: 0 нет кода, 1 КЖ, 2 Ж, 3 З (по умолчанию 0)"),
              .kind = Kind::Integer,
              .words = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
              .min = INT16_MIN,
              .max = INT16_MAX},
             Keep(&RunOptions::code)},
            {{.name = QStringLiteral("--kpt"),
              .help = QStringLiteral("трансмиттер КПТШ-5 или КПТШ-7 (по умолчанию 5)"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("5"), QStringLiteral("7")}},
             [](RunLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 line.kpt = value.text.toInt();
                 line.kptGiven = true;
                 return {};
             }},
            {{.name = QStringLiteral("--whd"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("временные характеристики кода из файла .whd"),
              .kind = Kind::File,
              .suffix = QStringLiteral("whd")},
             Keep(&RunOptions::whdFile)},
            {{.name = QStringLiteral("--changes"), .help = QStringLiteral("диаграмма изменений вместо временной диаграммы")},
             Keep(&RunOptions::changes)},
            {{.name = QStringLiteral("--key"),
              .placeholder = QStringLiteral("ШАГ:КОМАНДА"),
              .help = QStringLiteral("команда перед шагом ШАГ: один символ, ESC или EMPTY"),
              .kind = Kind::Value},
             [](RunLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 const std::expected<RunOptions::KeyAt, QString> key = parseKey(value.text);
                 if (!key)
                     return std::unexpected(key.error());
                 line.keys.append(*key);
                 return {};
             }},
            {{.name = QStringLiteral("--fault"),
              .placeholder = QStringLiteral("ШАГ:ЭЛ:ВИД"),
              .help = QStringLiteral("неисправность элемента ЭЛ (номер или имя) перед шагом ШАГ:\n"
                                     "0 или норма, 1 или обрыв (питания), 2 или подпитка;\n"
                                     "ШАГ:ФУНКЦИЯ/ТЕРМ/КОНТАКТ:ВИД — неисправность контакта: Б, -Б\n"
                                     "или p в терме ТЕРМ (с 1) функции элемента или выхода; /N после\n"
                                     "контакта — его N-й повтор в терме (КЖ/1/-ЖЗ, ИП/1/И/2); выход\n"
                                     "с именем элемента — выход/ФУНКЦИЯ/ТЕРМ/КОНТАКТ;\n"
                                     "ВИД — не-размыкается, не-замыкается или норма"),
              .kind = Kind::Value},
             [](RunLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 const std::expected<RunOptions::NamedFaultAt, QString> fault = parseFault(value.text);
                 if (!fault)
                     return std::unexpected(fault.error());
                 bool numbered = false;
                 if (const int element = fault->element.toInt(&numbered); numbered)
                     line.faults.append({fault->step, element, fault->kind});
                 else
                     line.namedFaults.append(*fault);
                 return {};
             }},
            {{.name = QStringLiteral("--encoding"),
              .help = QStringLiteral("кодировка стандартного вывода (по умолчанию utf8)"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("utf8"), QStringLiteral("cp866")}},
             [](RunLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 line.encoding = value.number == 0 ? RunOptions::Encoding::Utf8 : RunOptions::Encoding::Cp866;
                 return {};
             }},
            {{.name = QStringLiteral("--report"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("дописать заголовок и строки в файл отчета (кодировка 866)"),
              .kind = Kind::File,
              .suffix = QStringLiteral("out")},
             Keep(&RunOptions::reportFile)},
        } + exportRows() + QList<RunRow>{
            {{.name = QStringLiteral("--verbose"), .help = QStringLiteral("сообщения о командах в стандартный поток ошибок")},
             Keep(&RunOptions::verbose)},
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&RunOptions::help)},
            {{.name = QStringLiteral("--version"), .help = QStringLiteral("версия программы")}, Keep(&RunOptions::version)},
        });
    return table;
}

} // namespace

std::expected<RunOptions, QString> ParseRunOptions(const QStringList &arguments)
{
    RunLine line;
    const std::expected<QStringList, QString> positional = runTable().parse(arguments, line);
    if (!positional)
        return std::unexpected(positional.error());
    RunOptions &options = line;
    if (options.help || options.version)
        return options;
    if (positional->size() != 1 || positional->at(0).isEmpty())
        return std::unexpected(positional->isEmpty() ? QStringLiteral("не задан файл модели")
                                                     : QStringLiteral("нужен ровно один файл модели"));
    if (line.kptGiven && !options.whdFile.isEmpty())
        return std::unexpected(QStringLiteral("--kpt и --whd нельзя задавать вместе"));
    options.modelPath = positional->at(0);
    if (const std::optional<QString> bench = BenchGivenAsModel(options.modelPath))
        return std::unexpected(*bench);
    if (options.modelPath.endsWith(QLatin1String(".mod")))
        options.modelPath.chop(4);
    return options;
}

std::optional<QString> BenchGivenAsModel(const QString &file)
{
    if (!file.endsWith(QLatin1String(".bench")))
        return std::nullopt;
    return QStringLiteral("«%1» — файл испытательного стенда, а не модели: его сценарии прогоняет modelrun test %1, "
                          "а faults и prove берут его с --bench")
        .arg(file);
}

void TakeBenchFromFiles(QStringList &files, QString &benchFile)
{
    if (!benchFile.isEmpty())
        return;
    const auto bench = std::ranges::find_if(files, [](const QString &file) { return file.endsWith(QLatin1String(".bench")); });
    if (bench == files.end())
        return;
    benchFile = *bench;
    files.erase(bench);
}

QString RunOptions::*RunOptions::exportField(const QString &name)
{
    static const std::pair<QLatin1StringView, QString RunOptions::*> files[] = {
        {QLatin1StringView("vcd"), &RunOptions::vcdFile},         {QLatin1StringView("png"), &RunOptions::pngFile},
        {QLatin1StringView("svg"), &RunOptions::svgFile},         {QLatin1StringView("csv"), &RunOptions::csvFile},
        {QLatin1StringView("wavejson"), &RunOptions::waveJsonFile},
    };
    const auto file = std::ranges::find(files, name, [](const auto &f) { return f.first; });
    if (file == std::end(files))
        qFatal("The export %s has no file among the run options", qPrintable(name));
    return file->second;
}

const OptionList &RunCommandOptions() { return runTable(); }

QString UsageText() { return runTable().helpText(); }
