#include "tests/support/RandomDevice.h"

#include <gtest/gtest.h>

#include <algorithm>

QString randomFunction(std::mt19937 &random, const QStringList &names)
{
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    QStringList terms;
    for (int t = pick(1, 3); t > 0; --t) {
        QStringList operands;
        for (int o = pick(1, 3); o > 0; --o) {
            const int n = pick(0, int(names.size()));
            operands << (pick(0, 2) == 0 ? QStringLiteral("-") : QString())
                            + (n == names.size() ? QStringLiteral("p") : names[n]);
        }
        terms << operands.join(QLatin1Char('*'));
    }
    return terms.join(QLatin1Char('+'));
}

ModelText randomModel(std::mt19937 &random, int maxRelays)
{
    const QStringList names = QStringList{QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("АБ"),
                                          QStringLiteral("В"), QStringLiteral("Г"), QStringLiteral("Д")}
                                  .first(std::clamp(maxRelays, 2, 6));
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto function = [&] { return randomFunction(random, names); };
    ModelText model;
    model.name = QStringLiteral("случайная");
    for (int i = 0, count = pick(2, int(names.size())); i < count; ++i)
        model.elements.append({names[i], function()});
    for (int j = 0, count = pick(1, 3); j < count; ++j)
        model.outputs.append({QStringLiteral("ВЫХ%1").arg(j + 1), function()});
    return model;
}

void loadRandomModel(const QTemporaryDir &dir, std::mt19937 &random, int m, SharedModel &model, int &elements)
{
    const QString path = dir.filePath(QStringLiteral("m%1").arg(m));
    const ModelText text = randomModel(random);
    ASSERT_TRUE(WriteModelFile(path + QStringLiteral(".mod"), text));
    auto loaded = LoadSharedModel(path);
    ASSERT_TRUE(loaded.has_value());
    model = std::move(*loaded);
    elements = int(text.elements.size());
}


TimingValues randomTiming(std::mt19937 &random, int elements, int runLength)
{
    const float odd[] = {0.0f, 0.005f, 0.055f, 0.105f};
    const auto delay = [&] {
        if (std::uniform_int_distribution<int>(0, 3)(random) == 0)
            return odd[std::uniform_int_distribution<int>(0, 3)(random)];
        return float(std::uniform_int_distribution<int>(1, 60)(random)) / 100.0f;
    };
    TimingValues timing;
    for (int i = 1; i <= elements; ++i) {
        timing.Tpr[std::size_t(i)] = delay();
        timing.Totp[std::size_t(i)] = delay();
    }
    timing.RunLength = runLength;
    return timing;
}
