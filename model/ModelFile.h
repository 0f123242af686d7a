#pragma once

#include "model/ModelState.h"
#include "platform/FileResult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <expected>

// Why a model text could not be read: the message ReadModelFile gives, and
// the line (from 1) it names.
struct ModelTextError
{
    QString message;
    qsizetype line = 0;
};

// Reads the decoded text of the model file fileName, as ReadModelFile does.
std::expected<ModelDefinition, ModelTextError> ReadModelText(const QString &fileName, const QString &text);

// The lines of a decoded model text as the reader sees them: CR LF and LF
// alike end a line, and a final line end does not open another line.
QStringList ModelFileLines(const QString &text);

// Reads modelPath + ".mod": the definition, or a Russian message that names
// the file and the line, for the same faults as LoadModel below.
FileResult<ModelDefinition> ReadModelFile(const QString &modelPath);

// Reads modelPath + ".mod" into definition. Fails when the file cannot be
// opened, ends early, has a count line that is not a number or exceeds the
// capacities, with a Russian message that names the file and the line;
// definition is then left exactly as it was. On
// success the whole definition is replaced: slots beyond the new counts and
// terms a line never assigns are empty. A function line without "=" is a
// name with one empty term. UTF-8 files and LF line ends are read as well.
FileResult<> LoadModel(ModelDefinition &definition, const QString &modelPath);

// A model as the creation dialogue collects it: names and functions exactly
// as typed.
struct ModelText
{
    struct Line
    {
        QString name;
        QString function;
    };
    QString name;
    QList<Line> elements;
    QList<Line> outputs;
};

// Writes fileName as a whole, in Windows-1251 with CR LF line ends and count
// lines " N ". A failed write leaves an existing file untouched and fails
// with a message naming the file.
FileResult<> WriteModelFile(const QString &fileName, const ModelText &model);
