#include "tools/OptionTable.h"

#include "tools/OptionWords.h"

#include <algorithm>

namespace {

// "a или b", "a, b или c".
QString alternatives(const QStringList &words)
{
    if (words.size() < 2)
        return words.value(0);
    return words.first(words.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" или ") + words.last();
}

std::expected<OptionValue, QString> checkedValue(const OptionDeclaration &declaration, const QString &text)
{
    switch (declaration.kind) {
    case OptionDeclaration::Kind::Integer: {
        const std::expected<qint64, QString> number = ParseIntegerOption(declaration.name, text, declaration.min, declaration.max);
        if (!number)
            return std::unexpected(number.error());
        return OptionValue{text, *number};
    }
    case OptionDeclaration::Kind::Choice:
        if (const qsizetype index = declaration.words.indexOf(text); index >= 0)
            return OptionValue{text, index};
        return std::unexpected(QStringLiteral("%1: «%2» — нужно %3").arg(declaration.name, text, alternatives(declaration.words)));
    default:
        return OptionValue{text, 0};
    }
}

// The words of a bash list in single quotes; the tables hold no quote.
QString quotedWords(const QStringList &words) { return QLatin1Char('\'') + words.join(QLatin1Char(' ')) + QLatin1Char('\''); }

// What bash offers after an option of the list: its words, the files of its
// suffix, or nothing at all (not even file names) for a value to be typed.
QString valueCompletion(const OptionDeclaration &declaration)
{
    if (declaration.kind == OptionDeclaration::Kind::File)
        return declaration.suffix.isEmpty() ? QStringLiteral("_filedir") : QStringLiteral("_filedir ") + declaration.suffix;
    if (declaration.words.isEmpty())
        return {};
    QString line = QStringLiteral("COMPREPLY=($(compgen -W %1 -- \"$cur\"))").arg(quotedWords(declaration.words));
    // A word that ends in "=" or ":" is the start of a value, which goes on.
    if (std::ranges::any_of(declaration.words, [](const QString &w) { return w.endsWith(QLatin1Char('=')) || w.endsWith(QLatin1Char(':')); }))
        line += QStringLiteral("\n            compopt -o nospace");
    return line;
}

QString functionName(const QString &command)
{
    return QStringLiteral("_modelrun_") + (command.isEmpty() ? QStringLiteral("run") : command);
}

QString completionFunction(const OptionList &list)
{
    QString text = functionName(list.command) + QStringLiteral("()\n{\n    case $prev in\n");
    QStringList names;
    for (const OptionDeclaration &declaration : list.declarations) {
        names.append(declaration.name);
        if (!declaration.takesValue())
            continue;
        const QString completion = valueCompletion(declaration);
        text += QStringLiteral("        %1)\n").arg(declaration.name);
        if (!completion.isEmpty())
            text += QStringLiteral("            %1\n").arg(completion);
        text += QStringLiteral("            return\n            ;;\n");
    }
    text += QStringLiteral("    esac\n    [[ $was_split ]] && return\n\n");
    text += QStringLiteral("    if [[ $cur == -* ]]; then\n        COMPREPLY=($(compgen -W %1 -- \"$cur\"))\n        return\n    fi\n")
                .arg(quotedWords(names));
    text += QStringLiteral("    _filedir %1\n}\n\n").arg(list.operandSuffix);
    return text;
}

} // namespace

std::expected<qint64, QString> ParseIntegerOption(const QString &option, const QString &text, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < min || value > max)
        return std::unexpected(QStringLiteral("%1: «%2» — нужно целое число от %3 до %4").arg(option, text).arg(min).arg(max));
    return value;
}

QString OptionDeclaration::synopsis() const
{
    if (kind == Kind::Flag)
        return name;
    return name + QLatin1Char(' ') + (kind == Kind::Choice ? words.join(QLatin1Char('|')) : placeholder);
}

QString OptionList::helpText() const
{
    QString text = helpHead;
    const QString indent(helpColumn, QLatin1Char(' '));
    for (const OptionDeclaration &declaration : declarations) {
        if (declaration.help.isEmpty())
            continue;
        const QString line = QStringLiteral("  ") + declaration.synopsis();
        text += line.size() + 2 > helpColumn ? line + QStringLiteral("  ") : line.leftJustified(helpColumn);
        text += declaration.help.split(QLatin1Char('\n')).join(QLatin1Char('\n') + indent) + QLatin1Char('\n');
    }
    return text + helpFoot;
}

std::expected<QStringList, QString>
OptionList::read(const QStringList &words,
                 const std::function<std::expected<void, QString>(qsizetype declaration, const OptionValue &)> &take) const
{
    QStringList operands;
    bool optionsEnded = false;
    for (qsizetype a = 0; a < words.size(); ++a) {
        const QString &word = words[a];
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            operands.append(word);
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
            if (passesOtherOptions)
                operands.append(word);
            continue;
        }
        OptionWord option = SplitOptionWord(word);
        if (option.name == QLatin1String("-h"))
            option.name = QStringLiteral("--help");
        const auto declaration = std::ranges::find(declarations, option.name, &OptionDeclaration::name);
        if (declaration == declarations.end() && passesOtherOptions) {
            operands.append(word);
            continue;
        }
        if (declaration == declarations.end())
            return std::unexpected(QStringLiteral("неизвестный параметр «%1»").arg(word));
        OptionValue value;
        if (!declaration->takesValue()) {
            if (option.value)
                return std::unexpected(QStringLiteral("%1 не принимает значения").arg(option.name));
        } else {
            const std::expected<QString, QString> text = TakeOptionValue(option, words, a);
            if (!text)
                return std::unexpected(text.error());
            std::expected<OptionValue, QString> checked = checkedValue(*declaration, *text);
            if (!checked)
                return std::unexpected(checked.error());
            value = std::move(*checked);
        }
        if (const std::expected<void, QString> taken = take(declaration - declarations.begin(), value); !taken)
            return std::unexpected(taken.error());
    }
    return operands;
}

QString BashCompletion(const QList<std::pair<QString, const OptionList *>> &commands, const OptionList &run)
{
    QString text = QStringLiteral("# bash completion for modelrun, written by \"modelrun --completion bash\" from the\n"
                                  "# option tables of the program\n\n");
    QStringList names;
    QString dispatch;
    for (const auto &[name, list] : commands) {
        names.append(name);
        dispatch += QStringLiteral("        %1) %2 ;;\n").arg(name, functionName(name));
        text += completionFunction(*list);
    }
    text += completionFunction(run);
    text += QStringLiteral("_modelrun()\n{\n    local cur prev words cword\n    _init_completion -s || return\n\n");
    text += QStringLiteral("    if ((cword == 1)) && [[ $cur != -* ]]; then\n"
                           "        COMPREPLY=($(compgen -W %1 -- \"$cur\"))\n    fi\n")
                .arg(quotedWords(names));
    text += QStringLiteral("    case ${words[1]} in\n") + dispatch
            + QStringLiteral("        *) %1 ;;\n    esac\n} &&\n    complete -F _modelrun modelrun\n").arg(functionName(QString()));
    return text;
}
