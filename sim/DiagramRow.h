#pragma once

#include "model/RunState.h"

#include <QByteArray>
#include <QLocale>

// The glyphs of the diagram cells, as code page 866 bytes.
namespace Glyph {
inline constexpr char Off = char(0xB3);            // │ value 0; element off
inline constexpr char On = char(0xB0);             // ░ value 1; element on
inline constexpr char PickupPending = char(0xDB);  // █ excited, not yet up
inline constexpr char ReleasePending = char(0xB2); // ▓ de-excited, still up
} // namespace Glyph

inline constexpr int CellWidth = 5; // the glyph and four blanks

// Composes the row of the current step into row (code page 866): the input
// cell from InputVal(1), a cell per element from Excit(i,1) and
// ElemState(i,1), a cell per output from OutState(j,1), and, when withLabel,
// ModelTime as "##0.00" with decimalSeparator right after the last cell.
// Reuses row's storage: no allocation once it has grown to a full row.
void ComposeRow(const RunState &state, bool withLabel, char decimalSeparator, QByteArray &row);

// The decimal separator of locale as one code page 866 byte.
char DecimalSeparator(const QLocale &locale);
