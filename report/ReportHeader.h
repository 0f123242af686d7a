#pragma once

#include "model/RunState.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

// What a report header says, independent of the device that shows it: the
// report file lays it out in columns of code page 866 text, the printer in
// its own fonts and columns.
struct ReportHeaderContent
{
    struct ElementTimes
    {
        QString name;
        QString pickup;  // Tpr in the general number form, e.g. " 0,05 "
        QString release; // Totp in the same form
    };

    QString date; // "dd.mm.yyyy"
    QString time; // "hh:mm", 24-hour
    // The model name and the timing table are written once per run: only
    // when ReportHeadDue was set.
    bool withTimingTable = false;
    QString modelName;
    QList<ElementTimes> elements;
    QByteArray heading; // the column heading line, code page 866
};

// Collects the header of state as it stands at now. Numbers use the decimal
// separator of locale.
ReportHeaderContent MakeReportHeader(RunState &state, const QDateTime &now, const QLocale &locale);

// A time in the general number form with a blank in place of a plus sign
// and a blank after it: 0.05 gives " 0,05 " in a comma locale, -1 "-1 ".
QString GeneralNumber(float value, const QLocale &locale);

// The column at which a text of this length starts when centred on an
// 80-column page: round(41 - length / 2), halves to even, at least 1.
int CentredColumn(qsizetype length);

// The header block of the report file, every line ended by CR LF: an empty
// line, the date, the time; with the timing table the model name centred,
// "Временные характеристики" at column 6, the table title, a line per
// element (name at column 5, times at columns 16 and 24) and an empty line;
// last the heading line. Text placed at a column the line has already passed
// starts on a new line at that column, so the columns stay aligned.
QByteArray RenderFileHeader(const ReportHeaderContent &header);
