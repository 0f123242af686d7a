#include "RunScenario.h"

#include "CodeTimingFile.h"

std::expected<RunScenario, QString> ReadScenarioFiles(RunScenario scenario, int elemCount)
{
    if (!scenario.timing && !scenario.timingFile.isEmpty()) {
        const FileResult<TimingValues> values = ReadTimingFile(scenario.timingFile, elemCount);
        if (!values)
            return std::unexpected(values.error());
        scenario.timing = *values;
    }
    if (!scenario.codeTiming && !scenario.whdFile.isEmpty()) {
        const FileResult<CodeTiming> timing = CodeTimingFile::read(scenario.whdFile);
        if (!timing)
            return std::unexpected(timing.error());
        if (timing->productIsZero())
            return std::unexpected(QStringLiteral("Файл «%1»: нулевые временные характеристики кода "
                                                  "(произведение двенадцати времён равно 0)")
                                       .arg(scenario.whdFile));
        scenario.codeTiming = *timing;
    }
    return scenario;
}
