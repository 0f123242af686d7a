#pragma once

#include "model/ModelState.h"

#include <QList>
#include <QString>
#include <QStringList>

// Where the parts of a model text stand, so that findings can point at a
// line and column. The reader of the model file cuts a function line the
// same way: the name up to "=", then terms separated by "+"; a second "="
// starts the current term afresh.
struct FunctionLayout
{
    int line = 0;        // from 1
    int nameColumn = 1;  // of the name's first non-blank character
    QList<int> termColumn; // [t] the column where term t (from 0) starts
};

struct ModelLayout
{
    QList<FunctionLayout> elements; // element i at i - 1
    QList<FunctionLayout> outputs;  // output j at j - 1
};


// The layout of the function lines of definition, read from lines.
ModelLayout LayOutModel(const ModelDefinition &definition, const QStringList &lines);
