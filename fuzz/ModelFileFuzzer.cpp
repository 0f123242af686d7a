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
    RunState state;
    state.ModelName = QStringLiteral("до");
    if (const FileResult<> loaded = LoadModel(state, path.chopped(4)); !loaded) { // LoadModel adds ".mod"
        if (loaded.error().isEmpty() || state.ModelName != QStringLiteral("до") || state.ElemCount != 0)
            std::abort();
        return 0;
    }
    if (state.ElemCount < 0 || state.ElemCount > MaxElements || state.OutCount < 0 || state.OutCount > MaxOutputs)
        std::abort();
    for (int i = 1; i <= state.ElemCount; ++i) {
        if (state.ElemTermCount[i] < 0 || state.ElemTermCount[i] > MaxElemTerms)
            std::abort();
    }
    for (int j = 1; j <= state.OutCount; ++j) {
        if (state.OutTermCount[j] < 0 || state.OutTermCount[j] > MaxOutTerms)
            std::abort();
    }
    CompiledFunctions functions;
    functions.compile(state);
    functions.EvalElements(state);
    functions.EvalOutputs(state);
    return 0;
}
