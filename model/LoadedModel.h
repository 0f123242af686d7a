#pragma once

#include "model/CompiledFunctions.h"
#include "model/ModelState.h"
#include "platform/FileResult.h"

#include <QString>

#include <memory>

// A model file read and translated once, then only read: every run of the
// model, on any thread, shares one.
struct LoadedModel
{
    QString path; // without ".mod"
    ModelDefinition definition;
    std::shared_ptr<const FunctionProgram> functions;
};

using SharedModel = std::shared_ptr<const LoadedModel>;

// Reads and translates modelPath + ".mod"; the message of ReadModelFile when
// it cannot be read.
FileResult<SharedModel> LoadSharedModel(const QString &modelPath);
