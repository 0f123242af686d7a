#pragma once

#include "model/ModelState.h"

#include <QString>

class CommonDialog;

// Lets the user pick an existing file of one kind ("mod", "tim", "out")
// through the shared dialog. On success state.ChosenPath holds the chosen
// path up to its first "." (empty when the name has none) and the file
// ChosenPath + "." + extension was readable when checked; it is not kept
// open. For "mod" the choice also becomes state.ModelPath, even when the
// file turns out to be missing. False when the user gave up.
[[nodiscard]] bool ChooseFile(ModelState &state, CommonDialog &CDL1, const QString &extension);

// The path without extension: everything before its first "."; empty when
// there is none and keepWholeWithoutDot is false, the whole path otherwise.
QString PathBeforeFirstDot(const QString &path, bool keepWholeWithoutDot);
