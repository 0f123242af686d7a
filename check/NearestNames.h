#pragma once

#include <QString>
#include <QStringList>

// The names of `names` nearest to `name` by edit distance (each insertion,
// deletion or substitution of a character counts 1), as compilers offer for
// a misspelt identifier: those at the smallest distance, when that is at
// most a third of the name's length (and at least 1), each once, in their
// given order, at most three. Empty when none is that near.
QStringList NearestNames(const QString &name, const QStringList &names);
