#include "LoadedModel.h"

#include "ModelFile.h"

std::expected<SharedModel, QString> LoadSharedModel(const QString &modelPath)
{
    std::expected<ModelDefinition, QString> definition = ReadModelFile(modelPath);
    if (!definition)
        return std::unexpected(definition.error());
    auto model = std::make_shared<LoadedModel>();
    model->path = modelPath;
    model->definition = std::move(*definition);
    model->functions = std::make_shared<const FunctionProgram>(model->definition);
    return model;
}
