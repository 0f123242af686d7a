#include "tools/TestCommand.h"

#include "check/BenchRun.h"
#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/JUnitWriter.h"

#include <algorithm>

namespace {

// The status when an expectation is not met.
constexpr int ExpectationFailed = 1;

QString usageText()
{
    return QStringLiteral(
        "Использование: modelrun test СТЕНД... [параметры]\n"
        "Прогоняет сценарии испытательных стендов (текстовых файлов, см. справку «Испытательные стенды»)\n"
        "и проверяет ожидания; выводит по строке на ожидание: «пройдено» или «НЕ ПРОЙДЕНО» с шагом\n"
        "и увиденным значением.\n"
        "\n"
        "  --junit ФАЙЛ         записать результаты в формате JUnit XML\n"
        "  --help               эта справка\n"
        "\n"
        "Коды выхода: 0 все ожидания выполнены, 1 хотя бы одно не выполнено или файл --junit\n"
        "не записан, 2 стенд или модель не читается, ошибка в командной строке.\n");
}

int usageError(std::FILE *err, const QString &message)
{
    WriteUsageError(err, QStringLiteral("test"), message);
    return ExitUsageError;
}

QString resultLine(const BenchResult &bench, const ExpectationResult &r)
{
    const QString where = QStringLiteral("%1:%2 [%3] %4").arg(bench.file).arg(r.expectation.place.line).arg(r.scenario, r.expectation.text);
    return r.passed ? QStringLiteral("пройдено     %1").arg(where)
                    : QStringLiteral("НЕ ПРОЙДЕНО  %1 — %2").arg(where, r.detail);
}

} // namespace

int RunTestCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    QString junitFile;
    QStringList benches;
    for (qsizetype a = 0; a < arguments.size(); ++a) {
        const QString &argument = arguments[a];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(usageText().toUtf8().constData(), out);
            return ExitSuccess;
        } else if (argument == QLatin1String("--junit")) {
            if (a + 1 >= arguments.size())
                return usageError(err, QStringLiteral("--junit: не хватает значения"));
            junitFile = arguments[++a];
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            return usageError(err, QStringLiteral("неизвестный параметр «%1»").arg(argument));
        } else {
            benches.append(argument);
        }
    }
    if (benches.isEmpty())
        return usageError(err, QStringLiteral("не задан файл стенда"));

    QList<BenchResult> results;
    int passed = 0, failed = 0, unusable = 0;
    for (const QString &bench : std::as_const(benches)) {
        const BenchResult &result = results.emplace_back(RunBenchFile(bench));
        for (const QString &warning : result.warnings)
            WriteLine(err, warning);
        for (const ExpectationResult &r : result.results)
            WriteLine(out, resultLine(result, r));
        if (result.error) {
            WriteLine(err, *result.error);
            ++unusable;
        }
        failed += result.failures();
        passed += int(result.results.size()) - result.failures();
    }
    WriteLine(out, QStringLiteral("Ожиданий: %1, пройдено: %2, не пройдено: %3, стендов с ошибками: %4")
                       .arg(passed + failed).arg(passed).arg(failed).arg(unusable));

    // An unusable bench outweighs the rest; a report not written is a file
    // error, as every output file of modelrun.
    int status = unusable > 0 ? ExitUsageError : failed > 0 ? ExpectationFailed : ExitSuccess;
    if (!junitFile.isEmpty()) {
        if (const FileResult<> written = WriteJUnit(junitFile, results); !written) {
            WriteLine(err, written.error());
            status = std::max(status, int(ExitFileError));
        }
    }
    return status;
}
