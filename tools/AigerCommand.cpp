#include "tools/AigerCommand.h"

#include "check/ModelCheck.h"
#include "model/LoadedModel.h"
#include "proof/DeviceCircuit.h"
#include "sim/RunScenario.h"
#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/OptionTable.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

struct AigerLine
{
    QString timingFile;
    int kpt = 5;
    bool freeInput = false;
    QString outputFile;
    bool help = false;
};

const OptionTable<AigerLine> &aigerTable()
{
    using Kind = OptionDeclaration::Kind;
    static const OptionTable<AigerLine> table(
        {.command = QStringLiteral("aiger"),
         .helpHead = QStringLiteral(
             "Использование: modelrun aiger МОДЕЛЬ.mod -o ФАЙЛ.aig|ФАЙЛ.aag [параметры]\n"
             "Записывает устройство с задержками реле и трансмиттером как последовательную схему\n"
             "AIGER (двоичную .aig или текстовую .aag) для внешней проверки моделей. Такт схемы —\n"
             "шаг моделирования с начала прогона без неисправностей. Входы: code[0], code[1] (код\n"
             "шага 0..3) или p (сам вход). Выходы по порядку: состояния элементов после шага,\n"
             "выходы модели, p. Имена входов, защёлок и выходов — в таблице символов файла.\n"
             "\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 файл записан, 1 файл не прочитан или не записан, схема не построена,\n"
             "2 ошибка в командной строке.\n"),
         .operandSuffix = QStringLiteral("mod")},
        {
            {{.name = QStringLiteral("-o"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("файл схемы: .aig двоичный, .aag текстовый"),
              .kind = Kind::File},
             Keep(&AigerLine::outputFile)},
            {{.name = QStringLiteral("--timing"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("файл времён .tim (по умолчанию МОДЕЛЬ.tim, если он есть,\n"
                                     "иначе все времена 0,01 с)"),
              .kind = Kind::File,
              .suffix = QStringLiteral("tim")},
             Keep(&AigerLine::timingFile)},
            {{.name = QStringLiteral("--kpt"),
              .help = QStringLiteral("трансмиттер КПТШ-5 или КПТШ-7 (по умолчанию 5)"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("5"), QStringLiteral("7")}},
             [](AigerLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 line.kpt = value.text.toInt();
                 return {};
             }},
            {{.name = QStringLiteral("--input"),
              .help = QStringLiteral("вход схемы: код трансмиттера на каждом шаге или сам вход p\n"
                                     "(по умолчанию code)"),
              .kind = Kind::Choice,
              .words = {QStringLiteral("code"), QStringLiteral("free")}},
             [](AigerLine &line, const OptionValue &value) -> std::expected<void, QString> {
                 line.freeInput = value.number == 1;
                 return {};
             }},
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&AigerLine::help)},
        });
    return table;
}

int usageError(std::FILE *err, const QString &message)
{
    WriteUsageError(err, QStringLiteral("aiger"), message);
    return ExitUsageError;
}

int fileError(std::FILE *err, const QString &message)
{
    WriteLine(err, message);
    return ExitFileError;
}

} // namespace

int RunAigerCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    AigerLine line;
    const std::expected<QStringList, QString> models = aigerTable().parse(arguments, line);
    if (!models)
        return usageError(err, models.error());
    if (line.help) {
        WriteText(out, aigerTable().helpText());
        return ExitSuccess;
    }
    if (models->size() != 1)
        return usageError(err, models->isEmpty() ? QStringLiteral("не задан файл модели")
                                                 : QStringLiteral("нужен ровно один файл модели"));
    const bool ascii = line.outputFile.endsWith(QLatin1String(".aag"));
    if (!ascii && !line.outputFile.endsWith(QLatin1String(".aig")))
        return usageError(err, line.outputFile.isEmpty() ? QStringLiteral("не задан файл схемы (-o)")
                                                         : QStringLiteral("файл схемы должен кончаться на .aig или .aag"));

    QString modelPath = models->at(0);
    if (modelPath.endsWith(QLatin1String(".mod")))
        modelPath.chop(4);
    const auto model = LoadSharedModel(modelPath);
    if (!model)
        return fileError(err, model.error());
    const int elements = (*model)->definition.ElemCount;

    const QString timingFile =
        line.timingFile.isEmpty() ? TimingFileBeside(modelPath + QStringLiteral(".mod")) : line.timingFile;
    TimingValues timing = DefaultTiming(elements);
    if (!timingFile.isEmpty()) {
        const auto read = ReadTimingFile(timingFile, elements);
        if (!read)
            return fileError(err, read.error());
        timing = *read;
    }

    const auto circuit = BuildDeviceCircuit((*model)->definition, timing,
                                            line.kpt == 7 ? CodeTiming::Kpt7() : CodeTiming::Kpt5(),
                                            line.freeInput ? CircuitInput::Free : CircuitInput::Code);
    if (!circuit)
        return fileError(err, QStringLiteral("%1.mod: %2").arg(modelPath, circuit.error()));

    const QByteArray data = ascii ? WriteAag(circuit->aig) : WriteBinaryAig(circuit->aig);
    QSaveFile file(line.outputFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return fileError(err, QStringLiteral("Не удалось записать файл «%1»: %2").arg(line.outputFile, file.errorString()));
    const Aig &aig = circuit->aig;
    WriteLine(out, QStringLiteral("%1: входов %2, защёлок %3, вентилей И %4, выходов %5")
                       .arg(line.outputFile)
                       .arg(aig.inputNames().size())
                       .arg(aig.latches().size())
                       .arg(aig.ands().size())
                       .arg(aig.outputs().size()));
    return ExitSuccess;
}
