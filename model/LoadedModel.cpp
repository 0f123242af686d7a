#include "model/LoadedModel.h"

#include "model/ModelFile.h"

FileResult<SharedModel> LoadSharedModel(const QString &modelPath)
{
    FileResult<ModelDefinition> definition = ReadModelFile(modelPath);
    if (!definition)
        return std::unexpected(definition.error());
    auto model = std::make_shared<LoadedModel>();
    model->path = modelPath;
    model->definition = std::move(*definition);
    model->functions = std::make_shared<const FunctionProgram>(model->definition);
    return model;
}
