#include "tools/OptionWords.h"

OptionWord SplitOptionWord(const QString &word)
{
    if (const qsizetype eq = word.indexOf(QLatin1Char('=')); word.startsWith(QLatin1String("--")) && eq > 0)
        return {word.left(eq), word.mid(eq + 1)};
    return {word, std::nullopt};
}

std::optional<QString> TakeOptionValue(const OptionWord &option, const QStringList &words, qsizetype &a,
                                       QString *error)
{
    if (option.value)
        return option.value;
    if (a + 1 < words.size())
        return words[++a];
    *error = QStringLiteral("%1: не хватает значения").arg(option.name);
    return std::nullopt;
}
