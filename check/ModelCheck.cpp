#include "check/ModelCheck.h"

#include "check/FunctionCheck.h"
#include "check/ModelLayout.h"
#include "check/SettleCheck.h"
#include "check/TextFile.h"
#include "check/TimingCheck.h"
#include "model/LoadedModel.h"
#include "model/ModelFile.h"

#include <QFileInfo>

#include <algorithm>

namespace {

constexpr double DefaultDelay = 0.01;

QString withoutModSuffix(const QString &modelFile)
{
    return modelFile.endsWith(QLatin1String(".mod")) ? modelFile.chopped(4) : modelFile;
}

} // namespace

std::vector<Finding> CheckModelText(const QString &modelFile, const QString &text, const QString &timingFile)
{
    std::vector<Finding> findings;
    std::expected<ModelDefinition, ModelTextError> definition = ReadModelText(modelFile, text);
    if (!definition) {
        findings.push_back(Finding{QStringLiteral("model-file"), Severity::Error, modelFile,
                                   int(definition.error().line), 0, definition.error().message, QString()});
        return findings;
    }
    const ModelLayout layout = LayOutModel(*definition, ModelFileLines(text));
    CheckFunctions(*definition, layout, modelFile, findings);
    std::ranges::stable_sort(findings, {}, [](const Finding &f) { return std::pair(f.line, f.column); });

    std::optional<double> longestDelay = DefaultDelay;
    if (!timingFile.isEmpty()) {
        const std::expected<QString, QString> timing = ReadUserTextFile(timingFile);
        if (timing) {
            const auto timingFrom = std::ssize(findings);
            longestDelay = CheckTiming(timingFile, *timing, definition->ElemCount, findings);
            std::ranges::stable_sort(findings.begin() + timingFrom, findings.end(), {},
                                     [](const Finding &f) { return std::pair(f.line, f.column); });
        } else {
            findings.push_back(Finding{QStringLiteral("timing-file"), Severity::Error, timingFile, 0, 0,
                                       timing.error(), QString()});
            longestDelay.reset();
        }
    }
    if (longestDelay) {
        auto model = std::make_shared<LoadedModel>();
        model->path = withoutModSuffix(modelFile);
        model->definition = std::move(*definition);
        model->functions = std::make_shared<const FunctionProgram>(model->definition);
        CheckSettling(model, timingFile, *longestDelay, layout, modelFile, findings);
    }
    return findings;
}

std::vector<Finding> CheckModelFile(const QString &modelFile, const QString &timingFile)
{
    const std::expected<QString, QString> text = ReadUserTextFile(modelFile);
    if (!text)
        return {Finding{QStringLiteral("model-file"), Severity::Error, modelFile, 0, 0, text.error(), QString()}};
    return CheckModelText(modelFile, *text, timingFile);
}

QString TimingFileBeside(const QString &modelFile)
{
    const QString timing = withoutModSuffix(modelFile) + QStringLiteral(".tim");
    return QFileInfo(timing).isFile() ? timing : QString();
}

bool HasErrors(const std::vector<Finding> &findings)
{
    return std::ranges::any_of(findings, [](const Finding &f) { return f.severity == Severity::Error; });
}
