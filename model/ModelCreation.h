#pragma once

#include "model/ModelState.h"

#include <QString>

class CommonDialog;

// The dialogue that asks for a new model piece by piece and saves it as a
// model file chosen through the shared dialog. Sets ChosenPath and ModelPath
// once the file is written; a failed write offers the dialog again. The next
// run loads the file.
void CreateModel(ModelState &state, CommonDialog &CDL1);

// The number at the start of text, read the way counts are typed: blanks
// are skipped, then an optional sign, digits with "." as the decimal point
// and an optional exponent, up to the first character that cannot continue
// the number. No number reads as 0.
double LeadingNumber(const QString &text);
