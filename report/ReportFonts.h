#pragma once

#include <QFont>

// The fonts the report windows and the printer pages are laid out in. The
// fixed-pitch ones ("Terminal", "Courier New Cyr") map to an installed
// monospace font that has Cyrillic and the box-drawing glyphs │ ░ █ ▓;
// "System" maps to a plain sans font.
namespace ReportFonts {

QFont Fixed(qreal pointSize);
QFont System(qreal pointSize);

} // namespace ReportFonts
