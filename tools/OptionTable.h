#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <expected>
#include <functional>
#include <type_traits>
#include <utility>

// One option of a subcommand, declared once: the parser, the --help text and
// the shell completion all read it from here.
struct OptionDeclaration
{
    enum class Kind {
        Flag,    // no value
        Value,   // any text; words, when given, are what the completion offers
        File,    // a file name; suffix, when given, is what the completion offers
        Choice,  // one of words
        Integer, // a whole number from min to max
    };

    QString name{};        // "--timing"
    QString placeholder{}; // "ФАЙЛ" in the help; a choice shows its words instead
    QString help{};        // Russian; "\n" starts a line under the first; empty for
                           // an option the head of the help explains
    Kind kind = Kind::Flag;
    QStringList words{};
    QString suffix{};
    qint64 min = 0;
    qint64 max = 0;

    bool takesValue() const { return kind != Kind::Flag; }
    // "--timing ФАЙЛ", "--kpt 5|7", "--changes".
    QString synopsis() const;
};

// What an option was given: its text, and for an integer its number, for a
// choice the index of its word.
struct OptionValue
{
    QString text;
    qint64 number = 0;
};

// The options of one subcommand, with the text around them in its help.
class OptionList
{
public:
    QString command{};       // empty for the run itself
    QString helpHead{};      // the help before the options, with its blank line
    QString helpFoot{};      // the help after them, from its blank line
    int helpColumn = 23;     // where the help texts of the options begin
    QString operandSuffix{}; // the files the completion offers outside options
    // Options of no declaration, and all words after "--", are left among the
    // operands for another parser rather than refused.
    bool passesOtherOptions = false;
    QList<OptionDeclaration> declarations{};

    QString helpText() const;

    // Reads words: options by the declarations, "--name=value" or "--name value",
    // "-h" for "--help", "--" ending the options; take receives each option
    // in turn with the index of its declaration. The words that are no option, or a
    // Russian message saying what is wrong.
    std::expected<QStringList, QString>
    read(const QStringList &words,
         const std::function<std::expected<void, QString>(qsizetype declaration, const OptionValue &)> &take) const;
};

// An option list whose options each know what to do with their value in a
// Target: the parsed command line of its subcommand.
template <typename Target>
class OptionTable : public OptionList
{
public:
    using Setter = std::function<std::expected<void, QString>(Target &, const OptionValue &)>;

    OptionTable(OptionList layout, const QList<std::pair<OptionDeclaration, Setter>> &rows) : OptionList(std::move(layout))
    {
        for (const auto &[declaration, setter] : rows) {
            declarations.append(declaration);
            m_setters.append(setter);
        }
    }

    // Fills target from words; the operands, or the message of the first
    // thing wrong.
    std::expected<QStringList, QString> parse(const QStringList &words, Target &target) const
    {
        return read(words, [&](qsizetype declaration, const OptionValue &value) { return m_setters[declaration](target, value); });
    }

private:
    QList<Setter> m_setters;
};

// The setter that keeps an option in a field of the parsed command line: a
// flag turns a bool on, a text or file is kept (appended to a list), an
// integer or choice keeps its number.
template <typename Owner, typename Field>
auto Keep(Field Owner::*field)
{
    return [field](Owner &owner, const OptionValue &value) -> std::expected<void, QString> {
        if constexpr (std::is_same_v<Field, bool>)
            owner.*field = true;
        else if constexpr (std::is_same_v<Field, QString>)
            owner.*field = value.text;
        else if constexpr (std::is_same_v<Field, QStringList>)
            (owner.*field).append(value.text);
        else
            owner.*field = Field(value.number);
        return {};
    };
}

// text as a whole number from min to max; the message names option.
std::expected<qint64, QString> ParseIntegerOption(const QString &option, const QString &text, qint64 min, qint64 max);

// The bash completion of modelrun: the subcommands by name with their options.
QString BashCompletion(const QList<std::pair<QString, const OptionList *>> &commands, const OptionList &run);
