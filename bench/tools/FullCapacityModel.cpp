#include "bench/tools/FullCapacityModel.h"

#include "model/LoadedModel.h"
#include "model/ModelFile.h"
#include "model/ModelState.h"
#include "sim/RunSession.h"

#include <QFile>

#include <cstdlib>
#include <random>

namespace {

QString elementName(int i) { return QStringLiteral("Р%1").arg(i); }

QString randomFunction(std::mt19937 &random, int terms)
{
    QStringList products;
    for (int t = 0; t < terms; ++t) {
        QStringList operands;
        const int count = 2 + int(random() % 3);
        for (int k = 0; k < count; ++k) {
            const int pick = int(random() % (MaxElements + 1)); // 0: the input
            const QString name = pick == 0 ? QStringLiteral("p") : elementName(pick);
            operands.append(random() % 2 ? QStringLiteral("-") + name : name);
        }
        products.append(operands.join(QLatin1Char('*')));
    }
    return products.join(QLatin1Char('+'));
}

} // namespace

bool WriteFullCapacityModel(const QString &basePath)
{
    std::mt19937 random(20261207);
    ModelText model;
    model.name = QStringLiteral("Полная емкость");
    for (int i = 1; i <= MaxElements; ++i)
        model.elements.append({elementName(i), randomFunction(random, MaxElemTerms)});
    for (int j = 1; j <= MaxOutputs; ++j)
        model.outputs.append({QStringLiteral("В%1").arg(j), randomFunction(random, MaxOutTerms)});
    if (!WriteModelFile(basePath + QStringLiteral(".mod"), model))
        return false;

    QByteArray timing;
    for (int i = 1; i <= MaxElements; ++i)
        timing += "0.0" + QByteArray::number(1 + i % 5) + "\r\n"; // pickup 0.01 .. 0.05 s
    for (int i = 1; i <= MaxElements; ++i)
        timing += "0.0" + QByteArray::number(1 + i % 3) + "\r\n"; // release 0.01 .. 0.03 s
    timing += "1000000\r\n";
    QFile file(basePath + QStringLiteral(".tim"));
    return file.open(QIODevice::WriteOnly) && file.write(timing) == timing.size();
}

const QTemporaryDir &FullCapacityFolder()
{
    static QTemporaryDir dir;
    static const bool written = WriteFullCapacityModel(dir.filePath(QStringLiteral("full")));
    if (!written)
        std::abort();
    return dir;
}

bool RunFullCapacity(qint64 steps, const std::function<void(qint64 step, const RunState &state)> &watch)
{
    const QString base = FullCapacityFolder().filePath(QStringLiteral("full"));
    const FileResult<SharedModel> model = LoadSharedModel(base);
    if (!model)
        return false;
    RunSession session(*model);
    RunScenario scenario;
    scenario.timingFile = base + QStringLiteral(".tim");
    scenario.code = 2;
    scenario.steps = steps;
    if (!session.setUp(scenario, false))
        return false;
    session.start();
    watch(0, session.state());
    for (qint64 step = 1; session.step(); ++step)
        watch(step, session.state());
    return true;
}
