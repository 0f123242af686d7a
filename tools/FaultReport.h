#pragma once

#include "analysis/BenchFaultCampaign.h"
#include "analysis/FaultCampaign.h"
#include "check/ModelLayout.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <cstdio>
#include <expected>

// A failed contact as the reports name it, without the model at hand.
struct ContactOfFault
{
    int number = 0;        // in the model's list of contacts
    QString function;      // the element or output whose function holds it
    bool inOutput = false;
    int functionNumber = 0; // that element or output, from 1
    int term = 0;          // from 1
    bool back = false;
    int repeat = 1;        // 2: the second contact of its relay and side in the term
    int position = 0;      // from 1, in the term's text
    int column = 0;        // from 1, in the function's line of the model file; 0 unknown
    QString address;       // as --fault names it
};

// One outcome of a fault campaign as its reports show it, with names rather
// than numbers for the output, so shards can be merged without the model.
struct FaultReportLine
{
    struct Fault
    {
        int element = 0; // for a contact its relay, 0 for the input p
        QString name;
        int kind = 0;    // 1 break, 2 feed; 3 contact welded, 4 contact open
        ContactOfFault contact; // for kinds 3 and 4
    };
    QList<Fault> faults;
    int code = 0;
    QString output;
    FaultEffect effect = FaultEffect::None;
    qint64 firstStep = 0; // 0: the output never differs
    SafetyVerdict verdict; // of the run the line is of
    QString latent;        // the name of verdict.latentElement
    qint64 at = 0;         // the injection step of the run
};

QList<FaultReportLine> ReportLines(const ModelDefinition &model, const std::vector<FaultOutcome> &outcomes);

// Fills in the column of every contact fault of lines from the layout of
// the model file.
void PlaceContactColumns(QList<FaultReportLine> &lines, const ModelLayout &layout);

enum class FaultReportFormat { Text, Json, Csv };

struct FaultReportOptions
{
    bool levels = false;   // the outputs' levels were known: the text report judges runs by them
    bool allPairs = false; // the text report lists every pair, not only the minimal wrong-side ones
    // The faults were tried at a range of steps: each line names the
    // injection step it is of (the field "at", «внесена на шаге N»).
    bool injectionRange = false;
};

// What a shard's header says of its report, so that the merge writes the
// text of the whole campaign as the campaign would: {"indication_levels":true}
// when the outputs' levels were known, "injection_range" when the faults
// were tried at a range of steps.
QJsonObject ShardReportHeader(const FaultReportOptions &options);
bool ShardHasLevels(const QJsonObject &header);
bool ShardHasInjectionRange(const QJsonObject &header);

// The report in one of its forms: a readable summary (Russian), one JSON
// object per line, or CSV with the same columns as the JSON fields. With
// levels the summary lists the runs that are wrong-side, right-side and
// latent, then the counts; without, each output that appears or is lost.
void WriteFaultReport(const QList<FaultReportLine> &lines, FaultReportFormat format, std::FILE *out,
                      const FaultReportOptions &options = {});

// A line of the JSON form read back; a Russian message when it is not one.
std::expected<FaultReportLine, QString> ReadFaultReportLine(const QByteArray &json);

// Whether the output appeared where the fault-free run has none (--fail-on spurious).
bool IsSpurious(FaultEffect effect);

// The "safety" field's words: none, changed, right-side, wrong-side.
QString SafetyName(Safety safety);

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
    SafetyVerdict verdict;
    QString latent;
};

QList<BenchFaultReportLine> BenchReportLines(const LoadedBench &bench, const std::vector<BenchFaultOutcome> &outcomes);
void PlaceContactColumns(QList<BenchFaultReportLine> &lines, const ModelLayout &layout);

// The bench form of the report: a summary with the broken expectations, one
// JSON object per line (faults, scenario, result pass|fail, expectation,
// line, first_step, detail), or CSV with the same columns.
void WriteBenchFaultReport(const QList<BenchFaultReportLine> &lines, FaultReportFormat format, std::FILE *out,
                           const FaultReportOptions &options = {});

std::expected<BenchFaultReportLine, QString> ReadBenchFaultReportLine(const QByteArray &json);

// A field of a CSV line, quoted when it holds a comma, a quote or a line end.
QString CsvField(const QString &text);
