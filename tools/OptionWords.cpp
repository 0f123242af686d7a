#include "tools/OptionWords.h"

OptionWord SplitOptionWord(const QString &word)
{
    if (const qsizetype eq = word.indexOf(QLatin1Char('=')); word.startsWith(QLatin1String("--")) && eq > 0)
        return {word.left(eq), word.mid(eq + 1)};
    return {word, std::nullopt};
}

std::expected<QString, QString> TakeOptionValue(const OptionWord &option, const QStringList &words, qsizetype &a)
{
    if (option.value)
        return *option.value;
    if (a + 1 < words.size())
        return words[++a];
    return std::unexpected(QStringLiteral("%1: не хватает значения").arg(option.name));
}
