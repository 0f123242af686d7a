#pragma once

#include "analysis/MarginSweep.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <cstdio>
#include <expected>
#include <functional>
#include <vector>

// A whole sweep, run in one piece or merged from shards: what its table,
// its margins and its picture are made of.
struct SweepReport
{
    QString benchFile;
    QList<SweepAxis> axes;
    std::vector<SweepPoint> points; // every point, in point order
};

// The pass/fail table: one line per point, a column per axis, then result
// (pass|fail), scenario, expectation, line, first_step, detail.
QString SweepTableCsv(const SweepReport &report);

// The margins of every axis, and how many points pass, in Russian.
void WriteSweepMargins(const SweepReport &report, std::FILE *out);

// Draws the pass region of a grid into an SVG file; a message when it
// cannot be written. Pictures need Qt Gui, which the sweep itself does not:
// the runner hands its writer in.
using SweepPictureWriter = std::function<std::expected<void, QString>(const SweepReport &report, const QString &file)>;

// The header fields of a sweep's shard file (the bench, the axes as written
// and their nominal values), and the axes read back from them.
QJsonObject SweepShardHeader(const SweepReport &report);
std::expected<SweepReport, QString> SweepFromShardHeader(const QJsonObject &header);

// A point as a line of a shard file, and read back.
QByteArray SweepPointJson(const SweepPoint &point);
std::expected<SweepPoint, QString> ReadSweepPoint(const QByteArray &json, const QList<SweepAxis> &axes);

// The outputs of a whole sweep: the margins to out, the table to csvFile and
// the picture to svgFile, each when named; a message naming the file that
// could not be written.
std::expected<void, QString> WriteSweepOutputs(const SweepReport &report, std::FILE *out, const QString &csvFile,
                                               const QString &svgFile, const SweepPictureWriter &picture);
