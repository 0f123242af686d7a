#pragma once

#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

// A word of a subcommand's command line, read the way every subcommand
// reads it: "--name=value" comes apart into its name and value; any other
// word is its own name with no value.
struct OptionWord
{
    QString name;
    std::optional<QString> value;
};

OptionWord SplitOptionWord(const QString &word);

// The value of option: what followed "=", else the next word (a moves past
// it); a Russian message naming the option when the words end first.
std::expected<QString, QString> TakeOptionValue(const OptionWord &option, const QStringList &words, qsizetype &a);
