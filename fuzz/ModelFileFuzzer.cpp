// The model file reader on any bytes: a model it accepts stays within the
// capacities and its functions compile and evaluate; a model it refuses comes
// with a message and leaves the loaded model as it was.

#include "fuzz/FuzzFile.h"
#include "model/CompiledFunctions.h"
#include "model/ModelFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = WriteFuzzFile(QStringLiteral("m.mod"), data, size);
    ModelDefinition definition;
    definition.ModelName = QStringLiteral("до");
    if (const FileResult<> loaded = LoadModel(definition, path.chopped(4)); !loaded) { // LoadModel adds ".mod"
        if (loaded.error().isEmpty() || definition.ModelName != QStringLiteral("до") || definition.ElemCount != 0)
            std::abort();
        return 0;
    }
    if (definition.ElemCount < 0 || definition.ElemCount > MaxElements || definition.OutCount < 0 || definition.OutCount > MaxOutputs)
        std::abort();
    for (int i = 1; i <= definition.ElemCount; ++i) {
        if (definition.ElemTermCount[i] < 0 || definition.ElemTermCount[i] > MaxElemTerms)
            std::abort();
    }
    for (int j = 1; j <= definition.OutCount; ++j) {
        if (definition.OutTermCount[j] < 0 || definition.OutTermCount[j] > MaxOutTerms)
            std::abort();
    }
    CompiledFunctions functions;
    functions.compile(definition);
    RunSignals now;
    functions.EvalElements(now);
    functions.EvalOutputs(now);
    return 0;
}
