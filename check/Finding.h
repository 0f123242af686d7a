#pragma once

#include <QString>

// How much a finding of the model check matters: an error makes the device
// compute something other than it says, a warning is most likely a slip, a
// note is worth a look.
enum class Severity { Error, Warning, Note };

// One suspicious spot of a model: where it is and what it is.
struct Finding
{
    QString kind; // a stable English identifier, e.g. "unknown-name"
    Severity severity = Severity::Error;
    QString file;
    int line = 0;   // from 1; 0 for the file as a whole
    int column = 0; // from 1; 0 for the line as a whole
    QString message; // Russian
    QString operand; // the operand text concerned, or empty
};

// "error", "warning", "note": for machine-read output.
QString SeverityId(Severity severity);
// "ошибка", "предупреждение", "примечание": for people.
QString SeverityWord(Severity severity);
