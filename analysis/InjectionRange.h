#pragma once

#include <QString>

#include <expected>

// The steps at which a fault is tried, first..last, both from 1.
struct InjectionRange
{
    qint64 first = 1;
    qint64 last = 1;
};

// Reads an injection moment as written on the command line: a step ("37"),
// a range of steps ("1..200"), or seconds of 0.01 s steps with «с» or "s"
// ("0.5с..2с", "0.37с"). The message names the option and what was written.
std::expected<InjectionRange, QString> ParseInjectionRange(const QString &text);

// A length of time as written on the command line: a number of steps ("200")
// or seconds with «с» or "s" ("2с"), 0 allowed. The message names option.
std::expected<qint64, QString> ParseDuration(const QString &option, const QString &text);
