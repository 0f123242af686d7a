// The compiled functions against the literal walk over the term texts. The
// input is four bytes of signals and a model file: the input value, then the
// previous and the current state of every element. Each model is evaluated
// for those signals, again for the same signals (the compiled side then
// reuses its last results) and for the signals inverted; any disagreement
// aborts.

#include "fuzz/FuzzFile.h"
#include "model/CompiledFunctions.h"
#include "model/ModelFile.h"
#include "tests/model/LiteralFunctions.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr size_t SignalBytes = 4;

void setSignals(RunSignals &now, uint32_t bits)
{
    now.InputVal[1] = int16_t(bits & 1);
    for (int k = 1; k <= MaxElements; ++k)
        now.ElemState[k] = {int16_t((bits >> k) & 1), int16_t((bits >> (k + 11)) & 1)};
}

void compareOnce(const CompiledFunctions &compiled, const ModelDefinition &definition, RunSignals &now)
{
    const RunSignals literal = Literal::EvaluateBothWays(compiled, definition, now);
    for (int i = 1; i <= definition.ElemCount; ++i) {
        if (now.Excit[i][1] != literal.Excit[i][1])
            std::abort();
    }
    for (int j = 1; j <= definition.OutCount; ++j) {
        if (now.OutState[j][1] != literal.OutState[j][1])
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < SignalBytes)
        return 0;
    uint32_t bits = 0;
    std::memcpy(&bits, data, SignalBytes);
    const QString path = WriteFuzzFile(QStringLiteral("d.mod"), data + SignalBytes, size - SignalBytes);
    auto definition = std::make_unique<ModelDefinition>();
    if (!LoadModel(*definition, path.chopped(4)))
        return 0;
    CompiledFunctions compiled;
    compiled.compile(*definition);
    RunSignals now;
    for (uint32_t values : {bits, bits, ~bits}) {
        setSignals(now, values);
        compareOnce(compiled, *definition, now);
    }
    return 0;
}
