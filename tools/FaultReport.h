#pragma once

#include "analysis/BenchFaultCampaign.h"
#include "analysis/FaultCampaign.h"

#include <QList>
#include <QString>

#include <cstdio>
#include <expected>

// One outcome of a fault campaign as its reports show it, with names rather
// than numbers for the output, so shards can be merged without the model.
struct FaultReportLine
{
    struct Fault
    {
        int element = 0;
        QString name;
        int kind = 0;
    };
    QList<Fault> faults;
    int code = 0;
    QString output;
    FaultEffect effect = FaultEffect::None;
    qint64 firstStep = 0; // 0: the output never differs
};

QList<FaultReportLine> ReportLines(const ModelDefinition &model, const std::vector<FaultOutcome> &outcomes);

enum class FaultReportFormat { Text, Json, Csv };

// The report in one of its forms: a readable summary with the dangerous
// faults first (Russian), one JSON object per line, or CSV with the same
// columns as the JSON fields.
void WriteFaultReport(const QList<FaultReportLine> &lines, FaultReportFormat format, std::FILE *out);

// A line of the JSON form read back; a Russian message when it is not one.
std::expected<FaultReportLine, QString> ReadFaultReportLine(const QByteArray &json);

bool IsDangerous(FaultEffect effect);

// One faulty run of a bench scenario as its reports show it: the fault, the
// scenario by name, and the expectation broken first with its line in the
// bench file, the step and what was seen there.
struct BenchFaultReportLine
{
    QList<FaultReportLine::Fault> faults;
    QString scenario;
    bool failed = false;
    QString expectation;
    int line = 0;
    qint64 firstStep = 0;
    QString detail;
};

QList<BenchFaultReportLine> BenchReportLines(const LoadedBench &bench, const std::vector<BenchFaultOutcome> &outcomes);

// The bench form of the report: a summary with the broken expectations, one
// JSON object per line (faults, scenario, result pass|fail, expectation,
// line, first_step, detail), or CSV with the same columns.
void WriteBenchFaultReport(const QList<BenchFaultReportLine> &lines, FaultReportFormat format, std::FILE *out);

std::expected<BenchFaultReportLine, QString> ReadBenchFaultReportLine(const QByteArray &json);

// A field of a CSV line, quoted when it holds a comma, a quote or a line end.
QString CsvField(const QString &text);
