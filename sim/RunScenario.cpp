#include "sim/RunScenario.h"

#include "vesk/CodeTimingFile.h"

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

TimingValues DefaultTiming(int elemCount)
{
    TimingValues values;
    for (int i = 1; i <= elemCount; ++i)
        values.Tpr[size_t(i)] = values.Totp[size_t(i)] = 0.01f;
    values.RunLength = 100;
    return values;
}

qint64 RunLengthOf(const RunScenario &scenario)
{
    return scenario.steps.value_or(scenario.timing ? scenario.timing->RunLength : DefaultTiming(0).RunLength);
}
