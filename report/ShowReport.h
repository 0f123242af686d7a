#pragma once

#include "model/ModelState.h"

class CommonDialog;
class QMdiArea;

// "&Отчеты": lets the user choose a report file (".out") through the shared
// file dialog and shows it in the editor of area, code page 866 in a
// fixed-pitch font, so that saving it writes the same bytes back. Unsaved
// text already in the editor is offered for saving first; a failed save
// keeps it and shows no report. ChosenPath is empty afterwards.
void ShowReport(ModelState &state, CommonDialog &CDL1, QMdiArea &area);
