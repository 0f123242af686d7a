#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The built modelrun program, run as a user would run it.
struct ModelrunResult
{
    int status = -1;
    QByteArray out;
    QString err; // UTF-8
};

// Runs modelrun with arguments in workingDirectory (the current one when
// empty) under the locale given (LC_ALL), so that time labels are
// predictable.
ModelrunResult RunModelrun(const QStringList &arguments, const QString &workingDirectory = QString(),
                           const QString &locale = QStringLiteral("C"));

// A diagram printed in UTF-8: the heading and, per row, the glyph of every
// column and the time label.
struct Diagram
{
    QString heading;
    QStringList rows;

    // Glyph of column c (0 the input, then the elements, then the outputs) in
    // row r (0 the first row).
    QChar cell(int r, int c) const { return rows[r].at(c * 5); }
    // The rows (numbered from 1, as steps) in which column c shows glyph.
    QList<int> rowsShowing(int c, QChar glyph) const;
};

Diagram ParseDiagram(const QByteArray &utf8);

// The glyphs as they appear in UTF-8 output.
namespace Glyphs {
inline constexpr QChar Off = QChar(0x2502);            // │
inline constexpr QChar On = QChar(0x2591);             // ░
inline constexpr QChar PickupPending = QChar(0x2588);  // █
inline constexpr QChar ReleasePending = QChar(0x2593); // ▓
} // namespace Glyphs

// Numbers first..last, for comparing step lists.
QList<int> Steps(int first, int last);
