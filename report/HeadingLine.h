#pragma once

#include "model/RunState.h"

#include <QByteArray>

// The column heading of the diagram, in code page 866: InputCaption in a
// 5-character cell, one blank, a 5-character cell per element name and per
// output name (cut or padded with blanks), then " Ti". Builds the cells
// through state.ColCell, which holds the last cell afterwards.
QByteArray HeadingLine(RunState &state);
