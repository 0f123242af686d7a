#include "tools/TestCommand.h"

#include "check/BenchRun.h"
#include "tools/BatchRun.h"
#include "tools/ConsoleText.h"
#include "tools/JUnitWriter.h"
#include "tools/OptionTable.h"

#include <algorithm>

namespace {

// The status when an expectation is not met.
constexpr int ExpectationFailed = 1;

// The command line as the table fills it.
struct TestLine
{
    QString junitFile;
    bool help = false;
};

const OptionTable<TestLine> &testTable()
{
    using Kind = OptionDeclaration::Kind;
    static const OptionTable<TestLine> table(
        {.command = QStringLiteral("test"),
         .helpHead = QStringLiteral(
             "Использование: modelrun test СТЕНД... [параметры]\n"
             "Прогоняет сценарии испытательных стендов (текстовых файлов, см. справку «Испытательные стенды»)\n"
             "и проверяет ожидания; выводит по строке на ожидание: «пройдено» или «НЕ ПРОЙДЕНО» с шагом\n"
             "и увиденным значением.\n"
             "\n"),
         .helpFoot = QStringLiteral(
             "\n"
             "Коды выхода: 0 все ожидания выполнены, 1 хотя бы одно не выполнено или файл --junit\n"
             "не записан, 2 стенд или модель не читается, ошибка в командной строке.\n"),
         .operandSuffix = QStringLiteral("bench")},
        {
            {{.name = QStringLiteral("--junit"),
              .placeholder = QStringLiteral("ФАЙЛ"),
              .help = QStringLiteral("записать результаты в формате JUnit XML"),
              .kind = Kind::File},
             Keep(&TestLine::junitFile)},
            {{.name = QStringLiteral("--help"), .help = QStringLiteral("эта справка")}, Keep(&TestLine::help)},
        });
    return table;
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

const OptionList &TestCommandOptions() { return testTable(); }

int RunTestCommand(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    TestLine line;
    const std::expected<QStringList, QString> benches = testTable().parse(arguments, line);
    if (!benches)
        return usageError(err, benches.error());
    if (line.help) {
        WriteText(out, testTable().helpText());
        return ExitSuccess;
    }
    if (benches->isEmpty())
        return usageError(err, QStringLiteral("не задан файл стенда"));

    QList<BenchResult> results;
    int passed = 0, failed = 0, unusable = 0;
    for (const QString &bench : *benches) {
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
    if (!line.junitFile.isEmpty()) {
        if (const FileResult<> written = WriteJUnit(line.junitFile, results); !written) {
            WriteLine(err, written.error());
            status = std::max(status, int(ExitFileError));
        }
    }
    return status;
}
