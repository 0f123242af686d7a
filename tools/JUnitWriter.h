#pragma once

#include "check/BenchRun.h"
#include "platform/FileResult.h"

#include <QList>
#include <QString>

// Writes the results of bench files as JUnit XML, the form CI servers show
// without plugins: one testsuite per bench file, one testcase per
// expectation; a file that could not be used is one testcase with an error.
// Fails with a Russian message when the file cannot be written.
FileResult<> WriteJUnit(const QString &fileName, const QList<BenchResult> &results);
